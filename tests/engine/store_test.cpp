// The public class, the link-set tables and the operations on link sets, and relinking: applying
// the active set, pruning, moving one link or a whole back end. Every failure must leave the
// front end with the links it had.
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <vector>

#include "engine/CandidateSearch.h"
#include "tests/engine/support.h"
#include "ui/wizard/SetRewrite.h"

namespace enginetest {
namespace {

using orvanta::clsOrvanta;
using testsupport::SetRecord;

// The configuration outlives its instance (a window's own instance must not re-apply the
// defaults) and belongs to its thread: another thread starts from the defaults.
TEST_F(StoreTest, ConfigurationOutlivesItsInstanceAndBelongsToItsThread) {
  bool switching = false, pathChange = true, addTables = false, setMgmt = true;
  EXPECT_TRUE(clsOrvanta().SetConfiguration(switching, pathChange, addTables, setMgmt));
  state().activeSetName = "Main thread's set";
  std::string other = "unset";
  std::thread([&] {
    other = clsOrvanta().ActiveLinkSet();
    other += state().bolAllowSetSwitching ? "defaults" : "";
    state().activeSetName = "Other thread's set";
  }).join();
  EXPECT_EQ(other, "defaults");
  clsOrvanta window;
  const orvanta::ComponentState& s = state();
  EXPECT_EQ(std::tuple(s.activeSetName, s.bolAllowSetSwitching, s.bolAllowPathChange,
                       s.bolAllowAddTables, s.bolAllowSetMgmt),
            std::tuple(std::string("Main thread's set"), false, true, false, true));
}

// The active set's first link is its database path; its links list by table name with bare paths.
TEST_F(StoreTest, DatabasePathIsTheFirstLinkOfTheActiveSet) {
  addLinkSet(fe, "Office", "", true,
             {{"T", "/data/a.mdb"}, {"U", "/data/b.mdb"}, {"S", "/data/b.mdb"}});
  const int bare = addLinkSet(fe, "Bare", "", false, {});  // a path without ";DATABASE="
  dao::OpenDatabase(fe)->Execute(
      "INSERT INTO tblLinkedTables (LinkSetID, TableName, DatabasePath) VALUES (" +
      std::to_string(bare) + ", 'T', '/data/a.mdb')");
  for (const auto& [active, expected] :
       {std::pair{"", ""}, {"Office", "/data/a.mdb"}, {"Bare", ""}}) {
    state().activeSetName = active;
    EXPECT_EQ(clsOrvanta().DatabasePath(), expected) << active;
  }
  int count = 0;
  orvanta::LinkArray links;
  ASSERT_TRUE(orvanta::GetLinkSetLinks("Office", count, links));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(links, (orvanta::LinkArray{std::vector<std::string>{"S", "T", "U"},
                                       {"/data/b.mdb", "/data/a.mdb", "/data/b.mdb"}}));
}

// The first set builds both hidden tables and the cascade that deleting a set relies on; tables
// half built by something else are reported, and no relation is made over them.
TEST_F(StoreTest, CreateLinkSetBuildsTheHiddenTablesOrSaysWhatIsInTheWay) {
  ASSERT_TRUE(orvanta::CreateLinkSet("Office", "Main"));
  auto db = dao::OpenDatabase(fe, 0, true);
  for (const char* table : {"tblLinkedSets", "tblLinkedTables"})
    EXPECT_EQ(db->TableDefs().Item(table).Attributes() & dao::dbHiddenObject, 1) << table;
  EXPECT_EQ(db->Relations().Item(0).Attributes, 4352);  // cascading updates and deletes
  EXPECT_EQ(linkSets(fe), (std::vector<SetRecord>{{1, "Office", "Main", fe, false, false}}));

  fe = frontEnd("half/fe.mdb");
  dao::OpenDatabase(fe)->Execute("CREATE TABLE tblLinkedTables (ID INTEGER PRIMARY KEY)");
  desk.answer(uikit::Answer::OK, "", "CreateMissingTables - 3012");
  EXPECT_FALSE(orvanta::CreateMissingTables(fe));
  EXPECT_EQ(dao::OpenDatabase(fe, 0, true)->Relations().Count(), 0);
}

TEST_F(StoreTest, MakeActiveSetLeavesExactlyTheNamedSetActive) {
  for (const char* name : {"A", "B", "C"})
    addLinkSet(fe, name, name + std::string("!"), true, {});
  auto activeSets = [&] {
    std::string out;
    for (const auto& set : linkSets(fe))
      out += set.active ? set.name : "";
    return out;
  };
  bool clearAll = false;
  ASSERT_TRUE(orvanta::MakeActiveSet("B", clearAll));
  EXPECT_EQ(activeSets() + " " + state().activeSetName + " " + state().activeSetDescription,
            "B B B!");
  // Names compare exactly here: another spelling activates nothing and keeps the state.
  ASSERT_TRUE(orvanta::MakeActiveSet("c", clearAll));
  EXPECT_EQ(activeSets() + " " + state().activeSetName, " B");
  ASSERT_TRUE(orvanta::MakeActiveSet("C", clearAll));
  clearAll = true;  // then every set inactive, the state keeping its name
  ASSERT_TRUE(orvanta::MakeActiveSet("C", clearAll));
  EXPECT_EQ(activeSets() + " " + state().activeSetName, " C");
}

TEST_F(StoreTest, AddCurrentLinksRecordsBackEndNamesOnceEach) {
  const std::string be = backEnd("data/be.mdb", {"Orders", "Customers", "Items"});
  testsupport::linkTable(fe, "Orders", be);
  testsupport::linkTable(fe, "Clients", be, "Customers");
  testsupport::linkTable(fe, "Stock", be, "Items");
  // A row spelt "orders" already records Orders: the catalog ignores case, and a second row
  // would make the set impossible to apply.
  addLinkSet(fe, "Office", "", false, {{"orders", be}, {"Items", be}});
  ASSERT_TRUE(orvanta::AddCurrentLinksToLinkSet("Office"));
  ASSERT_TRUE(orvanta::AddCurrentLinksToLinkSet("Office"));
  EXPECT_EQ(world(),
            "Office.Customers=be.mdb Office.Items=be.mdb Office.orders=be.mdb | "
            "Clients=be.mdb(Customers) Orders=be.mdb Stock=be.mdb(Items)");
}

// Removing a link drops a linked table only for the active set: the definition that serves the
// removed row, found by its own name first, else by the row's back end in any letter case.
TEST_F(StoreTest, RemoveLinkDropsTheDefinitionThatServesTheRemovedRow) {
  const std::string one = backEnd("data/one.mdb", {"Orders", "tblLocal"});
  const std::string two = backEnd("data/two.mdb", {"Orders"});
  const struct {
    std::vector<std::tuple<std::string, std::string, std::string>> defs;  // name, back end, source
    Link removed;                                                         // the set's one row
    std::string after;
  } cases[] = {
      // The front end's own tblLocal is data; the back end's, linked as RemoteLocal, goes.
      {{{"Orders", one, "Orders"}, {"RemoteLocal", one, "tblLocal"}},
       {"tblLocal", one},
       "| Orders=one.mdb"},
      {{{"Archive", one, "Orders"}, {"Orders", two, "Orders"}},
       {"Orders", two},
       "| Archive=one.mdb(Orders)"},
      {{{"A1", one, "Orders"}, {"A2", two, "Orders"}},
       {"Orders", orvanta::paths::upperCase(two)},
       "| A1=one.mdb(Orders)"},
  };
  int n = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.after);
    state().currentFrontEndPath = fe = frontEnd("case" + std::to_string(++n) + "/fe.mdb");
    for (const auto& [name, be, source] : c.defs)
      testsupport::linkTable(fe, name, be, source);
    addLinkSet(fe, "Active", "", true, {c.removed});
    addLinkSet(fe, "Other", "", false, {c.removed});
    state().activeSetName = "Active";
    ASSERT_TRUE(orvanta::RemoveLink("Other", c.removed.table));
    ASSERT_EQ(linkedDefs(fe).size(), 2u);
    ASSERT_TRUE(orvanta::RemoveLink("Active", c.removed.table));
    EXPECT_EQ(world(), c.after);
    EXPECT_EQ(dao::OpenDatabase(fe)->OpenRecordset("SELECT * FROM tblLocal")->RecordCount(), 1);
  }
}

TEST_F(StoreTest, DuplicateLinkSetNumbersTheBackupAfterTheHighestOneAndCopiesTheLinks) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"Office-Backup(1)", "Office-Backup(12)", "Office-Backup(3)"}, "Office-Backup(13)"},
      // Not numbered backups: passed over instead of stopping the backup.
      {{"Office-Backup(1)", "Office-Backup(old)", "Office-Backup()"}, "Office-Backup(2)"},
      // Another spelling is another set; the copies must still reach the new backup.
      {{"office-backup(1)"}, "Office-Backup(1)"}};
  const std::string be = backEnd("data/be.mdb");
  int n = 0;
  for (const auto& [existing, expected] : cases) {
    SCOPED_TRACE(expected);
    state().currentFrontEndPath = fe = frontEnd("case" + std::to_string(++n) + "/fe.mdb");
    addLinkSet(fe, "Office", "Main", true, {{"Orders", be}, {"Customers", be}});
    for (const std::string& name : existing)
      addLinkSet(fe, name, "", false, {});
    orvanta::DuplicateLinkSet("Office", "Main");
    const SetRecord backup = linkSets(fe).back();
    EXPECT_EQ(backup.name + "|" + backup.description + "|" + (backup.active ? "active" : ""),
              expected + "|Backup of Main|");
    EXPECT_EQ(world(), "Office.Customers=be.mdb Office.Orders=be.mdb " + expected +
                           ".Customers=be.mdb " + expected + ".Orders=be.mdb |");
  }
}

// A set named with quotes, and one numbered above 32767, go through every operation; deleting a
// set takes its link rows with it and nothing else.
TEST_F(StoreTest, QuotedNamesAndLargeSetNumbersWorkThroughEveryOperation) {
  linkedBackEnd("be.mdb", {"Orders"});
  const std::string name = "Mike's 'live' set";
  bool clearAll = false;
  ASSERT_TRUE(orvanta::CreateLinkSet(name, "it's the main one"));
  ASSERT_TRUE(orvanta::MakeActiveSet(name, clearAll));
  ASSERT_TRUE(orvanta::AddCurrentLinksToLinkSet(name));
  orvanta::DuplicateLinkSet(name, "it's the main one");
  ASSERT_TRUE(orvanta::DeleteLinkSet(name));
  dao::OpenDatabase(fe)->Execute("INSERT INTO tblLinkedSets (ID, Name) VALUES (40000, 'Big')");
  ASSERT_TRUE(orvanta::AddCurrentLinksToLinkSet("Big"));
  orvanta::DuplicateLinkSet("Big", "");
  ASSERT_TRUE(orvanta::ClearLinkSet("Big"));
  EXPECT_EQ(world(),
            "Big-Backup(1).Orders=be.mdb " + name + "-Backup(1).Orders=be.mdb | Orders=be.mdb");
}

// --- Relinking -----------------------------------------------------------------------------------

// A front end linked to old.mdb (Orders, Customers) whose active set Office says the same.
class RelinkTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    oldBe = linkedBackEnd("old.mdb", {"Orders", "Customers"});
    addLinkSet(fe, "Office", "Main", true, {{"Orders", oldBe}, {"Customers", oldBe}});
    state().activeSetName = "Office";
    state().activeSetDescription = "Main";
  }
  std::string oldBe;
};

// Applying a set links exactly its tables, opening each of its back ends once however many of
// its tables it links, and leaves local tables alone.
TEST_F(RelinkTest, ApplyingASetLinksExactlyItsTablesOpeningEachBackEndOnce) {
  const std::string be2 = backEnd("data/two.mdb", {"Items", "Stock"});
  testsupport::linkTable(fe, "Orders2", oldBe, "Orders");  // not in the set: goes
  addLinkSet(fe, "Wide", "", false, {{"Items", be2}, {"Customers", oldBe}, {"Stock", be2}});
  state().activeSetName = "Wide";
  std::map<std::string, int> opened;
  dao::SetFaultHook([&](std::string_view operation, std::string_view subject) {
    if (operation == "open")
      ++opened[std::string(subject)];
  });
  ASSERT_TRUE(orvanta::LinkTablesToActiveSet());
  dao::SetFaultHook(nullptr);
  EXPECT_EQ(opened, (std::map<std::string, int>{{fe, 1}, {oldBe, 1}, {be2, 1}}));
  EXPECT_TRUE(world().ends_with("| Customers=old.mdb Items=two.mdb Stock=two.mdb")) << world();
  EXPECT_EQ(dao::OpenDatabase(fe)->OpenRecordset("SELECT * FROM tblLocal")->RecordCount(), 1);
}

TEST_F(RelinkTest, AnEmptyActiveSetRemovesEveryLinkedTable) {
  addLinkSet(fe, "Empty", "", true, {});
  state().activeSetName = "Empty";
  const std::vector<std::pair<const char*, std::function<bool()>>> procedures = {
      {"RemoveExtraLinks", orvanta::RemoveExtraLinks},
      {"LinkTablesToActiveSet", orvanta::LinkTablesToActiveSet}};
  for (const auto& [name, procedure] : procedures) {
    if (linkedDefs(fe).empty())
      linkedBackEnd("again.mdb", {"Orders", "Customers"});
    EXPECT_TRUE(procedure()) << name;
    EXPECT_TRUE(linkedDefs(fe).empty()) << name;
  }
}

TEST_F(RelinkTest, PruningHundredsOfStaleLinksKeepsExactlyTheSetsTables) {
  {
    // Written straight into the catalog, as another tool would, sorting around the set's own
    // tables and the local one.
    auto db = dao::OpenDatabase(fe);
    db->BeginTrans();
    for (int i = 0; i < 300; ++i) {
      for (const std::string prefix : {"A", "N", "Z"}) {
        db->Execute("INSERT INTO MSysTableDefs (Name, Connect, SourceTableName) VALUES ('" +
                    prefix + std::to_string(i) + "', " +
                    dao::QuoteText(orvanta::connectString(oldBe)) + ", 'Orders')");
      }
    }
    db->CommitTrans();
  }
  EXPECT_TRUE(orvanta::RemoveExtraLinks());
  EXPECT_TRUE(world().ends_with("| Customers=old.mdb Orders=old.mdb")) << world();
  EXPECT_TRUE(dao::OpenDatabase(fe, 0, true)->TableDefs().Contains("tblLocal"));
}

// However the back end goes between two appends (a failing step, the file removed, another
// file without the table put in its place), the links stay as they were: a back end checked
// once in the call is still seen to change.
TEST_F(RelinkTest, ABackEndVanishingBetweenTwoAppendsLeavesTheLinksAsTheyWere) {
  const std::string be2 = dir.file("data/two.mdb");
  const std::string other = backEnd("data/other.mdb", {"Items"});
  const std::vector<std::pair<const char*, std::function<void()>>> ways = {
      {"fails", [] { throw dao::Error(dao::kErrFileNotFound, "vanished"); }},
      {"removed", [&] { std::filesystem::remove(be2); }},
      {"replaced",
       [&] {
         std::filesystem::copy_file(other, be2, std::filesystem::copy_options::overwrite_existing);
       }},
  };
  addLinkSet(fe, "Next", "", true, {{"Items", be2}, {"Stock", be2}});
  state().activeSetName = "Next";
  const std::vector<LinkedDef> before = linkedDefs(fe);
  for (const auto& [name, go] : ways) {
    SCOPED_TRACE(name);
    std::filesystem::remove(be2);
    backEnd("data/two.mdb", {"Items", "Stock"});
    dao::SetFaultHook([&, seen = 0](std::string_view operation, std::string_view) mutable {
      if (operation == "append" && ++seen == 2)
        go();
    });
    EXPECT_FALSE(orvanta::LinkTablesToActiveSet());
    dao::SetFaultHook(nullptr);
    EXPECT_EQ(linkedDefs(fe), before);
    EXPECT_EQ(dao::OpenDatabase(fe)->OpenRecordset("SELECT * FROM Orders")->RecordCount(), 2);
  }
}

// The reasons a chosen file cannot be used reach the user through the Set Manager, whose tests
// prove each of them (a file left with an unfinished change is the database layer's); here, what
// only this layer can show.
TEST_F(RelinkTest, UpdateLinkMovesOneLink) {
  // Events may start other work on the front end: none may find it locked by a half-done change.
  bool frontEndFree = false;
  desk.onDoEvents([&] {
    auto other = dao::OpenDatabase(fe);
    other->BeginTrans();
    other->Rollback();
    frontEndFree = true;
  });
  const std::string newBe = backEnd("data/new.mdb", {"Orders"});
  EXPECT_EQ(orvanta::UpdateLink("Office", "Orders", newBe), 0);
  EXPECT_TRUE(frontEndFree);
  EXPECT_EQ(world(),
            "Office.Customers=old.mdb Office.Orders=new.mdb | Customers=old.mdb "
            "Orders=new.mdb");

  // A set row naming the front end's own local table never replaces that table.
  addLinkSet(fe, "Odd", "", true, {{"tblLocal", oldBe}});
  state().activeSetName = "Odd";
  EXPECT_EQ(orvanta::UpdateLink("Odd", "tblLocal", backEnd("data/local.mdb", {"tblLocal"})), 0);
  EXPECT_EQ(dao::OpenDatabase(fe, 0, true)->OpenRecordset("tblLocal")->Field("Note").AsString(),
            "kept locally");
}

// A password another tool wrote into a link belongs to the link: moving it keeps it.
TEST_F(StoreTest, RelinkingKeepsTheOtherPartsOfAConnectString) {
  using Move = std::function<long(const std::string&, const std::string&)>;
  const std::vector<std::pair<const char*, Move>> moves = {
      {"UpdateLink",
       [](const std::string&, const std::string& to) {
         return orvanta::UpdateLink("Office", "Orders", to);
       }},
      {"RelinkDatabase", orvanta::RelinkDatabase},
      {"the Fix Set page's rewrite", [](const std::string&, const std::string& to) {
         orvanta::rewriteActiveSetLinks({{"Orders", to}});
         return 0L;
       }}};
  const std::string newBe = backEnd("data/new.mdb", {"Orders"});
  int n = 0;
  for (const auto& [name, move] : moves) {
    SCOPED_TRACE(name);
    const std::string folder = "case" + std::to_string(++n) + "/";
    state().currentFrontEndPath = fe = frontEnd(folder + "fe.mdb");
    const std::string oldBe = backEnd(folder + "old.mdb", {"Orders"});
    testsupport::linkTable(fe, "Orders", oldBe + ";PWD=pw");
    addLinkSet(fe, "Office", "", true, {{"Orders", oldBe + ";PWD=pw"}});
    state().activeSetName = "Office";
    EXPECT_EQ(move(oldBe, newBe), 0);
    EXPECT_EQ(world(), "Office.Orders=new.mdb;PWD=pw | Orders=new.mdb;PWD=pw");
  }
}

TEST_F(RelinkTest, RelinkDatabaseWithEveryTablePresentRepointsRowsAndDefinitions) {
  const std::string newBe = backEnd("data/new.mdb", {"Orders", "Customers"});
  const std::string other = backEnd("data/other.mdb", {"Items"});
  testsupport::linkTable(fe, "Items", other);  // another back end: neither asked about nor moved
  // The old path as the Relink Manager may spell it: letters differ from the stored one.
  const std::string oldSpelling = dir.file("data/OLD.MDB");
  EXPECT_EQ(orvanta::RelinkDatabase(oldSpelling, newBe), 0);
  EXPECT_EQ(world(),
            "Office.Customers=new.mdb Office.Orders=new.mdb | Customers=new.mdb "
            "Items=other.mdb Orders=new.mdb");
}

// Accepting the missing tables keeps a backup of the set as it was, and removes every listed
// linked table, even one outside the set.
TEST_F(RelinkTest, RelinkDatabaseMissingTablesAcceptedKeepsABackup) {
  dao::OpenDatabase(oldBe)->Execute("CREATE TABLE Notes (ID INTEGER PRIMARY KEY, Name TEXT)");
  testsupport::linkTable(fe, "Notes", oldBe);
  const std::string newBe = backEnd("data/new.mdb", {"Orders"});
  desk.answer(uikit::Answer::OK, "Notes", "Missing Tables");
  EXPECT_EQ(orvanta::RelinkDatabase(oldBe, newBe), 0);
  EXPECT_EQ(world(),
            "Office.Orders=new.mdb Office-Backup(1).Customers=old.mdb "
            "Office-Backup(1).Orders=old.mdb | Orders=new.mdb");
  EXPECT_EQ(linkSets(fe).back().description, "Backup of Main");
}

}  // namespace
}  // namespace enginetest
