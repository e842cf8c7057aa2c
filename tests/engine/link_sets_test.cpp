// The link-set tables and the operations on link sets, on real front-end files.
#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "tests/engine/store_support.h"
#include "ui/wizard/frmFixSet.h"

namespace storetest {
namespace {

using orvanta::state;
using testsupport::addLinkSet;
using testsupport::linkRows;
using testsupport::linkSets;
using testsupport::linkTable;
using testsupport::SetRecord;

// "Name:type:attributes" for each field, in order.
std::string shapeOf(dao::Database& db, const std::string& table) {
  std::string out;
  for (const dao::Field& f : db.TableDefs().Item(table).Fields()) {
    out += f.Name + ":" + std::to_string(f.Type) + ":" + std::to_string(f.Attributes) + " ";
  }
  return out;
}

TEST_F(StoreTest, FirstCreateLinkSetBuildsBothHiddenTablesTheirIndexesAndTheCascade) {
  ASSERT_TRUE(orvanta::CreateLinkSet("Office", "Main"));

  auto db = dao::OpenDatabase(fe, 0, true);
  EXPECT_EQ(db->TableDefs().Item("tblLinkedSets").Attributes() & dao::dbHiddenObject, 1);
  EXPECT_EQ(db->TableDefs().Item("tblLinkedTables").Attributes() & dao::dbHiddenObject, 1);
  EXPECT_EQ(shapeOf(*db, "tblLinkedSets"),
            "ID:4:16 Name:10:0 Description:10:0 FrontEndPath:10:0 ActiveSet:1:0 ValidSet:1:0 ");
  EXPECT_EQ(shapeOf(*db, "tblLinkedTables"),
            "ID:4:16 LinkSetID:4:0 TableName:10:0 DatabasePath:10:0 ");
  EXPECT_TRUE(db->TableDefs().Item("tblLinkedTables").Fields()[1].Required);
  auto index = db->OpenRecordset(
      "SELECT name, [unique] FROM pragma_index_list('tblLinkedTables') WHERE origin='c'");
  ASSERT_EQ(index->RecordCount(), 1);
  EXPECT_NE(index->Field("name").AsString().find("LinkSetID"), std::string::npos);
  EXPECT_EQ(index->Field("unique").AsInt32(), 0);
  ASSERT_EQ(db->Relations().Count(), 1);
  const dao::Relation relation = db->Relations().Item(0);
  EXPECT_EQ(relation.Name + " " + relation.Table + " " + relation.ForeignTable,
            "LinkSetToLinkTables tblLinkedSets tblLinkedTables");
  EXPECT_EQ(relation.Attributes, 4352);
  ASSERT_EQ(relation.Fields.size(), 1u);
  EXPECT_EQ(relation.Fields[0].Name + "=" + relation.Fields[0].ForeignName, "ID=LinkSetID");

  EXPECT_EQ(linkSets(fe), (std::vector<SetRecord>{{1, "Office", "Main", fe, false, false}}));
}

TEST_F(StoreTest, GetActiveSetBuildsMissingTablesOrLoadsTheFirstActiveSet) {
  state().activeSetName = "Stale";
  state().linkSetDatabasePath = "/elsewhere/old.mdb";
  orvanta::GetActiveSet(fe);
  EXPECT_FALSE(state().activeSetFound);
  EXPECT_EQ(state().activeSetName + state().linkSetDatabasePath, "");
  EXPECT_TRUE(linkSets(fe).empty());

  addLinkSet(fe, "Old", "", false, {}, "/old/fe.mdb");
  addLinkSet(fe, "Office", "Main", true, {}, "/srv/app/fe.mdb");
  addLinkSet(fe, "Later", "", true, {}, "/later/fe.mdb");
  orvanta::GetActiveSet(fe);
  EXPECT_TRUE(state().activeSetFound);
  EXPECT_EQ(state().activeSetName, "Office");
  EXPECT_EQ(state().activeSetDescription, "Main");
  EXPECT_EQ(state().linkSetDatabasePath, "/srv/app/fe.mdb");
}

TEST_F(StoreTest, HalfBuiltTablesAreReportedAndTheRelationIsNotMade) {
  dao::OpenDatabase(fe)->Execute("CREATE TABLE tblLinkedTables (ID INTEGER PRIMARY KEY)");
  desk.answer(uikit::Answer::OK, "", "CreateMissingTables - 3012");

  EXPECT_FALSE(orvanta::CreateMissingTables(fe));

  auto db = dao::OpenDatabase(fe, 0, true);
  EXPECT_TRUE(db->TableDefs().Contains("tblLinkedSets"));
  EXPECT_EQ(db->Relations().Count(), 0);
  EXPECT_EQ(desk.messages().at(0).icon, uikit::Icon::Information);
}

TEST_F(StoreTest, DeletingASetDeletesItsLinkRowsAndNothingElse) {
  const std::string be = backEnd("be.mdb", {"Orders", "Customers"});
  addLinkSet(fe, "O'Brien's set", "", true, {{"Orders", be}, {"Customers", be}});
  addLinkSet(fe, "Other", "", false, {{"Orders", be}});

  ASSERT_TRUE(orvanta::DeleteLinkSet("O'Brien's set"));

  EXPECT_EQ(setNames(), std::vector<std::string>{"Other"});
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
  const std::string be = backEnd("be.mdb", {"Orders", "Customers", "Items"});
  linkTable(fe, "Orders", be);
  linkTable(fe, "Clients", be, "Customers");
  linkTable(fe, "Stock", be, "Items");
  addLinkSet(fe, "Office", "", false, {{"Orders", be}, {"Items", be}});

  ASSERT_TRUE(orvanta::AddCurrentLinksToLinkSet("Office"));
  ASSERT_TRUE(orvanta::AddCurrentLinksToLinkSet("Office"));

  EXPECT_EQ(linkRows(fe),
            (std::vector<LinkRow>{row("Office", "Customers", be), row("Office", "Items", be),
                                  row("Office", "Orders", be)}));
  desk.answer(uikit::Answer::OK, "", "AddCurrentLinksToLinkSet - 3021");
  EXPECT_FALSE(orvanta::AddCurrentLinksToLinkSet("Nobody"));
}

TEST_F(StoreTest, RemoveLinkDropsTheLinkedTableOnlyForTheActiveSet) {
  // The back end's tblLocal is linked as RemoteLocal; the front end's own tblLocal is data.
  const std::string be = backEnd("be.mdb", {"Orders", "tblLocal"});
  linkTable(fe, "Orders", be);
  linkTable(fe, "RemoteLocal", be, "tblLocal");
  addLinkSet(fe, "Active", "", true, {{"Orders", be}, {"tblLocal", be}});
  addLinkSet(fe, "Other", "", false, {{"Orders", be}});
  state().activeSetName = "Active";

  ASSERT_TRUE(orvanta::RemoveLink("Other", "Orders"));
  EXPECT_EQ(testsupport::linkedDefs(fe).size(), 2u);
  ASSERT_TRUE(orvanta::RemoveLink("Active", "tblLocal"));

  EXPECT_EQ(testsupport::linkedDefs(fe), std::vector<LinkedDef>{linked("Orders", be)});
  EXPECT_EQ(linkRows(fe), std::vector<LinkRow>{row("Active", "Orders", be)});
  EXPECT_EQ(dao::OpenDatabase(fe)->OpenRecordset("SELECT * FROM tblLocal")->RecordCount(), 1);
}

TEST_F(StoreTest, GetLinkSetLinksListsByTableNameWithBarePaths) {
  const std::string be1 = backEnd("one.mdb", {"Orders", "Customers"});
  const std::string be2 = backEnd("two.mdb", {"Items"});
  addLinkSet(fe, "Office", "", true, {{"Orders", be1}, {"Items", be2}, {"Customers", be1}});
  addLinkSet(fe, "Empty", "", false, {});
  int count = 0;
  orvanta::LinkArray links;

  ASSERT_TRUE(orvanta::GetLinkSetLinks("Office", count, links));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(links[0], (std::vector<std::string>{"Customers", "Items", "Orders"}));
  EXPECT_EQ(links[1], (std::vector<std::string>{be1, be2, be1}));

  count = 0;
  ASSERT_TRUE(orvanta::GetLinkSetLinks("Empty", count, links));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(links, (orvanta::LinkArray{std::vector<std::string>{""}, {""}}));
}

struct BackupCase {
  std::vector<std::string> existing;
  std::string expected;
};
void PrintTo(const BackupCase& c, std::ostream* out) {
  *out << "expecting " << c.expected;
}

class DuplicateLinkSetTest : public StoreTest, public ::testing::WithParamInterface<BackupCase> {};

TEST_P(DuplicateLinkSetTest, NumbersTheBackupAfterTheHighestOneAndCopiesTheLinks) {
  const std::string be = backEnd("be.mdb", {"Orders", "Customers"});
  addLinkSet(fe, "Office", "Main", true, {{"Orders", be}, {"Customers", be}});
  for (const std::string& name : GetParam().existing)
    addLinkSet(fe, name, "", false, {});

  orvanta::DuplicateLinkSet("Office", "Main");

  const std::vector<SetRecord> sets = linkSets(fe);
  const SetRecord& backup = sets.back();
  EXPECT_EQ(backup.name, GetParam().expected);
  EXPECT_EQ(backup.description, "Backup of Main");
  EXPECT_FALSE(backup.active);
  EXPECT_EQ(linkRows(fe), (std::vector<LinkRow>{
                              row("Office", "Customers", be), row("Office", "Orders", be),
                              row(backup.name, "Customers", be), row(backup.name, "Orders", be)}));
}

INSTANTIATE_TEST_SUITE_P(
    Numbering, DuplicateLinkSetTest,
    ::testing::Values(
        BackupCase{{}, "Office-Backup(1)"},
        BackupCase{{"Office-Backup(1)", "Office-Backup(3)"}, "Office-Backup(4)"},
        BackupCase{{"Office-Backup(1)", "Office-Backup(12)", "Office-Backup(3)"},
                   "Office-Backup(13)"},
        // Not numbered backups: passed over instead of stopping the backup.
        BackupCase{{"Office-Backup(1)", "Office-Backup(old)", "Office-Backup()"},
                   "Office-Backup(2)"},
        // Another spelling is another set; the copies must still reach the new backup.
        BackupCase{{"office-backup(1)"}, "Office-Backup(1)"}));

TEST_F(StoreTest, SetNamesWithQuotesWorkThroughEveryOperation) {
  const std::string be = backEnd("be.mdb", {"Orders"}, true);
  const std::string name = "Mike's 'live' set";
  bool clearAll = false;
  int count = 0;
  orvanta::LinkArray links;

  ASSERT_TRUE(orvanta::CreateLinkSet(name, "it's the main one"));
  ASSERT_TRUE(orvanta::MakeActiveSet(name, clearAll));
  ASSERT_TRUE(orvanta::AddCurrentLinksToLinkSet(name));
  ASSERT_TRUE(orvanta::GetLinkSetLinks(name, count, links));
  EXPECT_EQ(count, 1);
  orvanta::DuplicateLinkSet(name, "it's the main one");
  EXPECT_EQ(setNames(), (std::vector<std::string>{name, name + "-Backup(1)"}));
  ASSERT_TRUE(orvanta::ClearLinkSet(name));
  ASSERT_TRUE(orvanta::DeleteLinkSet(name));
  EXPECT_EQ(linkRows(fe), std::vector<LinkRow>{row(name + "-Backup(1)", "Orders", be)});
}

TEST_F(StoreTest, ASetNumberedAbove32767KeepsWorking) {
  const std::string be = backEnd("be.mdb", {"Orders"}, true);
  orvanta::CreateMissingTables(fe);
  dao::OpenDatabase(fe)->Execute("INSERT INTO tblLinkedSets (ID, Name) VALUES (40000, 'Big')");

  ASSERT_TRUE(orvanta::AddCurrentLinksToLinkSet("Big"));
  orvanta::DuplicateLinkSet("Big", "");
  EXPECT_EQ(linkRows(fe),
            (std::vector<LinkRow>{row("Big", "Orders", be), row("Big-Backup(1)", "Orders", be)}));
  ASSERT_TRUE(orvanta::ClearLinkSet("Big"));
  EXPECT_EQ(linkRows(fe), std::vector<LinkRow>{row("Big-Backup(1)", "Orders", be)});
}

TEST_F(StoreTest, AddActiveSetToListBoxOffersEachBackEndOnceAndUnresolvesEveryTable) {
  const std::string sales = backEnd("Sales.mdb", {"Orders", "Customers"});
  const std::string stock = backEnd("Stock.mdb", {"Items"});
  const std::string salesShouted = dir.file("data/SALES.MDB");
  const std::string stockShouted = dir.file("data/STOCK.MDB");
  addLinkSet(fe, "Office", "", true,
             {{"Orders", sales}, {"Customers", salesShouted}, {"Items", stock}});
  state().activeSetName = "Office";
  auto& page = uikit::form<orvanta::frmFixSet>();
  page.lsvDatabases.AddItem(stockShouted, {"50", "1 of 3"});  // listed already, other letters
  page.lstTables.AddItem("Orders (" + sales + ")");
  state().tableChangeGuard = true;
  page.lstTables.SetSelected(0, true);
  page.lstTables.AddItem("Customers ()");
  page.lstTables.AddItem("Items (" + stock + ")");

  orvanta::AddActiveSetToListBox();

  ASSERT_EQ(page.lsvDatabases.Count(), 2);
  EXPECT_EQ(page.lstDatabases.ListCount(), 2);
  const auto& items = page.lsvDatabases.items();
  EXPECT_TRUE(std::any_of(items.begin(), items.end(),
                          [&](const auto& item) { return item.text == stockShouted; }));
  const std::vector<std::string> rows = {"Orders ()", "Customers ()", "Items ()"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(page.lstTables.List(i), rows[static_cast<std::size_t>(i)]);
    EXPECT_FALSE(page.lstTables.Selected(i));
  }
  EXPECT_FALSE(state().tableChangeGuard);
}

}  // namespace
}  // namespace storetest
