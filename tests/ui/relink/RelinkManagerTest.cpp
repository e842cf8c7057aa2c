// The Relink Manager over real front ends: what the preparation shows for each situation, the
// candidate list, Browse, and Relink with each kind of result and of bad file.
// The layouts and the help windows are drawn by the Qt suite.
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "dao/dao.h"
#include "orvanta/clsOrvanta.h"
#include "search/frmSearch.h"
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/relink/frmLinkManager.h"

namespace orvanta {
namespace {

using Window = frmLinkManager;
namespace fsys = std::filesystem;

// What the status text says in each situation; the advice after it is the same in all.
constexpr const char* kNotFound = "Problem:\r\nThe linked database could not be found.";
constexpr const char* kInvalid = "Problem:\r\nlinks defined in the Active Link set are invalid.";
constexpr const char* kMoved = "Problem:\r\nThis database has been moved since it was last run.";
constexpr const char* kSuccess = "All links have successfully be established!";
constexpr const char* kNoLinks = "There are now no linked tables in your link set.";

class RelinkManager : public WizardTest {
 public:
  // The front end linking each of links, as its active set "Main" (recording recorded as the
  // front end's path, fe when empty) says.
  void build(const Links& links, const std::string& recorded = "") {
    testsupport::makeFrontEnd(fe);
    for (const Link& link : links) {
      try {
        testsupport::linkTable(fe, link.table, link.backEnd);
      } catch (const dao::Error&) {  // a link that is broken from the start
      }
    }
    testsupport::addLinkSet(fe, "Main", "", true, links, recorded.empty() ? fe : recorded);
  }
  // The usual world: the set links Customers and Orders from be, which was renamed to
  // be-2024.mdb; be2 holds only Customers.
  void buildRenamed() {
    testsupport::makeBackEnd(be, {"Customers", "Orders"});
    build({{"Customers", be}, {"Orders", be}});
    fsys::rename(be, renamed);
    testsupport::makeBackEnd(be2, {"Customers"});
  }
  // Queues one turn of the user in the Relink Manager.
  void then(std::function<void(Window&)> turn) { desk.onShow<Window>("frmLinkManager", turn); }
  void done() {
    then([](Window& w) { script::click(w, "cmdCancel"); });
  }
  bool open() { return OpenRelinkManager(fe); }

  // The status tree: each back end as "<stem>=<image>", each table after it as "<name>=<image>".
  std::string tree(const Window& w) const {
    std::string text;
    const auto& nodes = w.treLinkStatus.nodes();
    for (std::size_t i = 0; i < nodes.size(); ++i) {
      const bool root = w.treLinkStatus.depth(static_cast<int>(i)) == 0;
      text += (text.empty() ? ""
               : root       ? " | "
                            : " ") +
              (root ? stem(nodes[i].text) : nodes[i].text) + "=" + nodes[i].imageKey;
    }
    return text;
  }
  // The candidate rows as "<stem> <score> <found of needed>", in list order.
  std::string rows(const Window& w) const {
    std::string text;
    for (const auto& item : w.lsvDatabases.items())
      text += (text.empty() ? "" : ", ") + stem(item.text) + " " + item.subItem(1) + " " +
              item.subItem(2);
    return text;
  }

  std::string renamed = dir.file("app/data/be-2024.mdb");
};

TEST_F(RelinkManager, PreparationShowsEachSituationAsTreeTextAndFailedBackEnd) {
  const std::string oddStem = "O'Brien B\xC3\xBCro \xE2\x9C\x93",
                    oddTable = "Kunden ' \xE2\x9C\x93";
  const std::string odd = dir.file("app/data/" + oddStem + ".mdb");
  // Opens the window on the set's links, recorded as made at recorded ("": where fe is), and
  // expects text and the tree, then "; <failed table> in <its back end>".
  const auto prepared = [&](const Links& links, const std::string& recorded, const char* text,
                            const std::string& shown) {
    SCOPED_TRACE(text);
    restart();
    testsupport::makeBackEnd(be2, {"Staff"});
    testsupport::makeBackEnd(odd, {"Customers"});
    build(links, recorded);
    then([&](Window& w) {
      EXPECT_EQ(tree(w) + "; " + w.lblTableName.Caption + " in " + stem(w.lblDatabasePath.Caption),
                shown);
      EXPECT_TRUE(w.txtLinkStatus.Text.starts_with(text)) << w.txtLinkStatus.Text;
      // Load ran before the preparation: Browse and Search start enabled whatever it found.
      EXPECT_TRUE(w.cmdBrowse.Enabled && w.cmdSearch.Enabled);
      EXPECT_EQ(w.cmdOK.Enabled, w.lsvDatabases.Count() > 0);
    });
    done();
    EXPECT_EQ(open(), links.empty());
  };
  prepared({{"Customers", be}, {"Orders", be}, {"Staff", be2}}, "", kNotFound,
           "be=ChildFail Customers=NotApp Orders=NotApp | be2=Pass Staff=Pass; Customers in be");
  prepared({{"Customers", odd}, {oddTable, odd}}, "", kInvalid,
           oddStem + "=Fail Customers=Pass " + oddTable + "=Fail; " + oddTable + " in " + oddStem);
  prepared({{"Customers", be}, {"Staff", be2}}, "/old/place/fe.mdb", kMoved,
           "be=Uncertain Customers=NotApp | be2=Uncertain Staff=Pass; Customers in be");
  prepared({}, "", kNoLinks, ";  in ?");
}

TEST_F(RelinkManager, BrowseAndSearchScoreAskAndAddWithoutEnablingRelink) {
  // No candidate anywhere near: the list starts empty.
  testsupport::makeBackEnd(be, {"Customers", "Orders"});
  build({{"Customers", be}, {"Orders", be}});
  const std::string all = dir.file("elsewhere/all.mdb"), part = dir.file("elsewhere/part.mdb");
  testsupport::makeBackEnd(part, {"Orders"});
  fsys::rename(be, all);
  const std::string a = "?" + all + " 33 2 of 2", p = "?" + part + " 17 1 of 2";
  then([&](Window& w) {
    EXPECT_FALSE(w.cmdOK.Enabled);
    // The file chosen ("" cancels), the answer to "contains 1 of 2" (OK: not asked), the rows.
    for (const auto& [file, answer, rowsAfter] :
         std::vector<std::tuple<std::string, Answer, std::string>>{
             {all, Answer::OK, a},
             {part, Answer::No, a},
             {part, Answer::Yes, a + ", " + p},
             {"", Answer::OK, a + ", " + p}}) {
      desk.chooseFile(file);
      if (answer != Answer::OK)
        desk.answer(answer, "contains 1 of 2 needed tables.\r\n\r\nDo you", "Confirm Selection");
      const std::string chosenBefore = w.chosenDatabasePath;
      script::click(w, "cmdBrowse");
      EXPECT_EQ(rows(w), rowsAfter);
      EXPECT_EQ(w.chosenDatabasePath, file.empty() ? chosenBefore : file);
      EXPECT_FALSE(w.cmdOK.Enabled);
      EXPECT_EQ(w.focused() == &w.lsvDatabases, !file.empty());
    }
    // Each dialog starts at the file chosen before it.
    EXPECT_EQ(desk.transcript().back().initDir, part);
    // The drive search hands the file the user picks to this window's list, scored as Browse
    // does, not to the wizard's hidden Fix Set page.
    desk.onShow<frmSearch>("frmSearch", [&](frmSearch& search) {
      search.lstFiles.AddItem(all);
      script::clickRow(search, "lstFiles", 0);
      script::click(search, "cmdOk");
    });
    script::click(w, "cmdSearch");
    EXPECT_EQ(rows(w), a + ", " + a + ", " + p);
    EXPECT_FALSE(uikit::form<frmSearch>().visible());
    // A scoring failure adds nothing.
    failAt("open");
    desk.chooseFile(all);
    desk.answer(Answer::OK, "", "CalcPriority");
    desk.answer(Answer::OK, "Unable to add " + all + " to the list", "Error Adding Database");
    script::click(w, "cmdBrowse");
    dao::SetFaultHook(nullptr);
    EXPECT_EQ(w.lsvDatabases.Count(), 3);
    script::clickItem(w, "lsvDatabases", 2);
    EXPECT_TRUE(w.cmdOK.Enabled);
  });
  done();
  EXPECT_FALSE(open());
}

TEST_F(RelinkManager, RelinkResultsDecideWhetherTheWindowStays) {
  // The candidates beside the failed back end and below the front end's folder, best first. A
  // relink's result 0 closes the window and it comes back prepared afresh; 1 and 3011 (like
  // 3078) keep it open silently; any other result is reported and keeps it open. Then Done.
  // The candidate clicked first (0: none), the error injected when the relink commits (0: none),
  // the answer to the message box with that title and text ("": no box).
  struct Case {
    int item, fault;
    Answer answer;
    std::string text, title;
  };
  for (const Case& c : std::vector<Case>{
           {0, 0, Answer::OK, "You must select a database", "Vantrel"},
           {2, 0, Answer::Cancel, "could not be found in", "Missing Tables"},  // result 1
           {1, dao::kErrObjectNotFound, Answer::OK, "", ""},
           {1, dao::kErrDiskIO, Answer::OK, "could not be relinked to", "cmdOK_Click - 3043"},
           {1, 0, Answer::OK, "", ""}}) {
    SCOPED_TRACE(std::to_string(c.item) + " " + std::to_string(c.fault));
    restart();
    buildRenamed();
    testsupport::makeBackEnd(dir.file("app/old/be.mdb"), {"Orders"});
    const std::string before = world();
    const bool relinked = c.item == 1 && c.fault == 0;
    if (!c.title.empty())
      desk.answer(c.answer, c.text, c.title);
    then([&](Window& w) {
      EXPECT_EQ(rows(w),
                "be-2024 83 2 of 2, be2 67 1 of 2, ?" + dir.file("app/old/be.mdb") + " 50 1 of 2");
      if (c.item != 0)
        script::clickItem(w, "lsvDatabases", c.item);
      failAt(c.fault != 0 ? "commit" : "", c.fault);
      script::click(w, "cmdOK");
      dao::SetFaultHook(nullptr);
      EXPECT_EQ(uikit::isLoaded<Window>(), !relinked);
      EXPECT_EQ(state().relinkDone, relinked);
      if (!relinked) {
        EXPECT_EQ(w.focused() == &w.lsvDatabases, c.item != 0 && !c.title.empty());
      }
    });
    if (relinked) {
      then([](Window& w) {
        EXPECT_TRUE(w.txtLinkStatus.Text.starts_with(kSuccess));
        EXPECT_EQ(w.lsvDatabases.Count(), 0);
        EXPECT_FALSE(w.cmdOK.Enabled);
      });
    }
    done();
    EXPECT_EQ(open(), relinked);
    EXPECT_FALSE(state().relinkDone);  // Done always leaves it False
    EXPECT_EQ(world(), relinked ? "*Main.Customers=be-2024 *Main.Orders=be-2024 | "
                                  "Customers=be-2024 Orders=be-2024"
                                : before);
  }
}

// A file that cannot be opened (a locked one takes the same path; the database layer's own
// suite covers why it cannot be opened) and the front end itself.
TEST_F(RelinkManager, BadFilesAreRefusedWithTheirErrorAndChangeNothing) {
  struct Case {
    std::string file, title;  // the file chosen and the title of its report ("": none)
  };
  for (const Case& c : std::vector<Case>{
           {dir.file("far/missing.mdb"), "cmdOK_Click - 3024"},
           // Its links cannot be rebuilt on its own linked tables: the layer refuses (3011).
           {fe, ""}}) {
    SCOPED_TRACE(c.file);
    restart();
    buildRenamed();
    const std::string before = world();
    then([&](Window& w) {
      desk.chooseFile(c.file);
      if (c.title.empty())
        desk.answer(Answer::Yes, "contains 0 of 2 needed tables", "Confirm Selection");
      script::click(w, "cmdBrowse");
      const int row = w.lsvDatabases.SelectedIndex();
      ASSERT_GT(row, 0);
      EXPECT_EQ(w.lsvDatabases.Item(row).subItem(1) == " Locked", !c.title.empty());
      script::clickItem(w, "lsvDatabases", row);
      if (!c.title.empty())
        desk.answer(Answer::OK, "could not be relinked to " + c.file, c.title);
      script::click(w, "cmdOK");
      EXPECT_TRUE(uikit::isLoaded<Window>());
    });
    done();
    EXPECT_FALSE(open());
    EXPECT_EQ(world(), before);
  }
}

TEST_F(RelinkManager, AfterTheSetManagerTheSetsAreStillReadFromTheMovedFrontEnd) {
  // The set recorded a place the front end has left; the Set Manager reloads the active set,
  // yet scoring must go on reading the sets where the front end is now.
  testsupport::makeBackEnd(be2, {"Customers"});
  build({{"Customers", be}}, dir.file("gone/fe.mdb"));
  then([&](Window& w) {
    script::click(w, "cmdSetMgr");
    desk.chooseFile(be2);
    script::click(w, "cmdBrowse");
    EXPECT_EQ(rows(w), "be2 77 1 of 1, be2 77 1 of 1");
  });
  desk.onShow("frmSetManager", [](uikit::Form& f) { script::close(f); });
  done();
  EXPECT_FALSE(open());
}

TEST_F(RelinkManager, WithoutAnActiveSetTheSetManagerOpens) {
  testsupport::makeFrontEnd(fe);
  testsupport::addLinkSet(fe, "Idle", "", false, {});
  desk.answer(Answer::OK, "There is currently no Active Link Set defined.",
              "No Active Link Set Found");
  desk.onShow("frmSetManager", [](uikit::Form& f) { script::close(f); });
  EXPECT_FALSE(open());
  // A read-only front end is refused before anything is shown.
  restart();
  buildRenamed();
  chmod(fe.c_str(), 0444);
  desk.answer(Answer::OK, "is read-only", "Read-Only Front End");
  EXPECT_FALSE(open());
  EXPECT_TRUE(state().frontEndReadOnly);
  chmod(fe.c_str(), 0644);
}

}  // namespace
}  // namespace orvanta
