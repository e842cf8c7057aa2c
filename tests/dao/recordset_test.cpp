// Recordsets over the link-set tables: reading, adding, editing through a join, deleting.
#include <gtest/gtest.h>

#include "dao/dao.h"
#include "tests/dao/temp_dir.h"

namespace dao::testing {
namespace {

constexpr const char* kLinks =
    "SELECT TableName, DatabasePath FROM tblLinkedSets INNER JOIN tblLinkedTables ON "
    "tblLinkedSets.ID = tblLinkedTables.LinkSetID WHERE Name='";

class RecordsetTest : public FrontEndTest {
 protected:
  long AddSet(const std::string& name, const std::vector<testsupport::Link>& links = {}) {
    return testsupport::addLinkSet(fe_, name, "", false, links);
  }
};

TEST_F(RecordsetTest, AddNewReturnsAutonumberAndDefaults) {
  auto rs = db_->OpenRecordset("SELECT * FROM tblLinkedSets");
  for (const std::string name : {"Office", "Home"}) {
    rs->AddNew();
    rs->SetField("Name", name);
    rs->Update();
    EXPECT_EQ(rs->Field("ID").AsInt32(), name == "Office" ? 1 : 2);
  }
  rs = db_->OpenRecordset("SELECT * FROM tblLinkedSets");
  rs->MoveLast();
  EXPECT_EQ(rs->RecordCount(), 2);
  rs->MoveFirst();
  EXPECT_EQ(rs->Field("name").AsString(), "Office");
  EXPECT_EQ(rs->Field("ActiveSet").AsInt32(), kFalse);  // not set: starts False
  rs->Edit();
  rs->SetField("ActiveSet", true);
  rs->Update();
  EXPECT_EQ(Count("SELECT ID FROM tblLinkedSets WHERE ActiveSet = True AND ID = 1"), 1);
}

TEST_F(RecordsetTest, UpdateThroughJoinWritesTheLinkRow) {
  AddSet("Office", {{"Customers", "/old/be.mdb"}, {"Orders", "/old/be.mdb"}});
  auto rs = db_->OpenRecordset(std::string(kLinks) + "office'");
  ASSERT_EQ(rs->RecordCount(), 2);
  while (!rs->AtEOF()) {
    rs->Edit();
    rs->SetField("DatabasePath", ";DATABASE=/new/be.mdb");
    rs->Update();
    rs->MoveNext();
  }
  auto check =
      db_->OpenRecordset("SELECT DISTINCT DatabasePath FROM tblLinkedTables", dbOpenSnapshot);
  ASSERT_EQ(check->RecordCount(), 1);
  EXPECT_EQ(check->Field("DatabasePath").AsString(), ";DATABASE=/new/be.mdb");
}

TEST_F(RecordsetTest, ReadOnlyShapes) {
  AddSet("Office", {{"Customers", "/be.mdb"}});
  for (const char* sql : {"SELECT DISTINCT DatabasePath FROM tblLinkedTables",
                          "SELECT count(*) AS N FROM tblLinkedTables"})
    EXPECT_DAO_ERROR(db_->OpenRecordset(sql)->Edit(), kErrFileNotWritable);
  auto snapshot = db_->OpenRecordset("SELECT * FROM tblLinkedSets", dbOpenSnapshot);
  EXPECT_DAO_ERROR(snapshot->AddNew(), kErrFileNotWritable);
  auto computed = db_->OpenRecordset("SELECT Name, ID + 1 AS Next FROM tblLinkedSets");
  computed->Edit();
  EXPECT_DAO_ERROR(computed->SetField("Next", 5), kErrNotUpdatable);
  computed->SetField("Name", "Renamed");
  computed->Update();
  EXPECT_EQ(computed->Field("Name").AsString(), "Renamed");
}

TEST_F(RecordsetTest, DeleteThroughJoinRemovesOnlyTheLinkRow) {
  AddSet("Office", {{"Customers", "/be.mdb"}, {"Orders", "/be.mdb"}});
  auto rs = db_->OpenRecordset(std::string(kLinks) + "Office' ORDER BY TableName");
  rs->Delete();
  EXPECT_DAO_ERROR(rs->Field("TableName"), kErrRecordDeleted);
  rs->MoveNext();
  EXPECT_EQ(rs->Field("TableName").AsString(), "Orders");
  EXPECT_EQ(db_->OpenRecordset("tblLinkedSets")->RecordCount(), 1);  // the set row stays
  EXPECT_EQ(db_->OpenRecordset("tblLinkedTables")->RecordCount(), 1);
  rs->Delete();
  rs->MoveNext();
  EXPECT_TRUE(rs->AtEOF());
  EXPECT_EQ(rs->RecordCount(), 0);
}

TEST_F(RecordsetTest, MovingDropsPendingEditsAndKeyChangesFollowTheRow) {
  AddSet("Office", {{"Customers", "/be.mdb"}});
  auto rs = db_->OpenRecordset("SELECT * FROM tblLinkedSets");
  rs->AddNew();
  rs->SetField("Name", "Never");
  rs->MoveFirst();
  EXPECT_DAO_ERROR(rs->Update(), kErrUpdateWithoutEdit);
  EXPECT_DAO_ERROR(rs->SetField("Name", "x"), kErrUpdateWithoutEdit);
  EXPECT_EQ(Count("tblLinkedSets"), 1);
  // Changing the key moves the row; the recordset follows it, and the links follow by cascade.
  rs->Edit();
  rs->SetField("ID", 40);
  rs->Update();
  rs->Edit();
  rs->SetField("Description", "still here");
  rs->Update();
  EXPECT_EQ(Count("SELECT * FROM tblLinkedTables WHERE LinkSetID = 40"), 1);
  EXPECT_EQ(
      db_->OpenRecordset("SELECT Description FROM tblLinkedSets")->Field("Description").AsString(),
      "still here");
}

TEST_F(RecordsetTest, RowsStayThoseOfTheMomentOfOpening) {
  // Rows are read as the recordset moves; changes made meanwhile, through this Database or
  // another one of the thread, neither show in it nor wait for it.
  for (const char* name : {"A", "B", "C"})
    AddSet(name);
  auto other = OpenDatabase(fe_);
  auto rs = db_->OpenRecordset("SELECT * FROM tblLinkedSets ORDER BY ID");
  EXPECT_EQ(rs->Field("Name").AsString(), "A");
  other->Execute("DELETE * FROM tblLinkedSets WHERE Name = 'B'");
  db_->Execute("DELETE * FROM tblLinkedSets WHERE Name = 'C'");
  AddSet("D");
  std::string names;
  for (; !rs->AtEOF(); rs->MoveNext())
    names += rs->Field("Name").AsString();
  EXPECT_EQ(names, "ABC");
  EXPECT_EQ(rs->RecordCount(), 3);
  auto tail = db_->OpenRecordset("SELECT * FROM tblLinkedSets ORDER BY ID");
  db_->Close();
  EXPECT_DAO_ERROR(tail->MoveNext(), kErrObjectInvalid);
}

}  // namespace
}  // namespace dao::testing
