// The situation pages: their start-up rules, every hand-over of the page graph and back, and
// what their own options do to the files. Ignore is walked from a real check (StartupRoadsTest).
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/wizard/frmAddExtraLinks.h"
#include "ui/wizard/frmCreateNewSet.h"
#include "ui/wizard/frmFEMoved.h"
#include "ui/wizard/frmFixSet.h"
#include "ui/wizard/frmIIb2c2.h"
#include "ui/wizard/frmIb1.h"
#include "ui/wizard/frmId12.h"
#include "ui/wizard/frmMissingLinks.h"
#include "ui/wizard/frmWizard1.h"

namespace orvanta {
namespace {

template <class F>
OptionPage& page() {
  return uikit::form<F>();
}
using PageRef = OptionPage& (*)();

void setAnalysis(bool allowSwitch, bool allowAdd, bool activeMatches, int matching,
                 int comparison = 3) {
  ComponentState& s = state();
  s.bolAllowSetSwitching = allowSwitch;
  s.bolAllowAddTables = allowAdd;
  s.activeSetMatches = activeMatches;
  s.matchingSetCount = matching;
  s.linkCountComparison = comparison;
}

struct RulesCase {
  const char* name;
  PageRef page;
  bool allowSwitch, allowAdd, activeMatches;
  int matching;
  OptionState expected;
};

void PrintTo(const RulesCase& c, std::ostream* os) {
  *os << c.name;
}

class StartupRules : public WizardTest, public ::testing::WithParamInterface<RulesCase> {};

TEST_P(StartupRules, EnableSelectAndMark) {
  const RulesCase& c = GetParam();
  setAnalysis(c.allowSwitch, c.allowAdd, c.activeMatches, c.matching);
  OptionState seen;
  OptionPage& p = c.page();
  desk.onShow(p.name(), [&](uikit::Form&) {
    seen = optionState(p);
    script::close(p);  // closing from the frame ends the wizard with nothing changed
  });
  p.ShowModal();
  EXPECT_EQ(seen, c.expected);
  EXPECT_EQ(state().bolAllowSetSwitching, c.allowSwitch);  // pages never touch the permission
  EXPECT_FALSE(state().ignore);
}

const char* const kAll5Ib1 = "optRelinkToSet optUpdateSet optSwitchSet optCreateNewSet optIgnore";
const char* const kAll5IIb = "optSwitchSet optFixSet optUpdateSet optCreateNewSet optIgnore";

INSTANTIATE_TEST_SUITE_P(
    Pages, StartupRules,
    ::testing::Values(
        RulesCase{"Wizard1OtherSetMatches",
                  page<frmWizard1>,
                  true,
                  true,
                  false,
                  1,
                  {"optFixSet optSwitchSet optIgnore", "optFixSet", "optFixSet"}},
        RulesCase{"Wizard1OnlyActiveMatches",
                  page<frmWizard1>,
                  true,
                  true,
                  true,
                  1,
                  {"optFixSet optIgnore", "optFixSet", "optFixSet"}},
        RulesCase{"Wizard1NoSwitching",
                  page<frmWizard1>,
                  false,
                  true,
                  false,
                  1,
                  {"optFixSet optIgnore", "optFixSet", "optFixSet"}},
        RulesCase{"Ib1OtherSetMatches",
                  page<frmIb1>,
                  true,
                  true,
                  false,
                  1,
                  {kAll5Ib1, "optSwitchSet", "optSwitchSet"}},
        RulesCase{"Ib1ActiveAndOneMore",
                  page<frmIb1>,
                  true,
                  true,
                  true,
                  2,
                  {kAll5Ib1, "optSwitchSet", "optSwitchSet"}},
        RulesCase{"Ib1OnlyActiveMatches",
                  page<frmIb1>,
                  true,
                  true,
                  true,
                  1,
                  {"optRelinkToSet optUpdateSet optCreateNewSet optIgnore", "optRelinkToSet",
                   "optRelinkToSet"}},
        RulesCase{"Ib1NoSwitching",
                  page<frmIb1>,
                  false,
                  true,
                  false,
                  1,
                  {"optRelinkToSet optUpdateSet optIgnore", "optRelinkToSet", "optRelinkToSet"}},
        RulesCase{"Ib1NoAddingTables",
                  page<frmIb1>,
                  true,
                  false,
                  true,
                  1,
                  {"optRelinkToSet optCreateNewSet optIgnore", "optRelinkToSet", "optRelinkToSet"}},
        RulesCase{"Id12Switching",
                  page<frmId12>,
                  true,
                  true,
                  true,
                  1,
                  {"optRemoveExtraLinks optCreateNewSet optIgnore", "optRemoveExtraLinks",
                   "optRemoveExtraLinks"}},
        RulesCase{"Id12NoSwitching",
                  page<frmId12>,
                  false,
                  true,
                  true,
                  1,
                  {"optRemoveExtraLinks optIgnore", "optRemoveExtraLinks", "optRemoveExtraLinks"}},
        RulesCase{"IIb2c2OtherSetMatches",
                  page<frmIIb2c2>,
                  true,
                  true,
                  false,
                  1,
                  {kAll5IIb, "optSwitchSet", "optSwitchSet"}},
        RulesCase{"IIb2c2NoSwitching",
                  page<frmIIb2c2>,
                  false,
                  true,
                  false,
                  1,
                  {"optFixSet optUpdateSet optIgnore", "optFixSet", "optFixSet"}},
        RulesCase{"IIb2c2NothingToSwitchTo",
                  page<frmIIb2c2>,
                  true,
                  true,
                  true,
                  1,
                  {"optFixSet optUpdateSet optCreateNewSet optIgnore", "optFixSet", "optFixSet"}},
        RulesCase{
            "IIb2c2NoAddingTables",
            page<frmIIb2c2>,
            true,
            false,
            false,
            1,
            {"optSwitchSet optFixSet optCreateNewSet optIgnore", "optSwitchSet", "optSwitchSet"}},
        RulesCase{"FEMoved",
                  page<frmFEMoved>,
                  false,
                  false,
                  true,
                  1,
                  {"optRetainLinks optFixSet optIgnore", "optRetainLinks", "optRetainLinks"}},
        RulesCase{"MissingLinksSwitching",
                  page<frmMissingLinks>,
                  true,
                  true,
                  true,
                  1,
                  {"optCreateSet optRemoveLinks optIgnore", "optCreateSet", "optCreateSet"}},
        RulesCase{"MissingLinksNoSwitching",
                  page<frmMissingLinks>,
                  false,
                  true,
                  true,
                  1,
                  {"optRemoveLinks optIgnore", "optRemoveLinks", "optRemoveLinks"}},
        RulesCase{"AddExtraLinksAllowed",
                  page<frmAddExtraLinks>,
                  true,
                  true,
                  true,
                  1,
                  {"optAddExtraLinks optDontAdd", "optAddExtraLinks", "optAddExtraLinks"}},
        RulesCase{"AddExtraLinksRefused",
                  page<frmAddExtraLinks>,
                  true,
                  false,
                  true,
                  1,
                  {"optDontAdd", "optDontAdd", "optDontAdd"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Next on a situation page hands over to a follow-on page, prepared for the way back; Back
// returns to the page, which keeps the option the user chose.
struct Road {
  const char* name;
  PageRef page;
  bool activeMatches;
  int matching, comparison;
  const char* option;
  const char* next;
  const char* prepared;  // the next page's calling-page field, or "txtInfo2" when it shows that
};

void PrintTo(const Road& r, std::ostream* os) {
  *os << r.name;
}

class HandOver : public WizardTest, public ::testing::WithParamInterface<Road> {};

TEST_P(HandOver, NextAndBack) {
  const Road& r = GetParam();
  setAnalysis(true, true, r.activeMatches, r.matching, r.comparison);
  OptionPage& start = r.page();
  const std::string startName = start.name();
  std::string prepared, selectedOnReturn;
  bool backVisible = false;
  desk.onShow(startName, [&](uikit::Form& f) {
    script::click(f, r.option);
    script::click(f, "cmdNext");
  });
  desk.onShow(r.next, [&](uikit::Form& f) {
    if (auto* calling = dynamic_cast<uikit::TextBox*>(f.find("txtCallingForm"))) {
      prepared = calling->Text;
    } else if (auto* newSet = dynamic_cast<frmCreateNewSet*>(&f)) {
      prepared = !newSet->txtInfo.Visible && newSet->txtInfo2.Visible ? "txtInfo2" : "txtInfo";
    }
    auto* back = dynamic_cast<uikit::CommandButton*>(f.find("cmdBack"));
    backVisible = back && back->Visible;
    if (backVisible) {
      script::click(f, "cmdBack");
    } else {
      script::close(f);
    }
  });
  const bool comesBack = std::string(r.next) != "frmCreateNewSet";
  if (comesBack) {
    desk.onShow(startName, [&](uikit::Form& f) {
      for (const auto& c : f.controls()) {
        if (auto* o = dynamic_cast<uikit::OptionButton*>(c.get()); o && o->value()) {
          selectedOnReturn = o->name();
        }
      }
      script::close(f);
    });
  }
  start.ShowModal();

  EXPECT_EQ(prepared, r.prepared);
  EXPECT_EQ(backVisible, comesBack);
  std::vector<std::string> expected{startName, r.next};
  if (comesBack)
    expected.push_back(startName);
  EXPECT_EQ(desk.shownForms(), expected);
  if (comesBack) {
    EXPECT_EQ(selectedOnReturn, r.option);
  }
}

INSTANTIATE_TEST_SUITE_P(Graph, HandOver,
                         ::testing::Values(Road{"Wizard1Fix", page<frmWizard1>, true, 1, 3,
                                                "optFixSet", "frmFixSet", "frmWizard1"},
                                           Road{"Wizard1FixFewerLinks", page<frmWizard1>, true, 1,
                                                1, "optFixSet", "frmFixSet", "frmWizard1"},
                                           Road{"Wizard1FixExtraTables", page<frmWizard1>, true, 1,
                                                2, "optFixSet", "frmAddExtraLinks", "frmWizard1"},
                                           Road{"Wizard1Switch", page<frmWizard1>, false, 1, 3,
                                                "optSwitchSet", "frmSwitchSet", "frmWizard1"},
                                           Road{"Ib1Switch", page<frmIb1>, false, 1, 3,
                                                "optSwitchSet", "frmSwitchSet", "frmIb1"},
                                           Road{"Ib1CreateNewSet", page<frmIb1>, true, 1, 3,
                                                "optCreateNewSet", "frmCreateNewSet", "txtInfo2"},
                                           Road{"Id12CreateNewSet", page<frmId12>, true, 1, 2,
                                                "optCreateNewSet", "frmCreateNewSet", "txtInfo2"},
                                           Road{"IIb2c2Switch", page<frmIIb2c2>, false, 1, 3,
                                                "optSwitchSet", "frmSwitchSet", "frmIIb2c2"},
                                           Road{"IIb2c2Fix", page<frmIIb2c2>, false, 1, 3,
                                                "optFixSet", "frmAddExtraLinks", "frmIIb2c2"},
                                           Road{"IIb2c2CreateNewSet", page<frmIIb2c2>, false, 1, 3,
                                                "optCreateNewSet", "frmCreateNewSet", "txtInfo2"},
                                           Road{"FEMovedFix", page<frmFEMoved>, true, 1, 3,
                                                "optFixSet", "frmFixSet", "frmFEMoved"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WizardTest, BackToIb1AppliesItsRulesAgain) {
  setAnalysis(true, true, false, 1);
  desk.onShow("frmIb1", [](uikit::Form& f) { script::click(f, "cmdNext"); });  // switch
  desk.onShow("frmSwitchSet", [](uikit::Form& f) {
    state().bolAllowAddTables = false;  // a rule input changes while the page is away
    script::click(f, "cmdBack");
  });
  bool updateEnabled = true;
  desk.onShow<frmIb1>("frmIb1", [&](frmIb1& p) {
    updateEnabled = p.optUpdateSet.Enabled;
    script::close(p);
  });
  uikit::form<frmIb1>().ShowModal();
  EXPECT_FALSE(updateEnabled);
}

// Options that change the files, each ending on the Finished page, whose Finish closes it all.
class SituationOutcome : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    testsupport::makeBackEnd(be, {"tblA", "tblB", "tblX"});
    testsupport::makeBackEnd(be2, {"tblA", "tblB"});
  }
  void chooseAndFinish(OptionPage& p, const std::string& option) {
    desk.onShow(p.name(), [option](uikit::Form& f) {
      script::click(f, option);
      script::click(f, "cmdNext");
    });
    desk.onShow("frmFinish", script::clicking("cmdFinish"));
    const std::string name = p.name();
    p.ShowModal();
    const auto shown = desk.shownForms();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2], name);
    EXPECT_EQ(shown.back(), "frmFinish");
    EXPECT_EQ(loadedForms(), 0);
  }
};

TEST_F(SituationOutcome, Ib1RelinksToTheSet) {
  buildWorld({{"tblA", be}, {"tblB", be}}, {{"tblA", be2}, {"tblB", be2}});
  chooseAndFinish(page<frmIb1>(), "optRelinkToSet");
  EXPECT_EQ(testsupport::linkedDefs(fe),
            (std::vector<testsupport::LinkedDef>{{"tblA", connect(be), "tblA"},
                                                 {"tblB", connect(be), "tblB"}}));
}

TEST_F(SituationOutcome, UpdateRewritesTheSetFromTheLinks) {
  for (PageRef p : {page<frmIb1>, page<frmIIb2c2>}) {
    std::filesystem::remove(fe);
    buildWorld({{"tblA", be}}, {{"tblA", be2}, {"tblB", be2}});
    const auto before = testsupport::linkedDefs(fe);
    chooseAndFinish(p(), "optUpdateSet");
    EXPECT_EQ(testsupport::linkRows(fe), (std::vector<LinkRow>{{"Main", "tblA", connect(be2)},
                                                               {"Main", "tblB", connect(be2)}}));
    EXPECT_EQ(testsupport::linkedDefs(fe), before);
  }
}

TEST_F(SituationOutcome, Id12DropsTheExtraLinks) {
  buildWorld({{"tblA", be}}, {{"tblA", be}, {"tblX", be}});
  chooseAndFinish(page<frmId12>(), "optRemoveExtraLinks");
  EXPECT_EQ(testsupport::linkedDefs(fe),
            (std::vector<testsupport::LinkedDef>{{"tblA", connect(be), "tblA"}}));
}

TEST_F(SituationOutcome, FailedRelinkIsReportedAndLeavesTheLinks) {
  buildWorld({{"tblA", be}, {"tblB", be}}, {{"tblA", be2}, {"tblB", be2}});
  std::filesystem::remove(be);
  const Snapshot before = snapshot();
  desk.onShow("frmIb1", [](uikit::Form& f) { script::click(f, "cmdNext"); });
  desk.onShow("frmIb1", [](uikit::Form& f) { script::close(f); });
  desk.answer(Answer::OK, "", "cmdNext_Click - 3024");
  page<frmIb1>().ShowModal();
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(desk.shownForms(), std::vector<std::string>{"frmIb1"});
}

}  // namespace
}  // namespace orvanta
