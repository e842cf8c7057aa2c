// Link validation and the start-up check: verdicts, the Fix Set and Switch Set pages' lists, the
// candidate searches, and every row of the check's decision table, each reached from real front
// ends and back ends on disk.
#include <sqlite3.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "paths/modFunctions.h"
#include "tests/engine/support.h"
#include "ui/wizard/WizardPage.h"
#include "ui/wizard/frmSwitchSet.h"

namespace enginetest {
namespace {

namespace fsys = std::filesystem;
using orvanta::frmFixSet;

using Validation = EngineTest;

TEST_F(Validation, EverySetGetsItsVerdict) {
  const std::string be = backEnd("app/data/be.mdb", {"Customers", "Order Details"});
  const std::string fe = frontEnd("app/fe.mdb", {{"Customers", be}});
  // A quote in a set name and a blank in a table name must not break the statements.
  addLinkSet(fe, "O'Neil", "", true, {{"Customers", be}, {"Order Details", be}});
  addLinkSet(fe, "NoTable", "", false, {{"Customers", be}, {"Missing", be}});
  addLinkSet(fe, "Empty", "", false, {});
  addLinkSet(fe, "NoFile", "", false, {{"Customers", dir.file("app/x.mdb")}});
  // The back end is the DATABASE part; a password after it is no part of the path.
  addLinkSet(fe, "Password", "", false, {{"Customers", be + ";PWD=s3cret"}});
  useFrontEnd(fe, "O'Neil");

  EXPECT_TRUE(orvanta::ValidateLinkSets());
  EXPECT_TRUE(state().activeSetValid);
  std::string valid;
  for (const auto& set : linkSets(fe))
    valid += set.valid ? "1" : "0";
  EXPECT_EQ(valid, "10101");
  EXPECT_EQ(uikit::form<frmFixSet>().lsvDatabases.Count(), 0);  // nothing to search for
}

// Each back end costs file descriptors while it is open, and another copy of the application
// committing to a back end holds it locked for a moment: a set over a hundred back ends, one of
// them in the middle of such a commit, is judged on its files, not on how many descriptors the
// process may have nor on that moment.
TEST_F(Validation, ASetIsJudgedOnItsFilesNotOnDescriptorsOrAnotherWritersCommit) {
  std::vector<Link> links;
  for (int i = 0; i < 100; ++i)
    links.push_back({"Customers", backEnd("data/be" + std::to_string(i) + ".mdb", {"Customers"})});
  const std::string fe = frontEnd("app/fe.mdb");
  addLinkSet(fe, "Main", "", true, links);
  useFrontEnd(fe, "Main");
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(links[0].backEnd.c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(writer, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread commit([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(80));
    sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr);
  });
  const auto inUse = std::distance(fsys::directory_iterator("/proc/self/fd"), {});
  rlimit saved{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
  rlimit tight = saved;
  tight.rlim_cur = static_cast<rlim_t>(inUse) + 60;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
  const bool valid = orvanta::ValidateLinkSets();
  setrlimit(RLIMIT_NOFILE, &saved);
  commit.join();
  sqlite3_close(writer);
  EXPECT_TRUE(valid);
}

TEST_F(Validation, ABrokenActiveSetPreparesTheFixSetPage) {
  const std::string good = backEnd("app/data/good.mdb", {"Customers"});
  const std::string half = backEnd("app/data/half.mdb", {"Customers"});  // lacks Orders
  const std::string missing = dir.file("app/be.mdb");
  for (const char* file : {"app/data/spare.mdb", "app/copy.mdb", "app/sub/deep.MDB", "app/x.txt",
                           "app/.hidden/h.mdb", "outside/o.mdb"})
    backEnd(file);
  // Links are not followed: one loops back up, one leads out of the tree.
  fsys::create_directory_symlink(dir.file("app"), dir.file("app/sub/loop"));
  fsys::create_directory_symlink(dir.file("outside"), dir.file("app/out"));
  const std::string fe = frontEnd("app/fe.mdb");
  // The front end under other names is still the front end.
  fsys::create_hard_link(fe, dir.file("app/sub/hard.mdb"));
  fsys::create_symlink(fe, dir.file("app/data/soft.mdb"));
  addLinkSet(fe, "Main", "", true,
             {{"Customers", good}, {"Orders", half}, {"Extra", missing}, {"Other", missing}});
  useFrontEnd(fe, "Main");

  EXPECT_FALSE(orvanta::ValidateLinkSets());
  // The page's table rows are proved with the page; here, the broken back end and the search.
  frmFixSet& page = uikit::form<frmFixSet>();
  EXPECT_EQ(page.txtDatabasePath.Text, half);
  // Beside both broken back ends and below the front end, each file once, never the front end
  // itself, whatever the letter case of the extension.
  EXPECT_EQ(candidates(), (std::vector<std::string>{
                              dir.file("app/.hidden/h.mdb"), dir.file("app/copy.mdb"), good, half,
                              dir.file("app/data/spare.mdb"), dir.file("app/sub/deep.MDB")}));
  // Each scored against the broken back end it fits best: copy.mdb, beside be.mdb, holds the
  // Orders that half.mdb lacks.
  for (const auto& item : page.lsvDatabases.items()) {
    if (item.text == dir.file("app/copy.mdb")) {
      EXPECT_EQ(item.subItem(1) + " " + item.subItem(2), "50 1 of 1");
    }
  }
}

// Each case starts with a candidate found earlier ("stale.mdb") in the store and on the list.
// The store is emptied only for a file that qualifies, the list always shows the store, and
// every candidate is scored against the back end it fits best. Stored Windows paths
// (C:\Users\me\App\...) are laid out again below the moved front end.
TEST_F(Validation, CheckRelativePathNeedsEveryBackEndWithItsTables) {
  struct Case {
    const char* name;
    std::vector<Link> links;  // relative to old/app, or to C:\Users\me\ when stored on Windows
    std::vector<std::pair<const char*, std::vector<std::string>>> files;  // relative to new/app
    bool expected;
    std::vector<std::string> store;  // path (from the case's folder), score, tables found
    bool windows = false;
  };
  // clang-format off
  const std::vector<Case> cases = {
      {"spread over two back ends", {{"Customers", "Data/a.mdb"}, {"Orders", "Lookup/b.mdb"}},
       {{"Data/a.mdb", {"Customers"}}, {"Lookup/b.mdb", {"Orders"}}}, true,
       {"new/app/Data/a.mdb 99 1 of 1", "new/app/Lookup/b.mdb 99 1 of 1"}},
      {"second back end missing", {{"Customers", "Data/a.mdb"}, {"Orders", "Lookup/b.mdb"}},
       {{"Data/a.mdb", {"Customers"}}}, false, {"new/app/Data/a.mdb 99 1 of 1"}},
      {"a table missing", {{"Customers", "Data/be.mdb"}, {"Orders", "Data/be.mdb"}},
       {{"Data/be.mdb", {"Customers"}}}, false, {"stale.mdb 10 0 of 1"}},
      {"stored on Windows", {{"Customers", "App/Data/be.mdb"}, {"Orders", "Shared/b.mdb"}},
       {{"Data/be.mdb", {"Customers"}}, {"../Shared/b.mdb", {"Orders"}}}, true,
       {"new/Shared/b.mdb 99 1 of 1", "new/app/Data/be.mdb 99 1 of 1"}, true},
  };
  // clang-format on
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string root = dir.file("case" + std::to_string(++n)) + "/";
    const auto place = [&](const std::string& relative) {
      return fsys::path(root + relative).lexically_normal().string();
    };
    const std::string windowsHome = "C:\\Users\\me\\";
    std::vector<Link> links;
    for (const Link& link : c.links) {
      std::string windows = windowsHome + link.backEnd;
      std::replace(windows.begin(), windows.end(), '/', '\\');
      links.push_back({link.table, c.windows ? windows : place("old/app/" + link.backEnd)});
    }
    for (const auto& [file, held] : c.files)
      testsupport::makeBackEnd(place(std::string("new/app/") + file), held);
    const std::string fe = frontEnd("case" + std::to_string(n) + "/new/app/fe.mdb");
    addLinkSet(fe, "Main", "", true, links);
    useFrontEnd(fe, "Main", c.windows ? windowsHome + "App\\fe.mdb" : root + "old/app/fe.mdb");
    uikit::unloadAllForms();
    frmFixSet& page = uikit::form<frmFixSet>();
    page.lsvDatabases.AddItem(root + "stale.mdb", {"10", "0 of 1"});
    orvanta::LoadListbox();

    EXPECT_EQ(orvanta::CheckRelativePath(), c.expected);
    std::vector<std::string> store;
    for (const auto& item : page.lsvDatabases.items())
      store.push_back(item.text.substr(root.size()) + " " + item.subItem(1) + " " +
                      item.subItem(2));
    std::sort(store.begin(), store.end());
    EXPECT_EQ(store, c.store);
    if (c.expected) {
      EXPECT_EQ(page.txtDatabasePath.Text, links[0].backEnd);
    }
  }
}

TEST_F(Validation, MatchingSetsAreOfferedForSwitching) {
  const std::string be = dir.file("app/data/be.mdb");
  const std::string fe = frontEnd("app/fe.mdb", {{"Customers", be}, {"Orders", be}});
  const std::string shouted = dir.file("APP/DATA/BE.MDB");
  addLinkSet(fe, "Main", "", true, {{"Customers", be}, {"Orders", be}});
  addLinkSet(fe, "Shouted", "", false, {{"Orders", shouted}, {"Customers", shouted}});
  addLinkSet(fe, "Fewer", "", false, {{"Customers", be}});
  addLinkSet(fe, "More", "", false, {{"Customers", be}, {"Orders", be}, {"Extra", be}});
  addLinkSet(fe, "TableCase", "", false, {{"customers", be}, {"Orders", be}});
  addLinkSet(fe, "Empty", "", false, {});
  addLinkSet(fe, "Again", "", false, {{"Customers", be}, {"Orders", be}});
  useFrontEnd(fe, "Main");

  orvanta::MatchLinkSets();
  EXPECT_EQ(state().matchingSetCount, 3);
  EXPECT_TRUE(state().activeSetMatches);
  const auto& offered = uikit::form<orvanta::frmSwitchSet>().lstValidSets;
  std::vector<std::string> names;
  for (int i = 0; i < offered.ListCount(); ++i)
    names.push_back(offered.List(i));
  EXPECT_EQ(names, (std::vector<std::string>{"Shouted", "Again"}));
}

// Real files: back ends in w/data, the front end w/app/fe.mdb. Links are written in short:
// "C>be O>gone" links Customers to be.mdb and Orders to gone.mdb (linked, then deleted).
class RowTest : public EngineTest {
 public:
  std::string be() const { return dir.file("w/data/be.mdb"); }
  std::string fe() const { return dir.file("w/app/fe.mdb"); }
  std::vector<Link> links(const std::string& text) const {
    std::vector<Link> out;
    std::istringstream words(text);
    for (std::string word; words >> word;)
      out.push_back(
          {word[0] == 'C' ? "Customers" : "Orders", dir.file("w/data/" + word.substr(2) + ".mdb")});
    return out;
  }
  void build(const std::string& frontEndLinks) {
    backEnd("w/data/be.mdb");
    backEnd("w/data/be2.mdb");
    frontEnd("w/app/fe.mdb", links(frontEndLinks));
    fsys::remove(dir.file("w/data/gone.mdb"));
  }
  void set(const std::string& setLinks, const std::string& saved) {
    addLinkSet(fe(), "Main", "", true, links(setLinks), saved);
  }
  // Queues, for each page, an action that records what it shows and closes it.
  void closePages(const std::vector<std::string>& forms) {
    for (const std::string& form : forms) {
      desk.onShow(form, [this](uikit::Form& shown) {
        if (auto* page = dynamic_cast<orvanta::WizardPage*>(&shown))
          info = page->txtInfo.Text;
        if (uikit::FormRegistry::current().isLoaded<orvanta::frmFixSet>())
          store = candidates();
        script::close(shown);
      });
    }
  }
  static int check(const std::string& frontEndPath) {
    return orvanta::clsOrvanta().CheckLinkedTables(frontEndPath);
  }

  // What the pages saw: the info text and the Fix Set page's candidates.
  std::string info;
  std::vector<std::string> store;
};

struct RowCase {
  const char* name;
  const char* frontEndLinks;
  const char* setLinks;  // the active set's links; nullptr for no link set at all
  std::vector<std::string> forms;
  std::string message;                // the title of the one message box, "" for none
  const char* linkedAfter = nullptr;  // the front end's links after the check, when asserted
  bool appendFails = false;           // every new link fails as if its back end went away
};

class DecisionRow : public RowTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(DecisionRow, ActsAndAnswersTheHost) {
  const RowCase& c = GetParam();
  const std::string name = c.name;
  build(c.frontEndLinks);
  if (c.setLinks)
    set(c.setLinks, name.starts_with("R1") ? dir.file("w/x/y/fe.mdb") : fe());
  if (name.starts_with("R8"))
    fsys::rename(be(), dir.file("w/data/be-renamed.mdb"));
  closePages(c.forms);
  if (!c.message.empty())
    desk.answer(uikit::Answer::OK, "", c.message);
  if (c.appendFails) {
    dao::SetFaultHook([](std::string_view operation, std::string_view) {
      if (operation == "append")
        throw dao::Error(dao::kErrFileNotFound, "the back end went away");
    });
  }

  EXPECT_EQ(check(fe()), 0);
  EXPECT_EQ(desk.shownForms(), c.forms);
  EXPECT_TRUE(uikit::FormRegistry::current().loadedForms().empty());
  if (c.linkedAfter) {
    std::vector<LinkedDef> expected;
    for (const Link& link : links(c.linkedAfter))
      expected.push_back(linked(link.table, link.backEnd));
    EXPECT_EQ(linkedDefs(fe()), expected);
  }
}

const char* kM1 = "Links Reestablished";

// clang-format off
const RowCase kRows[] = {
    {"R1_MovedLinksStillGood", "C>be O>be", "C>be O>be", {"frmFEMoved"}, ""},
    {"R2_AllInOrder", "C>be O>be", "C>be O>be", {}, "", "C>be O>be"},
    {"R3_NoSetNoLinks", "", nullptr, {"frmSetManager"}, "No Active Link Set Found"},
    {"R5a_ValidSetNoLinkedTables", "", "C>be O>be", {}, kM1, "C>be O>be"},
    // A silent relink that fails must not announce that the links were reestablished: the
    // wizard opens instead, and the front end keeps what it had.
    {"R5a_FailedRelinkOpensTheWizard", "", "C>be O>be", {"frmWizard1"}, "", "", true},
    {"R5b_OpenSetHasMore", "C>be", "C>be O>be", {}, kM1, "C>be O>be"},
    {"R5c_OpenFrontEndHasMore", "C>be O>be", "C>be", {"frmId12"}, "", "C>be O>be"},
    {"R5d_BothValidButDifferent", "C>be2 O>be2", "C>be O>be", {"frmIb1"}, "", "C>be2 O>be2"},
    {"R5e_BrokenSameCount", "C>gone O>gone", "C>be O>be", {}, kM1, "C>be O>be"},
    {"R5f_BrokenFrontEndHasMore", "C>gone O>gone", "C>be", {"frmId12"}, ""},
    {"R6a_NoSetLinksOpen", "C>be", nullptr, {"frmCreateNewSet"}, ""},
    {"R6b_SetBrokenFrontEndHasMore", "C>be O>be", "C>gone", {"frmIIb2c2"}, ""},
    {"R6c_SetBrokenSetHasMore", "C>be", "C>gone O>gone", {"frmWizard1"}, ""},
    {"R7_NoSetLinksBroken", "C>gone", nullptr, {"frmCreateNewSet"}, ""},
    {"R8_BackEndRenamed", "C>be O>be", "C>be O>be", {"frmWizard1"}, ""},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Rows, DecisionRow, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return std::string(info.param.name); });

// Row 4: the front end was w/old/fe.mdb with its back end in w/old/Data; it is now w/new/fe.mdb
// beside a copy of the back end in w/new/Data.
TEST_F(RowTest, Row4_SameRelativePathTellsWhetherTheOldLinksStillWork) {
  for (bool stillThere : {true, false}) {
    SCOPED_TRACE(stillThere ? "T1" : "T2");
    state() = orvanta::ComponentState{};
    fsys::remove_all(dir.file("w"));
    store.clear();
    const std::string oldBe = backEnd("w/old/Data/be.mdb"), copy = backEnd("w/new/Data/be.mdb");
    const std::vector<Link> oldLinks{{"Customers", oldBe}, {"Orders", oldBe}};
    const std::string moved = frontEnd("w/new/fe.mdb", oldLinks);
    addLinkSet(moved, "Main", "", true, oldLinks, dir.file("w/old/fe.mdb"));
    if (!stillThere)
      fsys::remove(oldBe);
    closePages({"frmWizard1"});
    EXPECT_EQ(check(moved), 0);
    EXPECT_NE(info.find(stillThere ? "still valid" : "no longer valid"), std::string::npos);
    // The copy at the same relative place, and with T1 the set's own back end too.
    EXPECT_EQ(store, (stillThere ? std::vector<std::string>{copy, oldBe} : std::vector{copy}));
  }
}

// A front end that cannot be written is said to be so, once, and nothing is tried on it: every
// step of the check writes to it, and their failures would add up to a wrong situation.
TEST_F(RowTest, AReadOnlyFrontEndIsSaidOnceAndLeftAlone) {
  constexpr auto kWrite =
      fsys::perms::owner_write | fsys::perms::group_write | fsys::perms::others_write;
  for (const char* readOnly : {"w/app/fe.mdb", "w/app"}) {
    SCOPED_TRACE(readOnly);
    fsys::remove_all(dir.file("w"));
    build("C>gone");
    set("C>be", fe());
    const std::string before = testsupport::fileBytes(fe());
    fsys::permissions(dir.file(readOnly), kWrite, fsys::perm_options::remove);
    desk.answer(uikit::Answer::OK, " is read-only", "Read-Only Front End");
    EXPECT_EQ(check(fe()), 0);
    fsys::permissions(dir.file(readOnly), kWrite, fsys::perm_options::add);
    EXPECT_TRUE(state().frontEndReadOnly);
    EXPECT_EQ(testsupport::fileBytes(fe()), before);
  }
}

// A healthy start changes nothing, so it neither writes nor asks to: copies of the application
// starting on one shared front end while another copy writes it must not queue for its write
// lock (nor fail after waiting). A set whose verdict is already stored (valid or not) and a
// path already recorded leave the file's bytes and its modification time as they were.
TEST_F(RowTest, AHealthyCheckLeavesTheFrontEndUntouched) {
  for (const char* other : {"C>be O>be", "C>gone"}) {
    SCOPED_TRACE(other);
    fsys::remove_all(dir.file("w"));
    build("C>be O>be");
    set("C>be O>be", fe());
    addLinkSet(fe(), "Other", "", false, links(other), fe());
    ASSERT_EQ(check(fe()), 0);  // the first check stores the verdicts
    const auto stamp = fsys::file_time_type(std::chrono::seconds(1'000'000'000));
    fsys::last_write_time(fe(), stamp);
    const std::string before = testsupport::fileBytes(fe());

    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(fe().c_str(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(check(fe()), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(writer);

    EXPECT_EQ(testsupport::fileBytes(fe()), before);
    EXPECT_EQ(fsys::last_write_time(fe()), stamp);
  }
}

// Neither a first run nor another spelling of the recorded path is a move: nothing is shown,
// and the first run records where the front end is.
TEST_F(RowTest, NoRecordOrAnotherSpellingIsNotAMove) {
  for (const std::string& recorded : {std::string(), dir.file("W/APP/FE.MDB")}) {
    SCOPED_TRACE(recorded);
    fsys::remove_all(dir.file("w"));
    build("C>be");
    set("C>be", recorded);
    EXPECT_EQ(check(fe()), 0);
    EXPECT_FALSE(state().frontEndMoved);
    EXPECT_EQ(linkSets(fe())[0].frontEndPath, recorded.empty() ? fe() : recorded);
  }
}

}  // namespace
}  // namespace enginetest
