// Form lifetime: one instance per class, hand-overs between pages and dialogs over windows,
// hidden pages keeping their state, and a chain of pages unloaded from inside its last handler.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>

#include "tests/uikit/test_forms.h"
#include "uikit/user_input.h"

namespace uikit_test {
namespace {

using FormsTest = ScriptedTest;

// A load handler that refers to its own form must get the instance being loaded.
class frmSelfLoading : public uikit::Form {
 public:
  frmSelfLoading() : Form("frmSelfLoading") { txtValue.Text = "designed"; }
  void Form_Load() override {
    ++loads;
    uikit::form<frmSelfLoading>().txtValue.Text = "loaded";
  }
  uikit::TextBox& txtValue = add<uikit::TextBox>("txtValue");
  int loads = 0;
};

TEST_F(FormsTest, OneInstancePerClassRegisteredBeforeLoadAndFreshAfterUnload) {
  auto& f = uikit::form<frmSelfLoading>();
  EXPECT_EQ(&uikit::form<frmSelfLoading>(), &f);
  EXPECT_TRUE(f.loads == 1 && f.txtValue.Text == "loaded");

  f.Unload();
  EXPECT_FALSE(f.loaded() || uikit::isLoaded<frmSelfLoading>());
  auto& again = uikit::form<frmSelfLoading>();
  EXPECT_NE(&again, &f);  // f is still alive: nothing is destroyed before collect()
  EXPECT_EQ(again.loads, 1);
}

TEST_F(FormsTest, ThousandsOfRoundTripsKeepTheStackFlatAndHiddenPagesTheirStateTillFinish) {
  // Were each hand-over to nest a modal show, a few thousand round trips would overflow the stack.
  // Under AddressSanitizer this is also the use-after-free test: the handler of frmThird and the
  // script touch their forms after unloadAllForms() ran inside the innermost handler.
  constexpr int kRoundTrips = 3000;
  int deepest = 0, stateKept = 0;
  std::string afterChain, finishCaption;
  const auto look = [&] {
    deepest = std::max(deepest, uikit::FormRegistry::current().modalDepth());
  };
  desk.onShow<frmFirst>("frmFirst", [&](frmFirst& f) {
    look();
    uikit::script::click(f, "optTwo");
    uikit::script::clickRow(f, "lstItems", 1);
    uikit::script::type(f, "txtNote", "kept");
    uikit::script::click(f, "cmdNext");
  });
  for (int i = 0; i < kRoundTrips; ++i) {
    desk.onShow("frmSecond", [&](uikit::Form& f) { look(), uikit::script::click(f, "cmdBack"); });
    desk.onShow<frmFirst>("frmFirst", [&](frmFirst& f) {
      // Shown again after being hidden: the user's choices are still there; after the
      // hand-over, which returns before frmSecond shows, the page is hidden with them intact.
      const bool kept = f.optTwo.value() && !f.optOne.value() && f.lstItems.Selected(1) &&
                        f.lstItems.SelCount() == 1 && f.txtNote.Text == "kept";
      uikit::script::click(f, "cmdNext");
      stateKept += kept && f.loaded() && !f.visible();
      afterChain = f.afterChain;
    });
  }
  desk.onShow("frmSecond", uikit::script::clicking("cmdNext"));
  desk.onShow<frmThird>("frmThird", [&](frmThird& f) {
    uikit::script::click(f, "cmdFinish");
    EXPECT_FALSE(f.loaded());  // unloaded, but alive until the outermost show returns
    finishCaption = f.cmdFinish.Caption;
  });

  uikit::form<frmFirst>().ShowModal();

  EXPECT_TRUE(deepest == 1 && stateKept == kRoundTrips);
  EXPECT_TRUE(afterChain == "kept / beta" && finishCaption == "Finished after unload");
  EXPECT_TRUE(desk.leftovers().empty() && uikit::FormRegistry::current().loadedForms().empty());
  EXPECT_EQ(uikit::FormRegistry::current().modalDepth(), 0);
  // Every page loaded once, activated at each show, unloaded once in window-list order.
  Strings expected{"frmFirst load", "frmFirst activate", "frmSecond load", "frmSecond activate"};
  for (int i = 0; i < kRoundTrips; ++i)
    expected.insert(expected.end(), {"frmFirst activate", "frmSecond activate"});
  expected.insert(expected.end(), {"frmThird load", "frmThird activate", "frmFirst unload",
                                   "frmSecond unload", "frmThird unload"});
  EXPECT_EQ(events(), expected);
}

TEST_F(FormsTest, ClosingADialogReactivatesTheWindowUnderItAndShowingAShownOrUnloadedFormFails) {
  desk.onShow("frmHost", uikit::script::clicking("cmdOpen"));
  desk.onShow("frmDialog", uikit::script::clicking("cmdOk"));
  desk.onShow("frmHost", [](uikit::Form& f) {
    EXPECT_THROW(f.ShowModal(), std::logic_error);  // a shown window cannot be shown again
    f.Unload();
    EXPECT_THROW(f.ShowModal(), std::logic_error);
  });
  uikit::form<frmHost>().ShowModal();
  EXPECT_EQ(events(), (Strings{"frmHost load", "frmHost activate", "frmDialog load",
                               "frmDialog activate", "frmHost activate", "frmHost unload"}));
  EXPECT_EQ(uikit::FormRegistry::current().modalDepth(), 0);
  // The dialog was only hidden: it stays loaded with its state.
  EXPECT_TRUE(uikit::isLoaded<frmHost::LoggedDialog>());
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
  EXPECT_TRUE(uikit::FormRegistry::current().loadedForms().empty());
  EXPECT_GE(std::count(events().begin(), events().end(), "frmReentrant unload"), 1);
  EXPECT_EQ(std::count(events().begin(), events().end(), "frmFirst unload"), 1);
}

}  // namespace
}  // namespace uikit_test
