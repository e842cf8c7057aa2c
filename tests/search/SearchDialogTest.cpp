// The Database File Search dialog over real files: the drive list, what a search lists, Stop
// between drives, OK's rules against the Fix Set page's candidates, and a search closed at the
// console.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "search/frmSearch.h"
#include "tests/search/SearchSupport.h"
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/wizard/frmFixSet.h"

namespace orvanta {
namespace {

namespace fsys = std::filesystem;

class SearchDialogTest : public WizardTest {
 protected:
  // Main needs tblA, tblB and tblD from app/data/old.mdb, which has since moved to far/new.mdb,
  // where the start-up check does not look.
  void SetUp() override {
    WizardTest::SetUp();
    testsupport::makeBackEnd(oldBe, {"tblA", "tblB", "tblD"});
    const Links links{{"tblA", oldBe}, {"tblB", oldBe}, {"tblD", oldBe}};
    buildWorld(links, links);
    dir.mkdir("far");
    fsys::rename(oldBe, newBe);
    drives.mounts = {{root(), "ext4"}};
  }
  std::string root() const { return dir.path() + "/"; }
  static frmSearch& dialog() { return uikit::form<frmSearch>(); }
  static std::vector<std::string> found() { return texts(dialog().lstFiles); }
  static void pick(frmSearch& f, const std::string& file) {
    const auto rows = found();
    const auto at = std::find(rows.begin(), rows.end(), file);
    ASSERT_NE(at, rows.end()) << file;
    script::clickRow(f, "lstFiles", static_cast<int>(at - rows.begin()));
  }

  std::string oldBe = dir.file("app/data/old.mdb");
  std::string newBe = dir.file("far/new.mdb");
  CountableSearch countable;
  TestDrives drives;
  vfs::ScopedFileSystem useDrives{drives};
};

// OK hides the dialog before refusing the front end reached by a link (the other refusals and
// the question about a file with some of the tables are Browse's, which OK shares), reports a
// file that turned into a FIFO and adds a complete one at once; OK after a new search cleared the
// list says nothing is selected. The dialog keeps its results from one Search to the next.
TEST_F(SearchDialogTest, OkFollowsTheRulesOfBrowse) {
  const std::string gone = dir.file("far/gone.mdb"), feLink = dir.file("fe-link.mdb");
  testsupport::makeBackEnd(gone, {"tblA", "tblB", "tblD"});
  fsys::create_symlink(fe, feLink);
  frmFixSet& page = uikit::form<frmFixSet>();
  const int before = page.lsvDatabases.Count();

  desk.answer(Answer::OK, "You must select a file from the list!", "No File Selected");
  desk.answer(Answer::OK, "You cannot add the current frontend application to the list.",
              "Selection Error");
  desk.answer(Answer::OK, "Unable to add " + gone + " to the list", "Error Adding Database");
  const auto ok = [this](frmSearch& f, bool staysShown) {
    script::click(f, "cmdOk");
    EXPECT_EQ(f.visible(), staysShown) << desk.text();
  };
  desk.onShow<frmSearch>("frmSearch", [&](frmSearch& f) {
    EXPECT_FALSE(f.cmdOk.Enabled);
    script::checkRow(f, "LstDrives", 0);
    script::click(f, "cmdSearch");
    const auto rows = found();
    EXPECT_EQ(std::count(rows.begin(), rows.end(), fe), 0);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), feLink), 1);
    pick(f, gone);
    script::click(f, "cmdSearch");
    ok(f, true);  // No File Selected
    pick(f, feLink);
    ok(f, false);
  });
  desk.onShow<frmSearch>("frmSearch", [&](frmSearch& f) {
    fsys::remove(gone);
    ASSERT_EQ(mkfifo(gone.c_str(), 0644), 0);
    pick(f, gone);
    ok(f, true);
    pick(f, newBe);
    ok(f, false);
  });
  for (int show = 0; show < 2; ++show)
    dialog().ShowModal();

  EXPECT_EQ(page.lsvDatabases.Count(), before + 1);
  EXPECT_EQ(page.lstDatabases.ListCount(), before + 1);
  EXPECT_EQ(page.shownCandidates.front(), newBe);  // all tables: scored above the others
}

// Rows are the home folder, "/" and a mount point below it. Home inside "/" is found twice but
// listed once, a mount point is searched only from its own row, and a Stop while the second of
// three drives is searched keeps what was found and skips the third.
TEST_F(SearchDialogTest, DrivesAreSearchedInTurn) {
  const std::string top = dir.file("d/");
  drives.home = top + "home";
  drives.mounts = {{top, "ext4"}, {top + "mnt/", "ext4"}, {top + "proc/", "proc"}};
  const std::string h = top + "home/h.mdb", r = top + "r.mdb", m = top + "mnt/m.mdb";
  for (const std::string& file : {h, r, m})
    testsupport::makeBackEnd(file, {"tblA"});
  struct Case {
    std::vector<int> checked;
    bool stop;
    std::vector<std::string> listed;
  };
  for (const Case& c : std::vector<Case>{
           {{1}, false, {r, h}}, {{0, 1, 2}, false, {h, r, m}}, {{0, 1, 2}, true, {h, r}}}) {
    desk.onDoEvents([&] {
      if (c.stop && dialog().sbrSearchStatus.Panels[0].text == top + "home")
        script::click(dialog(), "cmdStop");
    });
    desk.onShow<frmSearch>("frmSearch", [&](frmSearch& f) {
      EXPECT_EQ(f.LstDrives.items().size(), 3u);
      for (int row : c.checked)
        script::checkRow(f, "LstDrives", row);
      script::click(f, "cmdSearch");
      EXPECT_EQ(found(), c.listed);
      EXPECT_TRUE(f.cmdSearch.Enabled && !f.cmdStop.Enabled && !desk.busy());
      if (c.stop) {
        EXPECT_EQ(f.sbrSearchStatus.Panels[0].text, "");
      }
      script::click(f, "cmdCancel");
    });
    dialog().ShowModal();
  }
}

// At the console, a close typed while a search runs is carried out at once and ends the search
// with the window. (The folder being searched shows in the status panel as the drive test reads.)
TEST_F(SearchDialogTest, ClosingTheWindowAtTheConsoleEndsItsSearch) {
  testsupport::makeBackEnd(dir.file("far/a/b/x.mdb"), {"tblA"});
  drives.mounts = {{dir.file("far/"), "ext4"}};
  std::istringstream in("check LstDrives 0\nclick cmdSearch\nclose\n");
  std::ostringstream out;
  uikit::console::ConsoleDesktop console(in, out, {.patience = std::chrono::milliseconds(0)});
  uikit::ScopedDesktop use(console);
  uikit::KeepUnloadedForms keep;  // the list is read after the window closed
  frmSearch& f = dialog();
  f.ShowModal();
  EXPECT_EQ(out.str().find("!"), std::string::npos) << out.str();
  EXPECT_EQ(f.lstFiles.ListCount(), 0);
}

}  // namespace
}  // namespace orvanta
