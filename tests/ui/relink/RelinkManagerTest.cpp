// The Relink Manager over real front ends: what the preparation shows for each situation, the
// candidate list and its sorting, Browse, Relink with each kind of result and each kind of bad
// file, the two layouts, and the legend and scoring help.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "dao/dao.h"
#include "engine/clsOrvanta.h"
#include "search/frmSearch.h"
#include "tests/ui/wizard/WizardFixture.h"
#include "ui/relink/frmLegend.h"
#include "ui/relink/frmLinkManager.h"
#include "ui/relink/frmScoring.h"

namespace orvanta {
namespace {

using Window = frmLinkManager;
using uikit::ListView;
namespace fsys = std::filesystem;

constexpr const char* kNotFound =
    "Problem:\r\nThe linked database could not be found. It could have been moved, deleted or "
    "renamed. \r\n\r\nAction:\r\nSelect the linked database that you would like to relink to or "
    "Browse/Search to find your linked database and click the 'Relink' button.";
constexpr const char* kInvalid =
    "Problem:\r\nlinks defined in the Active Link set are invalid. The linked table could not be "
    "opened.\r\n\r\nAction:\r\nSelect the linked database that you would like to relink to or "
    "browse/Search to find your linked database and click the 'Relink' button.";
constexpr const char* kMoved =
    "Problem:\r\nThis database has been moved since it was last run.\r\n\r\nAction:\r\nSelect the "
    "linked database that you would like to relink to or browse/Search to find your linked "
    "database and click the 'Relink' button.";
constexpr const char* kSuccess =
    "All links have successfully be established!\r\n\r\nClick 'Done' to return to your "
    "application";
constexpr const char* kNoLinks =
    "There are now no linked tables in your link set.\r\n\r\nClick 'Set Manager' to update the "
    "link set or 'Done' to return to your application";

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
  const std::string odd = dir.file("app/data/O'Brien B\xC3\xBCro \xE2\x9C\x93.mdb");
  const std::string oddTable = "Kunden ' \xE2\x9C\x93";
  const struct {
    const char* name;
    std::function<void(RelinkManager&)> build;
    std::string tree, text, failedTable, failedPath;
  } cases[] = {
      {"missing back end",
       [](RelinkManager& t) {
         testsupport::makeBackEnd(t.be2, {"Staff"});
         t.build({{"Customers", t.be}, {"Orders", t.be}, {"Staff", t.be2}});
       },
       "be=ChildFail Customers=NotApp Orders=NotApp | be2=Pass Staff=Pass", kNotFound, "Customers",
       "be"},
      {"back end missing one table",
       [&](RelinkManager& t) {
         testsupport::makeBackEnd(odd, {"Customers"});
         t.build({{"Customers", odd}, {oddTable, odd}});
       },
       "O'Brien B\xC3\xBCro \xE2\x9C\x93=Fail Customers=Pass " + oddTable + "=Fail", kInvalid,
       oddTable, "O'Brien B\xC3\xBCro \xE2\x9C\x93"},
      {"moved front end",
       [](RelinkManager& t) {
         testsupport::makeBackEnd(t.be2, {"Staff"});
         t.build({{"Customers", t.be}, {"Staff", t.be2}}, "/old/place/fe.mdb");
       },
       "be=Uncertain Customers=NotApp | be2=Uncertain Staff=Pass", kMoved, "Customers", "be"},
      {"every link works",
       [](RelinkManager& t) {
         testsupport::makeBackEnd(t.be, {"Customers"});
         t.build({{"Customers", t.be}});
       },
       "be=Pass Customers=Pass", kSuccess, "", "?"},
      {"no links", [](RelinkManager& t) { t.build({}); }, "", kNoLinks, "", "?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    restart();
    c.build(*this);
    then([&](Window& w) {
      EXPECT_EQ(tree(w), c.tree);
      EXPECT_EQ(w.txtLinkStatus.Text, c.text);
      EXPECT_EQ(w.lblTableName.Caption, c.failedTable);
      EXPECT_EQ(stem(w.lblDatabasePath.Caption), c.failedPath == "?" ? "?" : c.failedPath)
          << w.lblDatabasePath.Caption;
      EXPECT_EQ(w.lblActiveLinkSet.Caption, "Main");
      // Load ran before the preparation: Browse and Search start enabled whatever it found.
      EXPECT_TRUE(w.cmdBrowse.Enabled && w.cmdSearch.Enabled);
      EXPECT_EQ(w.cmdOK.Enabled, w.lsvDatabases.Count() > 0);
    });
    done();
    EXPECT_EQ(open(), c.text == kSuccess || c.text == kNoLinks);
  }
}

TEST_F(RelinkManager, CandidatesAreScoredAgainstTheFailedBackEndAndSortedByHeaderClicks) {
  buildRenamed();
  testsupport::makeBackEnd(dir.file("app/old/be.mdb"), {"Orders"});
  then([&](Window& w) {
    EXPECT_EQ(rows(w),
              "be-2024 83 2 of 2, be2 67 1 of 2, ?" + dir.file("app/old/be.mdb") + " 50 1 of 2");
    const struct {
      int column;
      int key;
      ListView::SortOrder order;
      std::string first;
    } clicks[] = {
        {2, 1, ListView::SortOrder::Ascending, "?" + dir.file("app/old/be.mdb")},
        {2, 1, ListView::SortOrder::Descending, "be-2024"},
        // Another column keeps the order.
        {1, 0, ListView::SortOrder::Descending, "?" + dir.file("app/old/be.mdb")},
        {1, 0, ListView::SortOrder::Ascending, "be-2024"},
    };
    for (const auto& c : clicks) {
      script::columnClick(w, "lsvDatabases", c.column);
      EXPECT_EQ(w.lsvDatabases.sortKey(), c.key);
      EXPECT_EQ(w.lsvDatabases.sortOrder(), c.order);
      EXPECT_EQ(stem(w.lsvDatabases.Item(1).text), c.first) << c.column;
    }
  });
  done();
  EXPECT_FALSE(open());
}

TEST_F(RelinkManager, BrowseScoresAsksAndAddsWithoutEnablingRelink) {
  // No candidate anywhere near: the list starts empty.
  testsupport::makeBackEnd(be, {"Customers", "Orders"});
  build({{"Customers", be}, {"Orders", be}});
  fsys::create_directories(dir.file("elsewhere"));
  const std::string all = dir.file("elsewhere/all.mdb");
  const std::string part = dir.file("elsewhere/part.mdb");
  fsys::rename(be, all);
  testsupport::makeBackEnd(part, {"Orders"});
  const struct {
    const char* name;
    std::string file;
    std::function<void()> answers;
    std::string rowsAfter;
  } cases[] = {
      {"holds all tables: no question", all, [] {}, "?" + all + " 33 2 of 2"},
      {"lacks one: No adds nothing", part,
       [&] {
         desk.answer(Answer::No, "contains 1 of 2 needed tables.\r\n\r\nDo you",
                     "Confirm Selection");
       },
       "?" + all + " 33 2 of 2"},
      {"lacks one: Yes adds it", part, [&] { desk.answer(Answer::Yes, "", "Confirm Selection"); },
       "?" + all + " 33 2 of 2, ?" + part + " 17 1 of 2"},
      {"cancelled dialog", "", [] {}, "?" + all + " 33 2 of 2, ?" + part + " 17 1 of 2"},
      {"the same file again", all, [] {},
       "?" + all + " 33 2 of 2, ?" + all + " 33 2 of 2, ?" + part + " 17 1 of 2"},
  };
  then([&](Window& w) {
    EXPECT_FALSE(w.cmdOK.Enabled);
    for (const auto& c : cases) {
      SCOPED_TRACE(c.name);
      desk.chooseFile(c.file);
      c.answers();
      const std::string chosenBefore = w.chosenDatabasePath;
      script::click(w, "cmdBrowse");
      EXPECT_EQ(rows(w), c.rowsAfter);
      EXPECT_EQ(w.chosenDatabasePath, c.file.empty() ? chosenBefore : c.file);
      EXPECT_FALSE(w.cmdOK.Enabled);
      EXPECT_EQ(w.focused() == &w.lsvDatabases, !c.file.empty());
    }
    // Each dialog starts at the file chosen before it; a scoring failure adds nothing.
    EXPECT_EQ(desk.transcript().back().initDir, part);
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

// The drive search hands the file the user picks to this window's list, scored as Browse does,
// not to the wizard's hidden Fix Set page.
TEST_F(RelinkManager, SearchAddsTheChosenFileToThisWindowsList) {
  testsupport::makeBackEnd(be, {"Customers", "Orders"});
  build({{"Customers", be}, {"Orders", be}});
  fsys::create_directories(dir.file("elsewhere"));
  const std::string all = dir.file("elsewhere/all.mdb");
  fsys::rename(be, all);
  then([&](Window& w) {
    desk.onShow<frmSearch>("frmSearch", [&](frmSearch& search) {
      search.lstFiles.AddItem(all);
      script::clickRow(search, "lstFiles", 0);
      script::click(search, "cmdOk");
    });
    script::click(w, "cmdSearch");
    EXPECT_EQ(rows(w), "?" + all + " 33 2 of 2");
    EXPECT_FALSE(uikit::form<frmSearch>().visible());
  });
  done();
  EXPECT_FALSE(open());
}

TEST_F(RelinkManager, RelinkResultsDecideWhetherTheWindowStays) {
  // 0 closes the window and it comes back prepared afresh; 1, 3078 and 3011 keep it open
  // silently; any other result is reported and keeps it open. Then Done.
  const struct {
    const char* name;
    int item;   // the candidate clicked first, 0 for none
    int fault;  // error injected when the relink commits, 0 for none
    Answer answer;
    const char* text;
    const char* title;  // of the message box shown, "" for none
  } cases[] = {
      {"no selection", 0, 0, Answer::OK, "You must select a database", "Vantrel"},
      {"cancelled missing tables (1)", 2, 0, Answer::Cancel, "could not be found in",
       "Missing Tables"},
      {"3011 stays silent", 1, dao::kErrObjectNotFound, Answer::OK, "", ""},
      {"3078 stays silent", 1, dao::kErrTableNotFound, Answer::OK, "", ""},
      {"3043 is reported", 1, dao::kErrDiskIO, Answer::OK, "could not be relinked to",
       "cmdOK_Click - 3043"},
      {"relinked (0)", 1, 0, Answer::OK, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    restart();
    buildRenamed();
    const std::string before = world();
    const bool relinked = c.item == 1 && c.fault == 0;
    if (*c.title)
      desk.answer(c.answer, c.text, c.title);
    then([&](Window& w) {
      if (c.item != 0)
        script::clickItem(w, "lsvDatabases", c.item);
      dao::SetFaultHook([&](std::string_view step, std::string_view) {
        if (c.fault != 0 && step == "commit")
          throw dao::Error(c.fault, "injected");
      });
      script::click(w, "cmdOK");
      dao::SetFaultHook(nullptr);
      EXPECT_EQ(uikit::isLoaded<Window>(), !relinked);
      EXPECT_EQ(state().relinkDone, relinked);
      if (!relinked) {
        EXPECT_EQ(w.focused() == &w.lsvDatabases, c.item != 0 && *c.title);
      }
    });
    if (relinked) {
      then([](Window& w) {
        EXPECT_EQ(w.txtLinkStatus.Text, kSuccess);
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

TEST_F(RelinkManager, BadFilesAreRefusedWithTheirErrorAndChangeNothing) {
  // Far from the front end, where no search of the window looks.
  const std::string text = dir.file("far/notes.mdb");
  const std::string fifo = dir.file("far/pipe.mdb");
  const std::string locked = dir.file("far/locked.mdb");
  const struct {
    const char* name;
    std::string file;
    std::string title;  // of the report; "" for none
  } cases[] = {
      {"missing", dir.file("far/missing.mdb"), "cmdOK_Click - 3024"},
      {"not a database", text, "cmdOK_Click - 3343"},
      {"a FIFO", fifo, "cmdOK_Click - 3343"},
      {"held exclusively", locked, "cmdOK_Click - 3356"},
      // Its links cannot be rebuilt on its own linked tables: the layer refuses (3011).
      {"the front end itself", fe, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    restart();
    buildRenamed();
    fsys::remove_all(dir.file("far"));
    fsys::create_directories(dir.file("far"));
    std::ofstream(text) << "not a database\n";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    testsupport::makeBackEnd(locked, {"Customers", "Orders"});
    testsupport::HeldByAnotherProcess holder(locked, -1, false);
    ASSERT_TRUE(holder.held());
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

TEST_F(RelinkManager, LayoutsToggleAndHelpWindowsShowTheirTexts) {
  buildRenamed();
  then([](Window& w) {
    const struct {
      bool expanded;
      int dataTop, buttonTop, height;
      const char* caption;
    } layouts[] = {{true, 5505, 7785, 8670, "Hide Link Status"},
                   {false, 3180, 5460, 6345, "Show Link Status"}};
    for (const auto& l : layouts) {
      script::click(w, "cmdExpand");
      EXPECT_EQ(w.fraLinkStatus.Visible, l.expanded);
      EXPECT_EQ(w.lblStatusMsg.Visible, !l.expanded);
      EXPECT_EQ(w.fraDataSources.geometry.top, l.dataTop);
      for (const uikit::CommandButton* b : {&w.cmdBrowse, &w.cmdOK, &w.cmdSearch, &w.cmdCancel})
        EXPECT_EQ(b->geometry.top, l.buttonTop) << b->name();
      EXPECT_EQ(w.geometry.height, l.height);
      EXPECT_EQ(w.cmdExpand.Caption, l.caption);
      EXPECT_EQ(w.focused(), &w.lsvDatabases);
    }
    script::click(w, "cmdExpand");
    script::click(w, "cmdLegend");
  });
  desk.onShow<frmLegend>("frmLegend", [](frmLegend& legend) {
    std::string shown;
    for (std::size_t i = 0; i < legend.images.size(); ++i)
      shown += legend.images[i]->Image + " " + legend.labels[i]->Caption + "\n";
    EXPECT_EQ(shown,
              "status-pass - Link successfully established\n"
              "status-fail - Linked database found, but table link failed\n"
              "status-uncertain - Front end database moved\n"
              "status-childfail - Linked database not found\n"
              "status-notapp - Linked Database not found, table links not tested\n");
    // The tree draws its images from the same pictures under the status keys.
    std::string keys;
    for (const auto& image : uikit::form<Window>().imgLinkStatus.ListImages)
      keys += image.key + "=" + image.picture + " ";
    EXPECT_EQ(keys,
              "Pass=status-pass Fail=status-fail Uncertain=status-uncertain "
              "ChildFail=status-childfail NotApp=status-notapp ");
    script::click(legend, "cmdOk");
  });
  then([](Window& w) { script::click(w, "cmdOpenScoring"); });
  desk.onShow<frmScoring>("frmScoring", [](frmScoring& help) {
    const std::string& text = help.txtText.Text;
    EXPECT_TRUE(text.starts_with("\r\nDatabases are scored according to thier 'likeness'"));
    EXPECT_NE(text.find("They are:\r\n\r\n1.  Database Name (10 pts max.)"), std::string::npos);
    EXPECT_NE(text.find("and he Front-end is now in 'E:\\Testing'"), std::string::npos);
    EXPECT_NE(text.find("etc.).\r\n\r\nThe points"), std::string::npos);
    EXPECT_TRUE(text.ends_with(
        "posible score, because a 100% match would not require a relink.\r\n\r\nNOTE: "
        "'Locked' indicates that the database is already opened in exclusive mode."));
    script::click(help, "cmdOk");
  });
  done();
  EXPECT_FALSE(open());
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
