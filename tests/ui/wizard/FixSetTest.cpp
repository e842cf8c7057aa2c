// The Fix Set page over a renamed back end: choosing candidates, the read-only required tables,
// Browse, and Next rewriting the active set and relinking as one piece of work.
#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>

#include "engine/Engine.h"
#include "tests/support/SqliteFiles.h"
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/wizard/frmFixSet.h"

namespace orvanta {
namespace {

class FixSetTest : public WizardTest {
 protected:
  // Main needs tblA, tblB and tblD from old.mdb, renamed since to new.mdb, and tblC from ok.mdb,
  // which still works. Beside them: partA.mdb holds tblA; linkedA.mdb only links to a tblA
  // elsewhere.
  void SetUp() override {
    WizardTest::SetUp();
    testsupport::makeBackEnd(oldBe, {"tblA", "tblB", "tblD"});
    testsupport::makeBackEnd(ok, {"tblC"});
    testsupport::makeBackEnd(partA, {"tblA"});
    const Links links{{"tblA", oldBe}, {"tblB", oldBe}, {"tblC", ok}, {"tblD", oldBe}};
    buildWorld(links, links);
    std::filesystem::rename(oldBe, newBe);
    testsupport::makeFrontEnd(linkedA);
    testsupport::linkTable(linkedA, "tblA", newBe);
    ASSERT_FALSE(ValidateLinkSets());  // fills the page as the start-up check does
  }
  static frmFixSet& page() { return uikit::form<frmFixSet>(); }
  static int row(const std::string& path) {
    const auto& items = page().lsvDatabases.items();
    const auto it =
        std::find_if(items.begin(), items.end(), [&](auto& i) { return i.text == path; });
    EXPECT_TRUE(it != items.end()) << path << " is not a candidate";
    return static_cast<int>(it - items.begin());
  }
  // The required-table rows "tbl<X> (<path>)" as "<X>(<back end>)", "x" after a checked one.
  std::string tables() const {
    std::string s;
    for (const auto& item : page().lstTables.items()) {
      const auto open = item.text.find(" (");
      const std::string path = item.text.substr(open + 2, item.text.size() - open - 3);
      s += (s.empty() ? "" : " ") + item.text.substr(3, open - 3) + "(" +
           (path.empty() ? "" : stem(path)) + ")" + (item.selected ? "x" : "");
    }
    return s;
  }

  std::string oldBe = dir.file("app/data/old.mdb");
  std::string newBe = dir.file("app/data/new.mdb");
  std::string ok = dir.file("app/data/ok.mdb");
  std::string partA = dir.file("app/data/partA.mdb");
  std::string linkedA = dir.file("app/data/linkedA.mdb");
};

// A redraw of the candidates (at the end, after Browse added one that sorts above) keeps the
// selection with its candidate, so the chosen one can still be deselected to release its tables.
TEST_F(FixSetTest, CandidatesTakeAndReleaseTables) {
  const std::string copy = dir.file("app/data/old-copy.mdb");  // scores above new.mdb
  testsupport::makeBackEnd(copy, {"tblA", "tblB", "tblD"});
  desk.chooseFile(copy);
  desk.onShow<frmFixSet>("frmFixSet", [&](frmFixSet& p) {
    const auto step = [&](const std::string& path, const std::string& want, bool satisfied) {
      if (!path.empty())
        script::clickRow(p, "lstDatabases", row(path));
      EXPECT_EQ(tables(), want) << path;
      EXPECT_EQ(p.lblSatisfied.Visible, satisfied) << path;
    };
    script::checkRow(p, "lstTables", 0);  // the check boxes are read-only: unresolved stays
    script::checkRow(p, "lstTables", 2);  // unchecked, valid stays checked
    step("", "A() B() C(ok)x D()", false);
    step(linkedA, "A() B() C(ok)x D()", false);  // its tblA is only a link
    step(linkedA, "A() B() C(ok)x D()", false);  // deselected again
    step(partA, "A(partA)x B() C(ok)x D()", false);
    step(newBe, "A(partA)x B(new)x C(ok)x D(new)x", true);  // tblA stays with partA
    step(ok, "A(partA)x B(new)x C(ok)x D(new)x", true);     // one more: refused, beep
    EXPECT_FALSE(p.lstDatabases.Selected(row(ok)));
    EXPECT_EQ(p.lblSatisfied.BackColor, uikit::Color::Yellow);
    EXPECT_EQ(desk.beeps(), 1);
    step(partA, "A() B(new)x C(ok)x D(new)x", false);  // new.mdb does not take tblA over
    step(newBe, "A() B() C(ok)x D()", false);
    step(newBe, "A(new)x B(new)x C(ok)x D(new)x", true);  // selected again: takes all
    EXPECT_EQ(p.lstTables.ItemData(2), 1);                // valid from the start, untouched
    script::click(p, "cmdBrowse");
    EXPECT_EQ(row(copy), 0);
    EXPECT_TRUE(p.lstDatabases.Selected(row(newBe)) && !p.lstDatabases.Selected(row(copy)));
    step(newBe, "A() B() C(ok)x D()", false);
    script::close(p);
  });
  page().ShowModal();
  EXPECT_FALSE(desk.busy());
  EXPECT_FALSE(state().tableChangeGuard);
}

// A duplicate in another letter case is refused and a cancel adds nothing. (The question before
// adding a file that lacks tables is the Relink Manager's too, tested there; the front end under
// another name is refused as the search dialog's OK test shows.)
TEST_F(FixSetTest, BrowseRefusesADuplicateIgnoringCase) {
  const std::string newUpper = dir.file("app/data/NEW.MDB"), all = dir.file("elsewhere/all.mdb");
  testsupport::makeBackEnd(all, {"tblA", "tblB", "tblD"});
  for (const std::string& file : {newUpper, all, std::string()})
    desk.chooseFile(file);  // "" cancels
  desk.answer(Answer::OK, newUpper + " is already in the list of possible databases.",
              "Duplicate Database");
  std::vector<int> counts;  // candidates in the store and rows shown, after each Browse
  desk.onShow<frmFixSet>("frmFixSet", [&](frmFixSet& p) {
    for (int i = 0; i < 3; ++i) {
      script::click(p, "cmdBrowse");
      counts.push_back(p.lsvDatabases.Count() * 100 + p.lstDatabases.ListCount());
    }
    script::close(p);
  });
  page().ShowModal();
  const int start = counts.at(0);
  EXPECT_EQ(counts, (std::vector<int>{start, start + 101, start + 101}));
}

// A candidate left with a hot journal that names another file: replaying it would rewrite the
// candidate and delete that file. The candidate is shown Locked, gives no tables when clicked,
// and every file stays as it was.
TEST_F(FixSetTest, ACandidateWithAHotJournalIsLockedAndLeftAlone) {
  const std::string hot = dir.file("app/data/hot.mdb"), victim = dir.file("victim.txt");
  testsupport::makeBackEnd(hot, {"tblA", "tblB", "tblD"});
  std::ofstream(victim) << "precious";
  testsupport::plantHotJournal(hot, "PRAGMA user_version = 7", victim);
  const std::vector<std::string> files{hot, hot + "-journal", victim};
  std::vector<std::string> before;
  for (const std::string& file : files)
    before.push_back(testsupport::fileBytes(file));
  ASSERT_FALSE(ValidateLinkSets());
  desk.onShow<frmFixSet>("frmFixSet", [&](frmFixSet& p) {
    EXPECT_NE(p.lstDatabases.List(row(hot)).find("(Score:  Locked,"), std::string::npos);
    script::clickRow(p, "lstDatabases", row(hot));
    EXPECT_EQ(tables(), "A() B() C(ok)x D()");
    script::close(p);
  });
  page().ShowModal();
  for (std::size_t i = 0; i < files.size(); ++i)
    EXPECT_TRUE(testsupport::fileBytes(files[i]) == before[i]) << files[i] << " changed";
}

// Next with tables left unresolved goes to Missing Links without changing anything; Next with all
// resolved rewrites the set and relinks as one piece of work: a failure at any step leaves the
// set's rows and the front end's links as they were, is reported, and keeps the page open.
TEST_F(FixSetTest, NextRewritesAllOrNothing) {
  const std::string fixed =
      "*Main.tblA=new *Main.tblB=new *Main.tblC=ok *Main.tblD=new | tblA=new tblB=new tblC=ok "
      "tblD=new";
  // The candidate chosen, the dao step that fails, the commands after Next, the trail.
  for (const auto& [candidate, fault, then, trail] : std::vector<std::array<std::string, 4>>{
           {"new", "", "click cmdFinish", "frmFixSet frmFinish"},
           {"partA", "", "click cmdBack\nclose", "frmFixSet frmMissingLinks:CreateSet frmFixSet"},
           {"new", "delete", "ok\nclose", "frmFixSet [cmdNext_Click] frmFixSet"},
           {"new", "commit", "ok\nclose", "frmFixSet [cmdNext_Click] frmFixSet"}}) {
    restart();
    const std::string before = world();
    const int pick = row(dir.file("app/data/" + candidate + ".mdb"));
    failAt(fault);
    EXPECT_EQ(
        run(page(), "click lstDatabases " + std::to_string(pick) + "\nclick cmdNext\n" + then),
        trail);
    EXPECT_EQ(world(), trail.ends_with("frmFinish") ? fixed : before) << fault;
    // The stored verdict, before any new check: the next start-up shows nothing.
    EXPECT_EQ(testsupport::linkSets(fe).at(0).valid, trail.ends_with("frmFinish")) << fault;
  }
}

}  // namespace
}  // namespace orvanta
