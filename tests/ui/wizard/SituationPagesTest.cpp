// The situation pages: their start-up rules, every hand-over of the page graph and back, and
// what their own options do to the files. Ignore is walked from a real check (StartupRoadsTest).
#include <filesystem>
#include <tuple>

#include "tests/ui/wizard/WizardFixture.h"
#include "ui/wizard/frmAddExtraLinks.h"
#include "ui/wizard/frmFEMoved.h"
#include "ui/wizard/frmIIb2c2.h"
#include "ui/wizard/frmIb1.h"
#include "ui/wizard/frmId12.h"
#include "ui/wizard/frmMissingLinks.h"
#include "ui/wizard/frmWizard1.h"

namespace orvanta {
namespace {

// The options of page as first shown at a console (then closed), by name without "opt": "-"
// before a disabled one, "*" after the selected one, "<" after the one the marker stands beside.
std::string options(uikit::Form& page) {
  std::istringstream lines(WizardTest::transcript([&] { page.ShowModal(); }, "close"));
  std::string s, marked;
  for (std::string line; std::getline(lines, line);) {
    if (const auto at = line.find(" beside "); at != std::string::npos)
      marked = line.substr(at + 8);
    if (const auto at = line.find(" option ("); at != std::string::npos) {
      const std::string name = line.substr(line.find("opt"), at - line.find("opt"));
      s += std::string(s.empty() ? "" : " ") + (line.ends_with(" disabled") ? "-" : "") +
           name.substr(3) + (line[at + 9] == '*' ? "*" : "") + (name == marked ? "<" : "");
    }
  }
  return s;
}

// What each page offers when a permission is refused or the analysis rules an option out, and
// which option it then selects; pages never touch the permission.
TEST_F(WizardTest, StartupRules) {
  // allowSwitch, allowAdd, activeMatches, matching sets, the options seen.
  for (const auto& [page, allowSwitch, allowAdd, activeMatches, matching, expected] :
       std::vector<std::tuple<PageRef, bool, bool, bool, int, std::string>>{
           {page<frmWizard1>, 1, 1, 1, 1, "FixSet*< -SwitchSet Ignore"},
           {page<frmIb1>, 1, 1, 1, 2, "RelinkToSet UpdateSet SwitchSet*< CreateNewSet Ignore"},
           {page<frmIb1>, 1, 1, 1, 1, "RelinkToSet*< UpdateSet -SwitchSet CreateNewSet Ignore"},
           {page<frmIb1>, 0, 1, 0, 1, "RelinkToSet*< UpdateSet -SwitchSet -CreateNewSet Ignore"},
           {page<frmIb1>, 1, 0, 1, 1, "RelinkToSet*< -UpdateSet -SwitchSet CreateNewSet Ignore"},
           {page<frmId12>, 0, 1, 1, 1, "RemoveExtraLinks*< -CreateNewSet Ignore"},
           {page<frmIIb2c2>, 1, 1, 0, 1, "SwitchSet*< FixSet UpdateSet CreateNewSet Ignore"},
           {page<frmIIb2c2>, 0, 1, 0, 1, "-SwitchSet FixSet*< UpdateSet -CreateNewSet Ignore"},
           {page<frmIIb2c2>, 1, 0, 0, 1, "SwitchSet*< FixSet -UpdateSet CreateNewSet Ignore"},
           {page<frmFEMoved>, 0, 0, 1, 1, "RetainLinks*< FixSet Ignore"},
           {page<frmMissingLinks>, 0, 1, 1, 1, "-CreateSet RemoveLinks*< Ignore"},
           {page<frmAddExtraLinks>, 1, 0, 1, 1, "-AddExtraLinks DontAdd*<"}}) {
    SetUp();
    ComponentState& s = state();
    std::tie(s.bolAllowSetSwitching, s.bolAllowAddTables, s.activeSetMatches, s.matchingSetCount) =
        std::tuple(allowSwitch, allowAdd, activeMatches, matching);
    EXPECT_EQ(options(page()), expected);
    EXPECT_EQ(state().bolAllowSetSwitching, allowSwitch) << expected;
  }
}

// Next on a situation page hands over to a follow-on page; its Back returns to the page, which
// keeps the option the user chose. Create New Set offers no way back. The hand-overs to Switch
// Set and Create New Set are one helper each, walked from one page each.
TEST_F(WizardTest, PageGraphNextAndBack) {
  const std::string noBack = "frmCreateNewSet ! no control \"cmdBack\" on frmCreateNewSet";
  // activeMatches, link count comparison, the option chosen, the trail of Next and Back.
  for (const auto& [page, activeMatches, comparison, option, trail] :
       std::vector<std::tuple<PageRef, bool, int, std::string, std::string>>{
           {page<frmWizard1>, 1, 3, "FixSet", "frmWizard1:FixSet frmFixSet frmWizard1:FixSet"},
           {page<frmWizard1>, 1, 2, "FixSet",
            "frmWizard1:FixSet frmAddExtraLinks:AddExtraLinks frmWizard1:FixSet"},
           {page<frmWizard1>, 0, 3, "SwitchSet",
            "frmWizard1:FixSet frmWizard1:SwitchSet frmSwitchSet frmWizard1:SwitchSet"},
           {page<frmIb1>, 1, 3, "CreateNewSet", "frmIb1:RelinkToSet frmIb1:CreateNewSet " + noBack},
           {page<frmIIb2c2>, 0, 3, "FixSet",
            "frmIIb2c2:SwitchSet frmIIb2c2:FixSet frmAddExtraLinks:AddExtraLinks frmIIb2c2:FixSet"},
           {page<frmFEMoved>, 1, 3, "FixSet",
            "frmFEMoved:RetainLinks frmFEMoved:FixSet frmFixSet frmFEMoved:FixSet"}}) {
    SetUp();
    std::tie(state().activeSetMatches, state().matchingSetCount, state().linkCountComparison) =
        std::tuple(activeMatches, 1, comparison);
    EXPECT_EQ(run(page(), "click opt" + option + "\nclick cmdNext\nclick cmdBack\nclose"), trail);
  }
}

// Options that change the files, each ending on the Finished page, whose Finish closes it all;
// a relink that fails is reported and leaves the files, with the page still shown. Not adding
// the extra links to a set that is broken besides goes on to Fix Set, without a way back.
TEST_F(WizardTest, OptionsThatChangeTheFiles) {
  testsupport::makeBackEnd(be, {"tblA", "tblB", "tblX"});
  testsupport::makeBackEnd(be2, {"tblA", "tblB"});
  const Links a{{"tblA", be}}, ab{{"tblA", be}, {"tblB", be}}, ab2{{"tblA", be2}, {"tblB", be2}};
  const Links ax{{"tblA", be}, {"tblX", be}}, ay{{"tblA", be}, {"tblY", be}};
  const Links gone{{"tblA", dir.file("app/data/gone.mdb")}};
  const char* const updated = "*Main.tblA=be2 *Main.tblB=be2 | tblA=be2 tblB=be2";
  // The page, the set's links and the front end's, the commands, the trail, the files after.
  for (const auto& [page, set, links, input, trail, after] :
       std::vector<std::tuple<PageRef, Links, Links, std::string, std::string, std::string>>{
           {page<frmIb1>, ab, ab2, "click optRelinkToSet\nclick cmdNext\nclick cmdFinish",
            "frmIb1:RelinkToSet frmFinish", "*Main.tblA=be *Main.tblB=be | tblA=be tblB=be"},
           {page<frmIb1>, gone, ab2, "click optRelinkToSet\nclick cmdNext\nok\nclose",
            "frmIb1:RelinkToSet [cmdNext_Click - 3024] frmIb1:RelinkToSet",
            "*Main.tblA=gone | tblA=be2 tblB=be2"},
           {page<frmIb1>, a, ab2, "click optUpdateSet\nclick cmdNext\nclick cmdFinish",
            "frmIb1:RelinkToSet frmIb1:UpdateSet frmFinish", updated},
           {page<frmId12>, a, ax, "click cmdNext\nclick cmdFinish",
            "frmId12:RemoveExtraLinks frmFinish", "*Main.tblA=be | tblA=be"},
           {page<frmAddExtraLinks>, a, ax, "click cmdNext\nclick cmdFinish",
            "frmAddExtraLinks:AddExtraLinks frmFinish",
            "*Main.tblA=be *Main.tblX=be | tblA=be tblX=be"},
           {page<frmAddExtraLinks>, ay, ax, "click optDontAdd\nclick cmdNext\nclick cmdBack\nclose",
            "frmAddExtraLinks:AddExtraLinks frmAddExtraLinks:DontAdd frmFixSet ! cmdBack is hidden",
            "*Main.tblA=be *Main.tblY=be | tblA=be tblX=be"}}) {
    SetUp();
    std::filesystem::remove(fe);
    buildWorld(set, links);
    EXPECT_EQ(run(page(), input), trail);
    EXPECT_EQ(world(), after);
    EXPECT_TRUE(!trail.ends_with("frmFinish") ||
                uikit::FormRegistry::current().loadedForms().empty());
  }
}

}  // namespace
}  // namespace orvanta
