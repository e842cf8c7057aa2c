// CalcPriority on real files and LoadListbox on the Fix Set page: table points from the
// candidate's local tables, the component state's paths, opening (and failing to open)
// candidates, the counts handed back, and the visible candidate list.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cctype>
#include <fstream>
#include <string>
#include <vector>

#include "engine/ComponentState.h"
#include "paths/modFunctions.h"
#include "tests/support/Fixtures.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/script/scripted_desktop.h"

namespace orvanta {
namespace {

namespace ts = testsupport;

// A front end whose active set "Main" needs T1..T4 from old/Sales.mdb, which is gone.
class ScoringTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state() = ComponentState{};
    ts::makeFrontEnd(frontEnd);
    ts::addLinkSet(frontEnd, "Main", "", true,
                   {{"T1", missing}, {"T2", missing}, {"T3", missing}, {"T4", missing}});
    state().currentFrontEndPath = frontEnd;
    state().activeSetName = "Main";
  }
  void TearDown() override {
    uikit::unloadAllForms();
    state() = ComponentState{};
    EXPECT_EQ(desk.leftovers(), "");
  }
  // Scores with counts that start as sentinels, to see whether they were set.
  std::string score(const std::string& candidate, const std::string& against) {
    found = -7;
    needed = -9;
    return CalcPriority(candidate, against, found, needed);
  }

  ts::TempDir dir;
  uikit::script::ScriptedDesktop desk;
  uikit::ScopedDesktop useDesk{desk};
  std::string frontEnd = dir.file("app/fe.mdb");
  std::string missing = dir.file("old/Sales.mdb");
  const std::vector<std::string> all{"T1", "T2", "T3", "T4"};
  int found = -7;
  int needed = -9;
};

TEST_F(ScoringTest, PointsFromLocalTablesNameAndFolder) {
  ts::makeBackEnd(dir.file("elsewhere/Real.mdb"), all);
  struct Case {
    std::string candidate;  // folders of mixed case: an upper-cased path names no file
    std::vector<std::string> local, linked;
    int found;
    std::string score;
  };
  const std::vector<Case> cases = {
      {"Cands/1/Other.mdb", {"T1", "T2", "T3", "T4", "X"}, {}, 4, "33"},
      {"Cands/2/Other.mdb", {"T1"}, {}, 1, "07"},              // 2.5 table points round to 2
      {"Cands/3/Other.mdb", {"T1", "T2", "T3"}, {}, 3, "27"},  // 7.5 round to 8
      {"Cands/4/Other.mdb", {"t1", "T2"}, {}, 1, "07"},        // table names compare exactly
      {"Cands/5/Other.mdb", {"T2"}, {"T1"}, 1, "07"},          // the candidate's own link: no rows
      {"Cands/6/SALES.MDB", all, {}, 4, "67"},                 // + 10 name points
      {"Cands/7/Copy of Sales.mdb", all, {}, 4, "50"},         // + 5
      {"old/Sales.mdb", all, {}, 4, "93"},                     // + 10 name, + 8 same folder
      {"app/Other.mdb", all, {}, 4, "50"},                     // + 5 front end's folder
  };
  for (const Case& c : cases) {
    const std::string candidate = dir.file(c.candidate);
    ts::makeBackEnd(candidate, c.local);
    for (const auto& table : c.linked)
      ts::linkTable(candidate, table, dir.file("elsewhere/Real.mdb"));
    EXPECT_EQ(score(candidate, missing), c.score) << c.candidate;
    EXPECT_EQ(found, c.found) << c.candidate;
    EXPECT_EQ(needed, 4) << c.candidate;
  }
}

TEST_F(ScoringTest, SameRelativePositionFromAMovedFrontEndScores99OrWithoutTables67) {
  state().savedFrontEndPath = dir.file("was/app/fe.mdb");
  const std::string candidate = dir.file("app/data/Sales.mdb");
  ts::makeBackEnd(candidate, all);
  EXPECT_EQ(score(candidate, dir.file("was/app/data/Sales.mdb")), "99");
  EXPECT_EQ(needed, 4);
  // No active set, or one without links: no table points, counts untouched.
  ts::addLinkSet(frontEnd, "Empty", "", false, {});
  for (const std::string set : {"", "Empty"}) {
    state().activeSetName = set;
    EXPECT_EQ(score(candidate, dir.file("was/app/data/Sales.mdb")), "67") << set;
    EXPECT_EQ(found, -7);
    EXPECT_EQ(needed, -9);
  }
}

// A set spread over two back ends: a candidate for one of them needs only that one's tables.
TEST_F(ScoringTest, NeededTablesAreTheMissingBackEndsShareOfTheSet) {
  const std::string a = dir.file("old/A.mdb");
  const std::string b = dir.file("old/B.mdb");
  ts::addLinkSet(frontEnd, "Split", "", false,
                 {{"T1", a}, {"T2", a}, {"T3", b}, {"T4", b}, {"T5", b}});
  state().activeSetName = "Split";
  const std::string candidate = dir.file("cands/Other.mdb");
  ts::makeBackEnd(candidate, {"T1", "T2"});
  std::string upperA = a;
  for (char& ch : upperA)
    ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  struct Case {
    std::string missing;
    int found, needed;
    std::string score;
  };
  for (const Case& c : std::vector<Case>{{a, 2, 2, "33"},
                                         {upperA, 2, 2, "33"},  // paths compare ignoring case
                                         {b, 0, 3, "00"},
                                         {dir.file("old/C.mdb"), 2, 5, "13"}}) {  // none: all
    EXPECT_EQ(score(candidate, c.missing), c.score) << c.missing;
    EXPECT_EQ(found, c.found);
    EXPECT_EQ(needed, c.needed);
  }
}

TEST_F(ScoringTest, UnopenableCandidatesAreLockedAndKeepTheCounts) {
  const std::string held = dir.file("old/Sales.mdb");
  ts::makeBackEnd(held, all);
  ts::HeldByAnotherProcess exclusive(held, 1, false);
  ASSERT_TRUE(exclusive.held());
  dir.mkdir("cands");
  std::ofstream(dir.file("cands/Notes.mdb")) << "not a database\n";
  for (const std::string& candidate : {held, dir.file("cands/Notes.mdb"), dir.file("Gone.mdb")}) {
    EXPECT_EQ(score(candidate, missing), " Locked") << candidate;
    EXPECT_EQ(found, -7);
    EXPECT_EQ(needed, -9);
  }
}

// Another user has the file open: the exclusive probe fails (or, write-protected, falls back to
// shared use) and a shared read-only opening scores it, leaving it unchanged.
TEST_F(ScoringTest, CandidateInSharedUseElsewhereIsStillScored) {
  for (const std::string name : {"rw", "ro"}) {
    const std::string candidate = dir.file("Cands/" + name + "/Sales.mdb");
    ts::makeBackEnd(candidate, all);
    if (name == "ro") {
      ASSERT_EQ(chmod(candidate.c_str(), 0444), 0);
    }
    const std::string before = ts::fileBytes(candidate);
    ts::HeldByAnotherProcess shared(candidate, 0, true);
    ASSERT_TRUE(shared.held());
    EXPECT_EQ(score(candidate, missing), "67") << name;
    EXPECT_EQ(found, 4);
    EXPECT_EQ(ts::fileBytes(candidate), before);
  }
}

TEST_F(ScoringTest, UnreadableFrontEndIsReportedAsError) {
  const std::string candidate = dir.file("cands/Other.mdb");
  ts::makeBackEnd(candidate, all);
  state().currentFrontEndPath = dir.file("moved/fe.mdb");
  desk.answer(uikit::Answer::OK, "CalcPriority - ", "CalcPriority");
  EXPECT_EQ(score(candidate, missing), "Error");
  EXPECT_EQ(found, -7);
  ASSERT_EQ(desk.messages().size(), 1u);
  EXPECT_EQ(desk.messages()[0].icon, uikit::Icon::Critical);
}

TEST_F(ScoringTest, CandidateListFollowsTheStoreWithoutTheFrontEnd) {
  state().currentFrontEndPath = "/srv/app/Front.mdb";
  frmFixSet& page = uikit::form<frmFixSet>();
  uikit::ListView& store = page.lsvDatabases;
  store.Clear();
  store.setSorted(false);
  store.AddItem("/srv/app/Front.mdb", {"93", "4 of 4"});
  store.AddItem("/srv/company/departments/finance/reports/quarterly/data/ledger2024.mdb",
                {"67", "3 of 5"});
  store.AddItem("/srv/app/Front.mdb", {"50", "0 of 4"});
  store.AddItem("/srv/app/FRONT.MDB", {"33", "1 of 4"});  // only an exact match is the front end
  page.lstDatabases.AddItem("stale row");

  LoadListbox();

  std::vector<std::string> rows;
  for (const auto& item : page.lstDatabases.items())
    rows.push_back(item.text);
  EXPECT_EQ(rows, (std::vector<std::string>{
                      "/srv/.../reports/quarterly/data/ledger2024.mdb (Score: 67, 3 of 5 tables)",
                      "/srv/app/FRONT.MDB (Score: 33, 1 of 4 tables)"}));
  EXPECT_EQ(store.Count(), 2);
}

}  // namespace
}  // namespace orvanta
