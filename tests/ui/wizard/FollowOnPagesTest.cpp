// The follow-on pages: Missing Links, Add Extra Links, Create New Set and Switch Set, over real
// front ends, with their refusals and their ways back.
#include <array>
#include <chrono>
#include <filesystem>

#include "engine/Engine.h"
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/wizard/frmAddExtraLinks.h"
#include "ui/wizard/frmCreateNewSet.h"
#include "ui/wizard/frmFixSet.h"
#include "ui/wizard/frmMissingLinks.h"
#include "ui/wizard/frmSwitchSet.h"

namespace orvanta {
namespace {

// The names of the sets stored as active.
std::vector<std::string> activeSets(const std::string& frontEnd) {
  std::vector<std::string> names;
  auto db = dao::OpenDatabase(frontEnd);
  auto rs = db->OpenRecordset("SELECT Name FROM tblLinkedSets WHERE ActiveSet <> 0 ORDER BY Name");
  for (; !rs->AtEOF(); rs->MoveNext())
    names.push_back(rs->Field("Name").AsString());
  return names;
}

// Main holds tblA and tblB of be; the Fix Set page resolved tblA to be2 and left tblB open.
class MissingLinksTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    testsupport::makeBackEnd(be, {"tblA", "tblB"});
    testsupport::makeBackEnd(be2, {"tblA"});
    buildWorld({{"tblA", be}, {"tblB", be}}, {{"tblA", be}, {"tblB", be}});
    auto& tables = uikit::form<frmFixSet>().lstTables;
    tables.AddItem("tblA (" + be2 + ")");
    state().tableChangeGuard = true;
    tables.SetSelected(0, true);
    tables.AddItem("tblB ()");
  }
  void next(const std::string& option, const std::string& name = "", bool fails = false) {
    desk.onShow("frmMissingLinks", [=](uikit::Form& f) {
      script::click(f, option);
      if (!name.empty())
        script::type(f, "txtSetName", name);
      script::click(f, "cmdNext");
      if (f.visible())
        script::close(f);
    });
    if (!fails)
      desk.onShow("frmFinish", script::clicking("cmdFinish"));
    uikit::form<frmMissingLinks>().ShowModal();
  }
  const std::vector<testsupport::LinkedDef> onlyA{{"tblA", connect(be2), "tblA"}};
};

TEST_F(MissingLinksTest, RemoveLinksKeepsTheResolvedOnes) {
  next("optRemoveLinks");
  EXPECT_EQ(testsupport::linkRows(fe), (std::vector<LinkRow>{{"Main", "tblA", connect(be2)}}));
  EXPECT_EQ(testsupport::linkedDefs(fe), onlyA);
}

TEST_F(MissingLinksTest, CreateSetMakesANewActiveSet) {
  next("optCreateSet", "Partial");
  EXPECT_EQ(testsupport::linkRows(fe), (std::vector<LinkRow>{{"Main", "tblA", connect(be)},
                                                             {"Main", "tblB", connect(be)},
                                                             {"Partial", "tblA", connect(be2)}}));
  EXPECT_EQ(activeSets(fe), std::vector<std::string>{"Partial"});
  EXPECT_EQ(state().activeSetName, "Partial");
  EXPECT_EQ(testsupport::linkedDefs(fe), onlyA);
}

TEST_F(MissingLinksTest, CreateSetRefusals) {
  const std::string taken = "There is already a link set defined with the name\r\n";
  for (const auto& [name, text, title] : std::vector<std::array<std::string, 3>>{
           {"", "You must fill in a Set Name and Description!", "Missing Information"},
           {"Main", taken + "Main", "Link Set Error"},
           {"mAIN", taken + "mAIN", "Link Set Error"}}) {
    const Snapshot before = snapshot();
    desk.answer(Answer::OK, text, title);
    bool focused = false;
    desk.onShow<frmMissingLinks>("frmMissingLinks", [&, name = name](frmMissingLinks& p) {
      script::type(p, "txtSetName", name);
      script::click(p, "cmdNext");
      focused = p.focused() == &p.txtSetName;
      script::close(p);
    });
    uikit::form<frmMissingLinks>().ShowModal();
    EXPECT_TRUE(focused) << name;
    EXPECT_EQ(snapshot(), before) << name;
  }
}

TEST_F(MissingLinksTest, FailedCreateLeavesEverything) {
  const Snapshot before = snapshot();
  dao::SetFaultHook([](std::string_view op, std::string_view) {
    if (op == "append")
      throw dao::Error(dao::kErrDiskIO, "injected");
  });
  desk.answer(Answer::OK, "cmdNext_Click - injected: 3043", "cmdNext_Click");
  next("optCreateSet", "Partial", true);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(activeSets(fe), std::vector<std::string>{"Main"});
  EXPECT_EQ(state().activeSetName, "Main");
}

TEST_F(MissingLinksTest, SetIdsBeyondSixteenBits) {
  dao::OpenDatabase(fe)->Execute("UPDATE tblLinkedSets SET ID = 40000 WHERE Name = 'Main'");
  dao::OpenDatabase(fe)->Execute("UPDATE tblLinkedTables SET LinkSetID = 40000");
  next("optRemoveLinks");
  EXPECT_EQ(testsupport::linkRows(fe), (std::vector<LinkRow>{{"Main", "tblA", connect(be2)}}));
}

TEST_F(MissingLinksTest, BackReturnsToFixSet) {
  desk.onShow("frmMissingLinks", script::clicking("cmdBack"));
  desk.onShow("frmFixSet", [](uikit::Form& f) { script::close(f); });
  uikit::form<frmMissingLinks>().ShowModal();
  EXPECT_EQ(desk.shownForms(), (std::vector<std::string>{"frmMissingLinks", "frmFixSet"}));
}

class AddExtraLinksTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    testsupport::makeBackEnd(be, {"tblA", "tblX"});
    testsupport::makeBackEnd(be2, {"tblA"});
  }
};

TEST_F(AddExtraLinksTest, AddingMakesTheSetValid) {
  buildWorld({{"tblA", be}}, {{"tblA", be}, {"tblX", be}});
  desk.onShow("frmAddExtraLinks", script::clicking("cmdNext"));
  desk.onShow("frmFinish", script::clicking("cmdFinish"));
  uikit::form<frmAddExtraLinks>().ShowModal();
  EXPECT_EQ(testsupport::linkRows(fe),
            (std::vector<LinkRow>{{"Main", "tblA", connect(be)}, {"Main", "tblX", connect(be)}}));
}

TEST_F(AddExtraLinksTest, RefusedAddsNothingAndFixesTheBrokenSet) {
  buildWorld({{"tblA", be}, {"tblB", be2}}, {{"tblA", be}, {"tblX", be}});
  state().bolAllowAddTables = false;
  const Snapshot before = snapshot();
  bool backVisible = true;
  desk.onShow("frmAddExtraLinks", script::clicking("cmdNext"));
  desk.onShow<frmFixSet>("frmFixSet", [&](frmFixSet& p) {
    backVisible = p.cmdBack.Visible;
    script::close(p);
  });
  uikit::form<frmAddExtraLinks>().ShowModal();
  EXPECT_FALSE(backVisible);
  EXPECT_EQ(snapshot().rows, before.rows);
}

// Back by the calling-page field.
template <class F>
uikit::Form& load() {
  return uikit::form<F>();
}
struct BackCase {
  uikit::Form& (*page)();
  const char* calling;
  const char* shows;  // "" when Back shows nothing
};

void PrintTo(const BackCase& c, std::ostream* os) {
  *os << c.calling << " -> " << c.shows;
}

class CallingPageBack : public WizardTest, public ::testing::WithParamInterface<BackCase> {};

TEST_P(CallingPageBack, ShowsTheCaller) {
  const BackCase& c = GetParam();
  uikit::Form& p = c.page();
  static_cast<uikit::TextBox*>(p.find("txtCallingForm"))->Text = c.calling;
  desk.onShow(p.name(), script::clicking("cmdBack"));
  std::vector<std::string> expected{p.name()};
  if (*c.shows) {
    desk.onShow(c.shows, [](uikit::Form& f) { script::close(f); });
    expected.push_back(c.shows);
  } else if (p.name() == "frmAddExtraLinks") {
    desk.onShow(p.name(), [](uikit::Form& f) { script::close(f); });  // stays: nothing to show
  }
  p.ShowModal();
  EXPECT_EQ(desk.shownForms(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, CallingPageBack,
    ::testing::Values(BackCase{load<frmAddExtraLinks>, "frmIIb2c2", "frmIIb2c2"},
                      BackCase{load<frmAddExtraLinks>, "frmWizard1", "frmWizard1"},
                      BackCase{load<frmAddExtraLinks>, "frmIb1", ""},
                      BackCase{load<frmSwitchSet>, "frmIb1", "frmIb1"},
                      BackCase{load<frmSwitchSet>, "frmIIb2c2", "frmIIb2c2"},
                      BackCase{load<frmSwitchSet>, "frmWizard1", "frmWizard1"},
                      BackCase{load<frmSwitchSet>, "frmFEMoved", ""},
                      BackCase{load<frmFixSet>, "frmFEMoved", "frmFEMoved"},
                      BackCase{load<frmFixSet>, "frmSwitchSet", "frmWizard1"}));

class CreateNewSetTest : public WizardTest {
 protected:
  // A front end with two working links and no link set yet, as the check finds it.
  void SetUp() override {
    WizardTest::SetUp();
    testsupport::makeBackEnd(be, {"tblA", "tblB"});
    testsupport::makeFrontEnd(fe);
    testsupport::linkTable(fe, "tblA", be);
    testsupport::linkTable(fe, "tblB", be);
    ASSERT_TRUE(CreateMissingTables(fe));
    state().currentFrontEndPath = state().linkSetDatabasePath = fe;
  }
};

TEST_F(CreateNewSetTest, DescriptionCarriesTodaysDate) {
  const auto saved = frmCreateNewSet::today;
  frmCreateNewSet::today = [] {
    using namespace std::chrono;
    return year_month_day{year{2024}, March, day{5}};
  };
  EXPECT_EQ(uikit::form<frmCreateNewSet>().txtDescription.Text,
            "Default link set created on 03/05/2024");
  frmCreateNewSet::today = saved;
}

TEST_F(CreateNewSetTest, MissingFieldsAndTakenNames) {
  testsupport::addLinkSet(fe, "Main", "Main set", false, {});
  const std::string taken = "There is already a link set defined with the name\r\n";
  for (const auto& [name, description, text, focus] : std::vector<std::array<std::string, 4>>{
           {"", "d", "You must fill in a Set Name.", "txtSetName"},
           {"", "", "You must fill in a Set Name.", "txtSetName"},
           {"n", "", "You must fill in a Set Description.", "txtDescription"},
           {"Main", "d", taken + "Main", "txtSetName"},
           {"MAIN", "d", taken + "MAIN", "txtSetName"}}) {
    desk.answer(Answer::OK, text,
                name == "Main" || name == "MAIN" ? "Link Set Error" : "Missing Field");
    std::string focused;
    desk.onShow("frmCreateNewSet", [&, name = name, description = description](uikit::Form& f) {
      script::type(f, "txtSetName", name);
      script::type(f, "txtDescription", description);
      script::click(f, "cmdNext");
      focused = f.focused() ? f.focused()->name() : "";
      script::close(f);
    });
    uikit::form<frmCreateNewSet>().ShowModal();
    EXPECT_EQ(focused, focus) << text;
  }
  EXPECT_EQ(testsupport::linkRows(fe), std::vector<LinkRow>{});
}

TEST_F(CreateNewSetTest, CreatesActivatesAndFillsTheSet) {
  desk.onShow("frmCreateNewSet", script::clicking("cmdNext"));
  desk.onShow("frmFinish", script::clicking("cmdFinish"));
  uikit::form<frmCreateNewSet>().ShowModal();
  EXPECT_EQ(testsupport::linkRows(fe),
            (std::vector<LinkRow>{{"Default Link Set", "tblA", connect(be)},
                                  {"Default Link Set", "tblB", connect(be)}}));
  EXPECT_EQ(activeSets(fe), std::vector<std::string>{"Default Link Set"});
  EXPECT_EQ(state().linkCountComparison, 3);
}

TEST_F(CreateNewSetTest, BrokenLinksGoOnToTheSituationPage) {
  std::filesystem::rename(be, be2);
  desk.onShow("frmCreateNewSet", script::clicking("cmdNext"));
  desk.onShow("frmWizard1", [](uikit::Form& f) { script::close(f); });
  uikit::form<frmCreateNewSet>().ShowModal();
  EXPECT_EQ(desk.shownForms(), (std::vector<std::string>{"frmCreateNewSet", "frmWizard1"}));
}

class SwitchSetTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    testsupport::makeBackEnd(be, {"tblA"});
    testsupport::makeBackEnd(be2, {"tblZ"});
    buildWorld({{"tblA", be}}, {{"tblA", be}});
    testsupport::addLinkSet(fe, "Other", "", false, {{"tblA", be}});
    testsupport::addLinkSet(fe, "Broken", "", false, {{"tblA", be2}});
    page().lstValidSets.AddItem("Other");
    page().lstValidSets.AddItem("Broken");
    page().txtCallingForm.Text = "frmWizard1";
  }
  static frmSwitchSet& page() { return uikit::form<frmSwitchSet>(); }
};

TEST_F(SwitchSetTest, NothingSelectedIsRefused) {
  bool stayed = false;
  desk.answer(Answer::OK, "You must select a links set to switch to.", "No Set Selected");
  desk.onShow("frmSwitchSet", [&](uikit::Form& f) {
    script::click(f, "cmdNext");
    stayed = f.visible();
    script::close(f);
  });
  page().ShowModal();
  EXPECT_TRUE(stayed);
  EXPECT_EQ(activeSets(fe), std::vector<std::string>{"Main"});
}

TEST_F(SwitchSetTest, ValidSetFinishesBrokenSetGoesToFixSet) {
  desk.onShow("frmSwitchSet", [](uikit::Form& f) {
    script::clickRow(f, "lstValidSets", 0);
    script::click(f, "cmdNext");
  });
  desk.onShow("frmFinish", script::clicking("cmdFinish"));
  page().ShowModal();
  EXPECT_EQ(activeSets(fe), std::vector<std::string>{"Other"});
  EXPECT_EQ(state().activeSetName, "Other");

  std::string calling;
  page().lstValidSets.AddItem("Broken");
  desk.onShow("frmSwitchSet", [](uikit::Form& f) {
    script::clickRow(f, "lstValidSets", 0);
    script::click(f, "cmdNext");
  });
  desk.onShow<frmFixSet>("frmFixSet", [&](frmFixSet& p) {
    calling = p.txtCallingForm.Text;
    script::close(p);
  });
  page().ShowModal();
  EXPECT_EQ(activeSets(fe), std::vector<std::string>{"Broken"});
  EXPECT_EQ(calling, "frmSwitchSet");
}

}  // namespace
}  // namespace orvanta
