// Whole roads through the wizard as the host meets them: a real start-up check classifies the
// front end, opens its page, and returns what the user decided.
#include <filesystem>
#include <tuple>

#include "orvanta/clsOrvanta.h"
#include "tests/support/SqliteFiles.h"
#include "tests/ui/wizard/WizardFixture.h"

namespace orvanta {
namespace {

class StartupRoad : public WizardTest {
 public:
  int check() { return clsOrvanta().CheckLinkedTables(fe); }
  std::string recordedFrontEnd() {
    auto rs = dao::OpenDatabase(fe)->OpenRecordset("SELECT FrontEndPath FROM tblLinkedSets");
    return rs->Field("FrontEndPath").AsString();
  }
  std::string old = dir.file("app/data/old.mdb");
};

// The situations, built on disk.
void renamedBackEnd(StartupRoad& t) {
  testsupport::makeBackEnd(t.old, {"tblA", "tblB"});
  t.buildWorld({{"tblA", t.old}, {"tblB", t.old}}, {{"tblA", t.old}, {"tblB", t.old}});
  std::filesystem::rename(t.old, t.be);
}
void movedAndRenamed(StartupRoad& t) {
  renamedBackEnd(t);
  testsupport::runSql(t.fe, "UPDATE tblLinkedSets SET FrontEndPath = '/old/fe.mdb'");
}
void frontEndMoved(StartupRoad& t) {
  testsupport::makeBackEnd(t.be, {"tblA"});
  testsupport::makeFrontEnd(t.fe);
  testsupport::linkTable(t.fe, "tblA", t.be);
  testsupport::addLinkSet(t.fe, "Main", "", true, {{"tblA", t.be}}, t.dir.file("x/y/fe.mdb"));
}

// From a real check (which page each situation opens is the engine's decision table), Ignore
// answered No keeps the page; answered Yes, it closes every window and gives the host the page's
// answer, with nothing changed and the recorded path kept; once repaired, the next check starts
// with the ignore flag down. Retaining a moved front end's links records where it now is.
TEST_F(StartupRoad, ResultFollowsThePage) {
  const std::string ignore = "click optIgnore\nclick cmdNext\nno\nclick cmdNext\nyes\n";
  const auto ignored = [](const std::string& page) {
    return page + ":Ignore [Confirm Ignore] " + page + ":Ignore [Confirm Ignore]";
  };
  for (const auto& [build, input, trail, answer] :
       std::vector<std::tuple<void (*)(StartupRoad&), std::string, std::string, int>>{
           {movedAndRenamed, ignore, "frmWizard1:FixSet " + ignored("frmWizard1"), 1},
           {renamedBackEnd, "click cmdNext\nclick cmdNext\n" + ignore,
            "frmWizard1:FixSet frmFixSet frmMissingLinks:CreateSet " + ignored("frmMissingLinks"),
            0},
           {frontEndMoved, ignore, "frmFEMoved:RetainLinks " + ignored("frmFEMoved"), 0},
           {frontEndMoved, "click cmdNext\nclick cmdFinish\n", "frmFEMoved:RetainLinks frmFinish",
            0}}) {
    SCOPED_TRACE(trail);
    restart();
    build(*this);
    const std::string before = world(), recorded = recordedFrontEnd();
    int result = -1;
    EXPECT_EQ(run([&] { result = check(); }, input), trail);
    EXPECT_EQ(result, answer);
    EXPECT_EQ(state().ignore, answer == 1);
    EXPECT_EQ(world(), before);
    EXPECT_EQ(recordedFrontEnd(), trail.ends_with("frmFinish") ? fe : recorded);
    if (answer == 1) {  // repaired in between: the next check starts with the flag down
      std::filesystem::rename(be, old);
      run([&] { result = check(); }, "");
      EXPECT_EQ(result, 0);
    }
  }
}

}  // namespace
}  // namespace orvanta
