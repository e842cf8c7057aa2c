// Rewriting the front end's linked tables: applying the active set, pruning, moving one link or
// a whole back end. Every failure must leave the front end with the links it had.
#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "tests/engine/store_support.h"
#include "uikit/desktop.h"

namespace storetest {
namespace {

using orvanta::state;
using testsupport::fileBytes;
using testsupport::linkedDefs;
using testsupport::linkRows;

// A front end linked to one back end (old.mdb: Orders, Customers) whose active set Office says
// the same, plus a second back end (new.mdb) the tests move to.
class RelinkTest : public StoreTest {
 protected:
  void SetUp() override {
    StoreTest::SetUp();
    oldBe = backEnd("old.mdb", {"Orders", "Customers"}, true);
    testsupport::addLinkSet(fe, "Office", "Main", true, {{"Orders", oldBe}, {"Customers", oldBe}});
    state().activeSetName = "Office";
    state().activeSetDescription = "Main";
  }

  // Makes the n-th step of the given kind fail as a vanished file would.
  void failStep(std::string op, int n) {
    dao::SetFaultHook([op, n, seen = 0](std::string_view operation, std::string_view) mutable {
      if (operation == op && ++seen == n)
        throw dao::Error(dao::kErrFileNotFound, "vanished");
    });
  }

  std::string oldBe;
};

TEST_F(RelinkTest, ApplyingASetLinksExactlyItsTablesAndLeavesLocalTablesAlone) {
  const std::string be2 = backEnd("two.mdb", {"Items", "Stock"});
  testsupport::linkTable(fe, "Orders2", oldBe, "Orders");  // not in the set: goes
  testsupport::addLinkSet(fe, "Wide", "", false, {{"Items", be2}, {"Customers", oldBe}});
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
  testsupport::addLinkSet(fe, "Empty", "", true, {});
  state().activeSetName = "Empty";
  const std::vector<std::pair<const char*, std::function<bool()>>> procedures = {
      {"RemoveExtraLinks", orvanta::RemoveExtraLinks},
      {"LinkTablesToActiveSet", orvanta::LinkTablesToActiveSet}};
  for (const auto& [name, procedure] : procedures) {
    if (linkedDefs(fe).empty())
      backEnd("again.mdb", {"Orders", "Customers"}, true);
    EXPECT_TRUE(procedure()) << name;
    EXPECT_TRUE(linkedDefs(fe).empty()) << name;
  }
}

TEST_F(RelinkTest, ABackEndVanishingHalfWayLeavesTheFrontEndAsItWas) {
  const std::string be2 = backEnd("two.mdb", {"Items", "Stock"});
  testsupport::addLinkSet(fe, "Next", "", true, {{"Items", be2}, {"Stock", be2}});
  state().activeSetName = "Next";
  const std::vector<LinkedDef> before = linkedDefs(fe);
  failStep("append", 2);

  EXPECT_FALSE(orvanta::LinkTablesToActiveSet());

  dao::SetFaultHook(nullptr);
  EXPECT_EQ(linkedDefs(fe), before);
  auto db = dao::OpenDatabase(fe, 0, true);
  EXPECT_EQ(db->OpenRecordset("SELECT * FROM Orders")->RecordCount(), 2);
}

// --- One link ------------------------------------------------------------------------------------

TEST_F(RelinkTest, UpdateLinkMovesTheRowAndTheActiveSetsDefinition) {
  const std::string newBe = backEnd("new.mdb", {"Orders"});

  EXPECT_EQ(orvanta::UpdateLink("Office", "Orders", newBe), 0);

  EXPECT_EQ(linkedDefs(fe),
            (std::vector<LinkedDef>{linked("Customers", oldBe), linked("Orders", newBe)}));
  EXPECT_EQ(linkRows(fe), (std::vector<LinkRow>{row("Office", "Customers", oldBe),
                                                row("Office", "Orders", newBe)}));
}

TEST_F(RelinkTest, UpdateLinkThatTheNewBackEndRefusesChangesNothing) {
  const std::string lacking = backEnd("lacking.mdb", {"Customers"});
  const std::string before = fileBytes(fe);

  EXPECT_EQ(orvanta::UpdateLink("Office", "Orders", dir.file("data/missing.mdb")),
            dao::kErrFileNotFound);
  EXPECT_EQ(fileBytes(fe), before);

  EXPECT_EQ(orvanta::UpdateLink("Office", "Orders", lacking), dao::kErrObjectNotFound);
  EXPECT_EQ(linkedDefs(fe),
            (std::vector<LinkedDef>{linked("Customers", oldBe), linked("Orders", oldBe)}));
  EXPECT_EQ(linkRows(fe), (std::vector<LinkRow>{row("Office", "Customers", oldBe),
                                                row("Office", "Orders", oldBe)}));
}

TEST_F(RelinkTest, UpdateLinkNeverReplacesALocalTable) {
  const std::string newBe = backEnd("new.mdb", {"tblLocal"});
  testsupport::addLinkSet(fe, "Odd", "", true, {{"tblLocal", oldBe}});
  state().activeSetName = "Odd";

  EXPECT_EQ(orvanta::UpdateLink("Odd", "tblLocal", newBe), 0);

  auto db = dao::OpenDatabase(fe, 0, true);
  EXPECT_EQ(db->TableDefs().Item("tblLocal").Connect(), "");
  EXPECT_EQ(db->OpenRecordset("SELECT Note FROM tblLocal")->Field("Note").AsString(),
            "kept locally");
  const std::vector<LinkRow> rows = linkRows(fe);
  EXPECT_NE(std::find(rows.begin(), rows.end(), row("Odd", "tblLocal", newBe)), rows.end());
}

// --- A whole back end ----------------------------------------------------------------------------

TEST_F(RelinkTest, RelinkDatabaseWithEveryTablePresentRepointsRowsAndDefinitions) {
  const std::string newBe = backEnd("new.mdb", {"Orders", "Customers"});
  const std::string other = backEnd("other.mdb", {"Items"});
  testsupport::linkTable(fe, "Items", other);  // another back end: neither asked about nor moved

  // The old path as the Relink Manager may spell it: letters differ from the stored one.
  std::string oldSpelling = oldBe;
  oldSpelling.replace(oldSpelling.size() - 7, 7, "OLD.MDB");
  EXPECT_EQ(orvanta::RelinkDatabase(oldSpelling, newBe), 0);

  EXPECT_EQ(linkedDefs(fe),
            (std::vector<LinkedDef>{linked("Customers", newBe), linked("Items", other),
                                    linked("Orders", newBe)}));
  EXPECT_EQ(linkRows(fe), (std::vector<LinkRow>{row("Office", "Customers", newBe),
                                                row("Office", "Orders", newBe)}));
  EXPECT_EQ(setNames(), std::vector<std::string>{"Office"});
  EXPECT_TRUE(desk.messages().empty());
}

TEST_F(RelinkTest, RelinkDatabaseMissingATableAndCancelledChangesNothing) {
  const std::string newBe = backEnd("new.mdb", {"Orders"});
  const std::string before = fileBytes(fe);
  desk.answer(uikit::Answer::Cancel, "", "Missing Tables");

  EXPECT_EQ(orvanta::RelinkDatabase(oldBe, newBe), 1);

  EXPECT_EQ(fileBytes(fe), before);
  ASSERT_EQ(desk.messages().size(), 1u);
  const uikit::MessageBox box = desk.messages()[0];
  EXPECT_EQ(box.text, "The following linked tables could not be found in " + newBe +
                          "\r\n\r\nCustomers\r\n\r\n"
                          "Click 'OK' to create a backup, remove these linked tables and update "
                          "the link set or\r\nClick 'Cancel' to return to Link Manager");
  EXPECT_EQ(box.buttons, uikit::Buttons::OKCancel);
  EXPECT_EQ(box.icon, uikit::Icon::Critical);
}

TEST_F(RelinkTest, RelinkDatabaseMissingATableAndAcceptedKeepsABackup) {
  const std::string newBe = backEnd("new.mdb", {"Orders"});
  desk.answer(uikit::Answer::OK, "Customers", "Missing Tables");

  EXPECT_EQ(orvanta::RelinkDatabase(oldBe, newBe), 0);

  EXPECT_EQ(linkedDefs(fe), std::vector<LinkedDef>{linked("Orders", newBe)});
  EXPECT_EQ(linkRows(fe), (std::vector<LinkRow>{row("Office", "Orders", newBe),
                                                row("Office-Backup(1)", "Customers", oldBe),
                                                row("Office-Backup(1)", "Orders", oldBe)}));
  EXPECT_EQ(testsupport::linkSets(fe).back().description, "Backup of Main");
}

TEST_F(RelinkTest, RelinkDatabaseFailingAtTheLastStepLeavesSetAndLinksAsTheyWere) {
  const std::string newBe = backEnd("new.mdb", {"Orders"});
  desk.answer(uikit::Answer::OK, "Customers", "Missing Tables");
  const std::vector<LinkedDef> defsBefore = linkedDefs(fe);
  const std::vector<LinkRow> rowsBefore = linkRows(fe);
  failStep("refreshlink", 1);

  EXPECT_EQ(orvanta::RelinkDatabase(oldBe, newBe), dao::kErrFileNotFound);

  dao::SetFaultHook(nullptr);
  EXPECT_EQ(linkedDefs(fe), defsBefore);
  EXPECT_EQ(linkRows(fe), rowsBefore);
  EXPECT_EQ(setNames(), std::vector<std::string>{"Office"});
}

}  // namespace
}  // namespace storetest
