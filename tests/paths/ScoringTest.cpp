// CalcPriority on real files and LoadListbox on the Fix Set page: table points from the
// candidate's local tables, the component state's paths, opening (and failing to open)
// candidates, the counts handed back, and the visible candidate list.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "paths/modFunctions.h"
#include "tests/support/Fixtures.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/script/scripted_desktop.h"

namespace orvanta {
namespace {

namespace ts = testsupport;

// A front end whose active set "Main" needs T1..T4 from old/Sales.mdb, which is gone, and T5
// from old/B.mdb. A candidate for one back end needs only that one's share of the set.
class ScoringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ts::makeFrontEnd(frontEnd);
    ts::addLinkSet(
        frontEnd, "Main", "", true,
        {{"T1", missing}, {"T2", missing}, {"T3", missing}, {"T4", missing}, {"T5", second}});
    state().currentFrontEndPath = frontEnd;
    state().activeSetName = "Main";
  }
  void TearDown() override {
    uikit::unloadAllForms();
    state() = ComponentState{};
    EXPECT_EQ(desk.leftovers(), "");
  }
  std::string backEnd(const std::string& relative, const std::vector<std::string>& tables) {
    ts::makeBackEnd(dir.file(relative), tables);
    return dir.file(relative);
  }
  // The counts start at -1 and stay there when CalcPriority does not set them.
  void expectScore(std::string file, std::string vs, std::string score, int found = -1,
                   int needed = -1) {
    int f = -1, n = -1;
    const std::string got = CalcPriority(file, vs, f, n);
    EXPECT_EQ(std::tie(got, f, n), std::tie(score, found, needed)) << file << " for " << vs;
  }

  ts::TempDir dir;
  uikit::script::ScriptedDesktop desk;
  uikit::ScopedDesktop useDesk{desk};
  std::string frontEnd = dir.file("app/fe.mdb");
  std::string missing = dir.file("old/Sales.mdb"), second = dir.file("old/B.mdb");
  const std::vector<std::string> all{"T1", "T2", "T3", "T4", "T5"};
};

// Table points count the candidate's own tables (by exact name) against the missing back end's
// share of the set, every link when no link names it; paths compare ignoring case, though in
// folders of mixed case an upper-cased path names no file.
TEST_F(ScoringTest, PointsFromLocalTablesNameAndFolder) {
  const std::string other = backEnd("Cands/Other.mdb", {"t1", "T3", "X", "T5"});
  ts::linkTable(other, "T2", backEnd("elsewhere/Real.mdb", all));  // its own link: no rows
  expectScore(other, missing, "07", 1, 4);                         // 2.5 table points round to 2
  expectScore(other, dir.file("old/SALES.mdb"), "07", 1, 4);
  expectScore(other, second, "33", 1, 1);
  expectScore(other, dir.file("old/C.mdb"), "13", 2, 5);
  expectScore(backEnd("old/Sales.mdb", all), missing, "93", 4, 4);  // + 10 name, + 8 folder
}

// No active set, or one without links: no table points, counts untouched. An unreadable front
// end is an error, reported.
TEST_F(ScoringTest, SameRelativePositionScores99WithoutTables67AndUnreadableFrontEndError) {
  state().savedFrontEndPath = dir.file("was/app/fe.mdb");
  const std::string candidate = backEnd("app/data/Sales.mdb", all);
  const std::string was = dir.file("was/app/data/Sales.mdb");
  expectScore(candidate, was, "99", 5, 5);  // no link names it: every link counts
  ts::addLinkSet(frontEnd, "Empty", "", false, {});
  for (const std::string set : {"", "Empty"}) {
    state().activeSetName = set;
    expectScore(candidate, was, "67");
  }
  state().activeSetName = "Main";
  state().currentFrontEndPath = dir.file("moved/fe.mdb");
  desk.answer(uikit::Answer::OK, "CalcPriority - ", "CalcPriority");
  expectScore(candidate, was, "Error");
  ASSERT_EQ(desk.messages().size(), 1u);
  EXPECT_EQ(desk.messages()[0].icon, uikit::Icon::Critical);
}

// In use elsewhere, a candidate is read shared and left unchanged.
TEST_F(ScoringTest, HeldExclusivelyOrUnreadableIsLockedButSharedUseIsScored) {
  const std::string held = backEnd("old/Sales.mdb", all), shared = backEnd("Cands/Sales.mdb", all);
  const std::string notes = dir.mkdir("cands") + "/Notes.mdb", before = ts::fileBytes(shared);
  std::ofstream(notes) << "not a database\n";
  ts::HeldByAnotherProcess exclusive(held, dao::kTrue, false), inUse(shared, 0, true);
  ASSERT_TRUE(exclusive.held() && inUse.held());
  for (const std::string& candidate : {held, notes, dir.file("Gone.mdb")})
    expectScore(candidate, missing, " Locked");
  expectScore(shared, missing, "67", 4, 4);
  EXPECT_EQ(ts::fileBytes(shared), before);
}

TEST_F(ScoringTest, CandidateListFollowsTheStoreWithoutTheFrontEnd) {
  state().currentFrontEndPath = "/srv/app/Front.mdb";
  frmFixSet& page = uikit::form<frmFixSet>();
  uikit::ListView& store = page.lsvDatabases;
  store.AddItem("/srv/app/Front.mdb", {"93", "4 of 4"});
  store.AddItem("/srv/company/departments/finance/reports/quarterly/data/ledger2024.mdb",
                {"67", "3 of 5"});
  store.AddItem("/srv/app/Front.mdb", {"50", "0 of 4"});
  store.AddItem("/srv/app/FRONT.MDB", {"33", "1 of 4"});  // only an exact match is the front end
  page.lstDatabases.AddItem("stale row");

  LoadListbox();

  ASSERT_EQ(page.lstDatabases.ListCount(), 2);
  EXPECT_EQ(page.lstDatabases.List(0),
            "/srv/.../reports/quarterly/data/ledger2024.mdb (Score: 67, 3 of 5 tables)");
  EXPECT_EQ(page.lstDatabases.List(1), "/srv/app/FRONT.MDB (Score: 33, 1 of 4 tables)");
  EXPECT_EQ(store.Count(), 2);
}

}  // namespace
}  // namespace orvanta
