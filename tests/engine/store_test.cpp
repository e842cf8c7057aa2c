// The public class, the link-set tables and the operations on link sets, and relinking: applying
// the active set, pruning, moving one link or a whole back end. Every failure must leave the
// front end with the links it had.
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <vector>

#include "engine/CandidateSearch.h"
#include "tests/engine/support.h"
#include "tests/support/SqliteFiles.h"
#include "ui/wizard/SetRewrite.h"

namespace enginetest {
namespace {

using orvanta::clsOrvanta;
using testsupport::fileBytes;
using testsupport::SetRecord;

TEST_F(StoreTest, SetConfigurationOutlivesItsInstanceAndLeavesItsArgumentsAlone) {
  bool switching = false, pathChange = true, addTables = false, setMgmt = true;
  EXPECT_TRUE(clsOrvanta().SetConfiguration(switching, pathChange, addTables, setMgmt));
  EXPECT_EQ(std::tuple(switching, pathChange, addTables, setMgmt),
            std::tuple(false, true, false, true));
  clsOrvanta window;  // a window's own instance must not re-apply the defaults
  const orvanta::ComponentState& s = state();
  EXPECT_EQ(std::tuple(s.bolAllowSetSwitching, s.bolAllowPathChange, s.bolAllowAddTables,
                       s.bolAllowSetMgmt),
            std::tuple(false, true, false, true));
}

TEST_F(StoreTest, EachThreadHasItsOwnComponentState) {
  state().activeSetName = "Main thread's set";
  state().bolAllowSetSwitching = false;
  std::string otherName = "unset";
  bool otherDefaults = false;
  std::thread([&] {
    otherName = clsOrvanta().ActiveLinkSet();
    otherDefaults = state().bolAllowSetSwitching && state().bolAllowAddTables;
    state().activeSetName = "Other thread's set";
  }).join();
  EXPECT_EQ(otherName, "");
  EXPECT_TRUE(otherDefaults);
  EXPECT_EQ(clsOrvanta().ActiveLinkSet(), "Main thread's set");
  EXPECT_FALSE(state().bolAllowSetSwitching);
}

TEST_F(StoreTest, DatabasePathIsTheFirstLinkOfTheActiveSet) {
  addLinkSet(fe, "Office", "", true, {{"T", "/data/a.mdb"}, {"U", "/data/b.mdb"}});
  const int bare = addLinkSet(fe, "Bare", "", false, {});  // a path without ";DATABASE="
  addLinkSet(fe, "Empty", "", false, {});
  dao::OpenDatabase(fe)->Execute(
      "INSERT INTO tblLinkedTables (LinkSetID, TableName, DatabasePath) VALUES (" +
      std::to_string(bare) + ", 'T', '/data/a.mdb')");
  for (const auto& [active, expected] :
       {std::pair{"", ""}, {"Office", "/data/a.mdb"}, {"Bare", ""}, {"Empty", ""}}) {
    state().activeSetName = active;
    EXPECT_EQ(clsOrvanta().DatabasePath(), expected) << active;
  }
}

TEST_F(StoreTest, FirstCreateLinkSetBuildsBothHiddenTablesAndTheCascade) {
  ASSERT_TRUE(orvanta::CreateLinkSet("Office", "Main"));
  auto db = dao::OpenDatabase(fe, 0, true);
  for (const char* table : {"tblLinkedSets", "tblLinkedTables"})
    EXPECT_EQ(db->TableDefs().Item(table).Attributes() & dao::dbHiddenObject, 1) << table;
  ASSERT_EQ(db->Relations().Count(), 1);
  EXPECT_EQ(db->Relations().Item(0).Attributes, 4352);  // cascading updates and deletes
  EXPECT_EQ(linkSets(fe), (std::vector<SetRecord>{{1, "Office", "Main", fe, false, false}}));
}

TEST_F(StoreTest, HalfBuiltTablesAreReportedAndTheRelationIsNotMade) {
  dao::OpenDatabase(fe)->Execute("CREATE TABLE tblLinkedTables (ID INTEGER PRIMARY KEY)");
  desk.answer(uikit::Answer::OK, "", "CreateMissingTables - 3012");
  EXPECT_FALSE(orvanta::CreateMissingTables(fe));
  auto db = dao::OpenDatabase(fe, 0, true);
  EXPECT_TRUE(db->TableDefs().Contains("tblLinkedSets"));
  EXPECT_EQ(db->Relations().Count(), 0);
}

TEST_F(StoreTest, DeletingASetDeletesItsLinkRowsAndNothingElse) {
  const std::string be = backEnd("data/be.mdb");
  addLinkSet(fe, "O'Brien's set", "", true, {{"Orders", be}, {"Customers", be}});
  addLinkSet(fe, "Other", "", false, {{"Orders", be}});
  ASSERT_TRUE(orvanta::DeleteLinkSet("O'Brien's set"));
  EXPECT_EQ(setNames(fe), std::vector<std::string>{"Other"});
  EXPECT_EQ(linkRows(fe), std::vector<LinkRow>{row("Other", "Orders", be)});
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
  EXPECT_EQ(activeSets(), "B");
  EXPECT_EQ(state().activeSetName + " " + state().activeSetDescription, "B B!");
  // Names compare exactly here: another spelling activates nothing and keeps the state.
  ASSERT_TRUE(orvanta::MakeActiveSet("c", clearAll));
  EXPECT_EQ(activeSets(), "");
  EXPECT_EQ(state().activeSetName, "B");
  ASSERT_TRUE(orvanta::MakeActiveSet("C", clearAll));
  clearAll = true;
  ASSERT_TRUE(orvanta::MakeActiveSet("C", clearAll));
  EXPECT_TRUE(clearAll);
  EXPECT_EQ(activeSets(), "");
  EXPECT_EQ(state().activeSetName, "C");
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
  EXPECT_EQ(linkRows(fe),
            (std::vector<LinkRow>{row("Office", "Customers", be), row("Office", "Items", be),
                                  row("Office", "orders", be)}));
}

TEST_F(StoreTest, RemoveLinkDropsTheLinkedTableOnlyForTheActiveSet) {
  // The back end's tblLocal is linked as RemoteLocal; the front end's own tblLocal is data.
  const std::string be = backEnd("data/be.mdb", {"Orders", "tblLocal"});
  testsupport::linkTable(fe, "Orders", be);
  testsupport::linkTable(fe, "RemoteLocal", be, "tblLocal");
  addLinkSet(fe, "Active", "", true, {{"Orders", be}, {"tblLocal", be}});
  addLinkSet(fe, "Other", "", false, {{"Orders", be}});
  state().activeSetName = "Active";
  ASSERT_TRUE(orvanta::RemoveLink("Other", "Orders"));
  EXPECT_EQ(linkedDefs(fe).size(), 2u);
  ASSERT_TRUE(orvanta::RemoveLink("Active", "tblLocal"));
  EXPECT_EQ(linkedDefs(fe), std::vector<LinkedDef>{linked("Orders", be)});
  EXPECT_EQ(linkRows(fe), std::vector<LinkRow>{row("Active", "Orders", be)});
  EXPECT_EQ(dao::OpenDatabase(fe)->OpenRecordset("SELECT * FROM tblLocal")->RecordCount(), 1);
}

TEST_F(StoreTest, RemoveLinkDropsTheDefinitionThatServesTheRemovedRow) {
  const std::string one = backEnd("data/one.mdb", {"Orders"});
  const std::string two = backEnd("data/two.mdb", {"Orders"});
  struct Case {
    const char* name;
    std::vector<std::pair<std::string, std::string>> defs;  // local name -> back end of Orders
    std::string rowBackEnd;
    std::string kept;
  };
  const std::vector<Case> cases = {
      {"its own name first", {{"Archive", one}, {"Orders", two}}, two, "Archive"},
      {"else the row's back end, in any case",
       {{"A1", one}, {"A2", two}},
       orvanta::detail::upperAscii(two),
       "A1"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    state().currentFrontEndPath = fe = frontEnd("case" + std::to_string(++n) + "/fe.mdb");
    for (const auto& [local, be] : c.defs)
      testsupport::linkTable(fe, local, be, "Orders");
    addLinkSet(fe, "Active", "", true, {{"Orders", c.rowBackEnd}});
    state().activeSetName = "Active";
    ASSERT_TRUE(orvanta::RemoveLink("Active", "Orders"));
    ASSERT_EQ(linkedDefs(fe).size(), 1u);
    EXPECT_EQ(linkedDefs(fe)[0].name, c.kept);
  }
}

TEST_F(StoreTest, GetLinkSetLinksListsByTableNameWithBarePaths) {
  const std::string be1 = backEnd("data/one.mdb"), be2 = backEnd("data/two.mdb", {"Items"});
  addLinkSet(fe, "Office", "", true, {{"Orders", be1}, {"Items", be2}, {"Customers", be1}});
  int count = 0;
  orvanta::LinkArray links;
  ASSERT_TRUE(orvanta::GetLinkSetLinks("Office", count, links));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(links, (orvanta::LinkArray{std::vector<std::string>{"Customers", "Items", "Orders"},
                                       {be1, be2, be1}}));
}

TEST_F(StoreTest, DuplicateLinkSetNumbersTheBackupAfterTheHighestOneAndCopiesTheLinks) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{}, "Office-Backup(1)"},
      {{"Office-Backup(1)", "Office-Backup(3)"}, "Office-Backup(4)"},
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
    EXPECT_EQ(backup.name + "|" + backup.description, expected + "|Backup of Main");
    EXPECT_FALSE(backup.active);
    EXPECT_EQ(linkRows(fe),
              (std::vector<LinkRow>{row("Office", "Customers", be), row("Office", "Orders", be),
                                    row(expected, "Customers", be), row(expected, "Orders", be)}));
  }
}

TEST_F(StoreTest, SetNamesWithQuotesWorkThroughEveryOperation) {
  const std::string be = linkedBackEnd("be.mdb", {"Orders"});
  const std::string name = "Mike's 'live' set";
  bool clearAll = false;
  ASSERT_TRUE(orvanta::CreateLinkSet(name, "it's the main one"));
  ASSERT_TRUE(orvanta::MakeActiveSet(name, clearAll));
  ASSERT_TRUE(orvanta::AddCurrentLinksToLinkSet(name));
  orvanta::DuplicateLinkSet(name, "it's the main one");
  EXPECT_EQ(setNames(fe), (std::vector<std::string>{name, name + "-Backup(1)"}));
  ASSERT_TRUE(orvanta::ClearLinkSet(name));
  ASSERT_TRUE(orvanta::DeleteLinkSet(name));
  EXPECT_EQ(linkRows(fe), std::vector<LinkRow>{row(name + "-Backup(1)", "Orders", be)});
}

TEST_F(StoreTest, ASetNumberedAbove32767KeepsWorking) {
  const std::string be = linkedBackEnd("be.mdb", {"Orders"});
  orvanta::CreateMissingTables(fe);
  dao::OpenDatabase(fe)->Execute("INSERT INTO tblLinkedSets (ID, Name) VALUES (40000, 'Big')");
  ASSERT_TRUE(orvanta::AddCurrentLinksToLinkSet("Big"));
  orvanta::DuplicateLinkSet("Big", "");
  EXPECT_EQ(linkRows(fe),
            (std::vector<LinkRow>{row("Big", "Orders", be), row("Big-Backup(1)", "Orders", be)}));
  ASSERT_TRUE(orvanta::ClearLinkSet("Big"));
  EXPECT_EQ(linkRows(fe), std::vector<LinkRow>{row("Big-Backup(1)", "Orders", be)});
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

TEST_F(RelinkTest, ApplyingASetLinksExactlyItsTablesAndLeavesLocalTablesAlone) {
  const std::string be2 = backEnd("data/two.mdb", {"Items", "Stock"});
  testsupport::linkTable(fe, "Orders2", oldBe, "Orders");  // not in the set: goes
  addLinkSet(fe, "Wide", "", false, {{"Items", be2}, {"Customers", oldBe}});
  state().activeSetName = "Wide";
  ASSERT_TRUE(orvanta::LinkTablesToActiveSet());
  EXPECT_EQ(linkedDefs(fe),
            (std::vector<LinkedDef>{linked("Customers", oldBe), linked("Items", be2)}));
  auto db = dao::OpenDatabase(fe, 0, true);
  EXPECT_EQ(db->OpenRecordset("SELECT Note FROM tblLocal")->Field("Note").AsString(),
            "kept locally");
  EXPECT_EQ(db->OpenRecordset("SELECT * FROM Items")->RecordCount(), 2);
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
                    prefix + std::to_string(i) + "', " + dao::QuoteText(linked("", oldBe).connect) +
                    ", 'Orders')");
      }
    }
    db->CommitTrans();
  }
  EXPECT_TRUE(orvanta::RemoveExtraLinks());
  EXPECT_EQ(linkedDefs(fe),
            (std::vector<LinkedDef>{linked("Customers", oldBe), linked("Orders", oldBe)}));
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

// Applying a set opens each of its back ends once, however many of its tables the set links.
TEST_F(RelinkTest, ApplyingASetOpensEachBackEndOnce) {
  const std::string be2 = backEnd("data/two.mdb", {"Items", "Stock"});
  addLinkSet(fe, "Both", "", true,
             {{"Items", be2}, {"Orders", oldBe}, {"Stock", be2}, {"Customers", oldBe}});
  state().activeSetName = "Both";
  std::map<std::string, int> opened;
  dao::SetFaultHook([&](std::string_view operation, std::string_view subject) {
    if (operation == "open")
      ++opened[std::string(subject)];
  });
  EXPECT_TRUE(orvanta::LinkTablesToActiveSet());
  dao::SetFaultHook(nullptr);
  EXPECT_EQ(opened, (std::map<std::string, int>{{fe, 1}, {oldBe, 1}, {be2, 1}}));
  EXPECT_EQ(linkedDefs(fe).size(), 4u);
}

TEST_F(RelinkTest, UpdateLinkMovesOneLinkOrChangesNothing) {
  const std::string before = fileBytes(fe);
  EXPECT_EQ(orvanta::UpdateLink("Office", "Orders", dir.file("data/missing.mdb")),
            dao::kErrFileNotFound);
  EXPECT_EQ(fileBytes(fe), before);
  EXPECT_EQ(orvanta::UpdateLink("Office", "Orders", backEnd("data/lacking.mdb", {"Customers"})),
            dao::kErrObjectNotFound);
  EXPECT_EQ(fileBytes(fe), before);
  const std::string readOnly = backEnd("data/readonly.mdb", {"Orders"});
  std::filesystem::permissions(
      readOnly, std::filesystem::perms::all & ~std::filesystem::perms::owner_write &
                    ~std::filesystem::perms::group_write & ~std::filesystem::perms::others_write);
  EXPECT_EQ(orvanta::UpdateLink("Office", "Orders", readOnly), dao::kErrCannotOpen);
  // A chosen file left with an unfinished change is refused, and only read: completing the
  // change would rewrite it and delete whatever file its journal names.
  const std::string hot = backEnd("data/hot.mdb", {"Orders"}), victim = dir.file("victim.txt");
  std::ofstream(victim) << "precious";
  testsupport::plantHotJournal(hot, "PRAGMA user_version = 7", victim);
  const std::vector<std::string> untouched{fe, hot, hot + "-journal", victim};
  std::vector<std::string> bytes;
  for (const std::string& file : untouched)
    bytes.push_back(fileBytes(file));
  EXPECT_NE(orvanta::UpdateLink("Office", "Orders", hot), 0);
  for (std::size_t i = 0; i < untouched.size(); ++i)
    EXPECT_TRUE(fileBytes(untouched[i]) == bytes[i]) << untouched[i] << " changed";

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
  EXPECT_EQ(linkedDefs(fe),
            (std::vector<LinkedDef>{linked("Customers", oldBe), linked("Orders", newBe)}));
  EXPECT_EQ(linkRows(fe), (std::vector<LinkRow>{row("Office", "Customers", oldBe),
                                                row("Office", "Orders", newBe)}));
}

TEST_F(RelinkTest, UpdateLinkNeverReplacesALocalTable) {
  addLinkSet(fe, "Odd", "", true, {{"tblLocal", oldBe}});
  state().activeSetName = "Odd";
  EXPECT_EQ(orvanta::UpdateLink("Odd", "tblLocal", backEnd("data/new.mdb", {"tblLocal"})), 0);
  auto db = dao::OpenDatabase(fe, 0, true);
  EXPECT_EQ(db->TableDefs().Item("tblLocal").Connect(), "");
  EXPECT_EQ(db->OpenRecordset("SELECT Note FROM tblLocal")->Field("Note").AsString(),
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
    EXPECT_EQ(linkedDefs(fe), std::vector<LinkedDef>{linked("Orders", newBe + ";PWD=pw")});
    EXPECT_EQ(linkRows(fe), std::vector<LinkRow>{row("Office", "Orders", newBe + ";PWD=pw")});
  }
}

TEST_F(RelinkTest, RelinkDatabaseWithEveryTablePresentRepointsRowsAndDefinitions) {
  const std::string newBe = backEnd("data/new.mdb", {"Orders", "Customers"});
  const std::string other = backEnd("data/other.mdb", {"Items"});
  testsupport::linkTable(fe, "Items", other);  // another back end: neither asked about nor moved
  // The old path as the Relink Manager may spell it: letters differ from the stored one.
  const std::string oldSpelling = dir.file("data/OLD.MDB");
  EXPECT_EQ(orvanta::RelinkDatabase(oldSpelling, newBe), 0);
  EXPECT_EQ(linkedDefs(fe),
            (std::vector<LinkedDef>{linked("Customers", newBe), linked("Items", other),
                                    linked("Orders", newBe)}));
  EXPECT_EQ(linkRows(fe), (std::vector<LinkRow>{row("Office", "Customers", newBe),
                                                row("Office", "Orders", newBe)}));
  EXPECT_EQ(setNames(fe), std::vector<std::string>{"Office"});
}

TEST_F(RelinkTest, RelinkDatabaseMissingATableAndCancelledChangesNothing) {
  const std::string newBe = backEnd("data/new.mdb", {"Orders"});
  const std::string before = fileBytes(fe);
  desk.answer(uikit::Answer::Cancel, "", "Missing Tables");
  EXPECT_EQ(orvanta::RelinkDatabase(oldBe, newBe), 1);
  EXPECT_EQ(fileBytes(fe), before);
  EXPECT_NE(desk.messages().at(0).text.find(newBe + "\r\n\r\nCustomers\r\n"), std::string::npos);
}

TEST_F(RelinkTest, RelinkDatabaseMissingATableAndAcceptedKeepsABackup) {
  const std::string newBe = backEnd("data/new.mdb", {"Orders"});
  desk.answer(uikit::Answer::OK, "Customers", "Missing Tables");
  EXPECT_EQ(orvanta::RelinkDatabase(oldBe, newBe), 0);
  EXPECT_EQ(linkedDefs(fe), std::vector<LinkedDef>{linked("Orders", newBe)});
  EXPECT_EQ(linkRows(fe), (std::vector<LinkRow>{row("Office", "Orders", newBe),
                                                row("Office-Backup(1)", "Customers", oldBe),
                                                row("Office-Backup(1)", "Orders", oldBe)}));
  EXPECT_EQ(linkSets(fe).back().description, "Backup of Main");
}

TEST_F(RelinkTest, RelinkDatabaseRemovesEveryListedTableEvenOutsideTheSet) {
  dao::OpenDatabase(oldBe)->Execute("CREATE TABLE Notes (ID INTEGER PRIMARY KEY, Name TEXT)");
  testsupport::linkTable(fe, "Notes", oldBe);
  const std::string newBe = backEnd("data/new.mdb", {"Orders", "Customers"});
  desk.answer(uikit::Answer::OK, "Notes", "Missing Tables");
  EXPECT_EQ(orvanta::RelinkDatabase(oldBe, newBe), 0);
  EXPECT_EQ(linkedDefs(fe),
            (std::vector<LinkedDef>{linked("Customers", newBe), linked("Orders", newBe)}));
  EXPECT_EQ(linkRows(fe),
            (std::vector<LinkRow>{row("Office", "Customers", newBe), row("Office", "Orders", newBe),
                                  row("Office-Backup(1)", "Customers", oldBe),
                                  row("Office-Backup(1)", "Orders", oldBe)}));
}

}  // namespace
}  // namespace enginetest
