// Form lifetime: one instance per class, nested modal shows, hidden pages keeping their state,
// and a chain of pages unloaded from inside its innermost handler.
#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/uikit/test_forms.h"
#include "uikit/user_input.h"

namespace uikit_test {
namespace {

using uikit::FormRegistry;
using uikit::script::ScriptedDesktop;

class FormsTest : public ::testing::Test {
 protected:
  void SetUp() override { events().clear(); }
  void TearDown() override {
    uikit::unloadAllForms();
    FormRegistry::current().collect();
  }
  ScriptedDesktop desk;
  uikit::ScopedDesktop use{desk};
};

// A load handler that refers to its own form must get the instance being loaded.
class frmSelfLoading : public uikit::Form {
 public:
  frmSelfLoading() : Form("frmSelfLoading"), txtValue(add<uikit::TextBox>("txtValue")) {
    txtValue.Text = "designed";
  }
  void Form_Load() override {
    ++loads;
    uikit::form<frmSelfLoading>().txtValue.Text = "loaded";
  }
  uikit::TextBox& txtValue;
  int loads = 0;
};

TEST_F(FormsTest, OneInstancePerClassRegisteredBeforeLoadAndFreshAfterUnload) {
  auto& f = uikit::form<frmSelfLoading>();
  EXPECT_EQ(f.loads, 1);
  EXPECT_EQ(f.txtValue.Text, "loaded");
  EXPECT_EQ(&uikit::form<frmSelfLoading>(), &f);
  EXPECT_EQ(f.loads, 1);

  f.txtValue.Text = "edited";
  f.Unload();
  EXPECT_FALSE(f.loaded());
  EXPECT_FALSE(uikit::isLoaded<frmSelfLoading>());
  auto& again = uikit::form<frmSelfLoading>();
  EXPECT_NE(&again, &f);  // f is still alive: nothing is destroyed before collect()
  EXPECT_EQ(again.txtValue.Text, "loaded");
  EXPECT_EQ(again.loads, 1);
}

TEST_F(FormsTest, ChainUnloadedFromInnermostHandlerUnwindsAndKeepsHiddenPageState) {
  bool stateKept = false;
  desk.onShow<frmFirst>("frmFirst", [](frmFirst& f) {
    uikit::script::click(f, "optTwo");
    uikit::script::clickRow(f, "lstItems", 1);
    uikit::script::type(f, "txtNote", "kept");
    uikit::script::click(f, "cmdNext");
  });
  desk.onShow("frmSecond", uikit::script::clicking("cmdBack"));
  desk.onShow<frmFirst>("frmFirst", [&](frmFirst& f) {
    // Shown again after being hidden: the user's choices are still there.
    stateKept = f.optTwo.value() && !f.optOne.value() && f.lstItems.Selected(1) &&
                f.lstItems.SelCount() == 1 && f.txtNote.Text == "kept";
    uikit::script::click(f, "cmdNext");
  });
  desk.onShow("frmSecond", uikit::script::clicking("cmdNext"));
  desk.onShow("frmThird", uikit::script::clicking("cmdFinish"));

  auto& first = uikit::form<frmFirst>();
  first.ShowModal();

  EXPECT_TRUE(stateKept);
  EXPECT_EQ(desk.leftovers(), "");
  EXPECT_EQ(desk.shownForms(), (std::vector<std::string>{"frmFirst", "frmSecond", "frmFirst",
                                                         "frmSecond", "frmThird"}));
  EXPECT_EQ(FormRegistry::current().modalDepth(), 0);
  EXPECT_TRUE(FormRegistry::current().loadedForms().empty());
  // Every page loaded once, activated at each show, unloaded once in window-list order.
  EXPECT_EQ(events(),
            (std::vector<std::string>{"frmFirst load", "frmFirst activate", "frmSecond load",
                                      "frmSecond activate", "frmFirst activate",
                                      "frmSecond activate", "frmThird load", "frmThird activate",
                                      "frmFirst unload", "frmSecond unload", "frmThird unload"}));
  // `first` was destroyed when the outermost show returned; a new reference is a fresh page.
  auto& fresh = uikit::form<frmFirst>();
  EXPECT_TRUE(fresh.optOne.value());
  EXPECT_EQ(fresh.txtNote.Text, "");
  EXPECT_EQ(fresh.lstItems.ListIndex, -1);
}

TEST_F(FormsTest, HandlersRunAfterTheirFormWasUnloadedStillSeeTheirState) {
  // Under AddressSanitizer this is the use-after-free test: both handlers below touch their own
  // members after unloadAllForms() ran inside the innermost one.
  frmThird* third = nullptr;
  frmFirst* first = &uikit::form<frmFirst>();
  desk.onShow("frmFirst", [](uikit::Form& f) {
    uikit::script::type(f, "txtNote", "note");
    uikit::script::clickRow(f, "lstItems", 2);
    uikit::script::click(f, "cmdNext");
  });
  desk.onShow("frmSecond", uikit::script::clicking("cmdNext"));
  desk.onShow<frmThird>("frmThird", [&](frmThird& f) {
    third = &f;
    uikit::script::click(f, "cmdFinish");
    // The form is unloaded but alive while any modal show runs.
    EXPECT_FALSE(f.loaded());
    EXPECT_EQ(f.finishedCaption, "Finished after unload");
  });
  // Run the chain from inside an outer modal show, so the unloaded forms stay inspectable.
  Bench outer;
  desk.onShow("frmBench", [&](uikit::Form& b) {
    first->ShowModal();
    EXPECT_EQ(first->afterChain, "note / gamma");
    EXPECT_FALSE(first->loaded());
    EXPECT_EQ(third->cmdFinish.Caption, "done");
    b.Hide();
  });
  outer.ShowModal();
  EXPECT_EQ(desk.leftovers(), "");
}

TEST_F(FormsTest, ClosingADialogReactivatesTheWindowUnderIt) {
  desk.onShow("frmHost", uikit::script::clicking("cmdOpen"));
  desk.onShow("frmDialog", uikit::script::clicking("cmdOk"));
  desk.onShow("frmHost", [](uikit::Form& f) { uikit::script::close(f); });
  auto& host = uikit::form<frmHost>();
  host.ShowModal();
  EXPECT_EQ(events(),
            (std::vector<std::string>{"frmHost load", "frmHost activate", "frmDialog load",
                                      "frmDialog activate", "frmHost activate", "frmHost unload"}));
  // The dialog was only hidden: it stays loaded with its state.
  EXPECT_TRUE(uikit::isLoaded<frmHost::LoggedDialog>());
}

TEST_F(FormsTest, ShowingAShownOrUnloadedFormIsAnError) {
  auto& host = uikit::form<frmHost>();
  desk.onShow("frmHost", [](uikit::Form& f) {
    EXPECT_THROW(f.ShowModal(), std::logic_error);
    f.Unload();
    EXPECT_THROW(f.ShowModal(), std::logic_error);
  });
  host.ShowModal();
  EXPECT_EQ(FormRegistry::current().modalDepth(), 0);
}

// A window that refuses to close from its frame until it is told it may.
class frmStubborn : public uikit::Form {
 public:
  frmStubborn() : Form("frmStubborn") {}
  bool mayClose = false;
  void Form_QueryUnload(bool& cancel) override { cancel = !mayClose; }
};

TEST_F(FormsTest, CloseFromFrameAsksQueryUnloadButUnloadFromCodeDoesNot) {
  desk.onShow<frmStubborn>("frmStubborn", [](frmStubborn& f) {
    auto refused = uikit::closeFromFrame(f);
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(f.loaded());
    f.mayClose = true;
    EXPECT_TRUE(uikit::closeFromFrame(f).ok);
  });
  uikit::form<frmStubborn>().ShowModal();
  EXPECT_FALSE(uikit::isLoaded<frmStubborn>());

  auto& again = uikit::form<frmStubborn>();
  again.Unload();  // no question asked from code
  EXPECT_FALSE(uikit::isLoaded<frmStubborn>());
}

// Unload handlers that unload everything, or load another form, must not loop or double-unload.
class frmReentrant : public LoggedForm {
 public:
  frmReentrant() : LoggedForm("frmReentrant") {}
  void Form_Unload() override {
    LoggedForm::Form_Unload();
    uikit::unloadAllForms();
    uikit::form<frmHost>();  // loads a form while everything is being unloaded
  }
};

TEST_F(FormsTest, UnloadAllSurvivesReentrantUnloadHandlers) {
  uikit::form<frmReentrant>();
  uikit::form<frmFirst>();
  uikit::unloadAllForms();
  EXPECT_TRUE(FormRegistry::current().loadedForms().empty());
  int reentrantUnloads = 0, firstUnloads = 0;
  for (const auto& e : events()) {
    reentrantUnloads += e == "frmReentrant unload";
    firstUnloads += e == "frmFirst unload";
  }
  EXPECT_GE(reentrantUnloads, 1);
  EXPECT_EQ(firstUnloads, 1);
}

TEST_F(FormsTest, FocusFollowsThePlatformsRules) {
  Bench bench;
  auto& frame = bench.make<uikit::Frame>("Frame1");
  auto& inFrame = bench.make<uikit::TextBox>("txtIn", &frame);
  auto& label = bench.make<uikit::Label>("lblTitle");
  int gotFocus = 0;
  inFrame.GotFocus = [&] { ++gotFocus; };
  EXPECT_FALSE(inFrame.SetFocus());  // the form is not shown
  whileShown(bench, [&](uikit::Form&) {
    EXPECT_FALSE(label.SetFocus());
    frame.Enabled = false;
    EXPECT_FALSE(inFrame.SetFocus());
    frame.Enabled = true;
    EXPECT_TRUE(inFrame.SetFocus());
    EXPECT_EQ(bench.focused(), &inFrame);
  });
  EXPECT_EQ(gotFocus, 1);
}

}  // namespace
}  // namespace uikit_test
