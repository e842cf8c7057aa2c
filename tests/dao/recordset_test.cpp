// Recordsets and statements over the link-set tables: reading, adding, editing through a join,
// deleting, and every statement the component builds, with text compared without regard to case.
#include <gtest/gtest.h>

#include "dao/dao.h"
#include "tests/dao/temp_dir.h"

namespace dao::testing {
namespace {

const std::string kJoin =
    "FROM tblLinkedSets INNER JOIN tblLinkedTables ON tblLinkedSets.ID = "
    "tblLinkedTables.LinkSetID ";
std::string Links(const std::string& name) {
  return "SELECT TableName, DatabasePath " + kJoin + "WHERE Name='" + name + "'";
}

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
  EXPECT_EQ(Count("SELECT ID FROM tblLinkedSets WHERE ActiveSet = False"), 2);
}

// Through the join of sets and links, an update writes the link row and a delete removes only it.
TEST_F(RecordsetTest, UpdatesAndDeletesThroughTheJoinTouchOnlyTheLinkRow) {
  AddSet("Office", {{"Customers", "/old/be.mdb"}, {"Orders", "/old/be.mdb"}});
  auto rs = db_->OpenRecordset(Links("office") + " ORDER BY TableName");
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

  rs = db_->OpenRecordset(Links("Office") + " ORDER BY TableName");
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

class StatementsTest : public FrontEndTest {
 protected:
  void SetUp() override {
    FrontEndTest::SetUp();
    const std::string be = dir_.file("Be.mdb");
    // Office links its two tables to Be.mdb, once with the path in other letters.
    testsupport::addLinkSet(fe_, "Office", "", true,
                            {{"Customers", be}, {"Orders", dir_.file("BE.MDB")}});
    testsupport::addLinkSet(fe_, "O'Brien", "", false, {{"Customers", be}});
    testsupport::addLinkSet(fe_, "Office-Backup(1)", "", false, {});
  }
};

struct Query {
  std::string sql;
  long rows;
};

TEST_F(StatementsTest, QueriesReturnTheRowsTheyName) {
  const Query queries[] = {
      {"SELECT ID From tblLinkedSets WHERE Name = 'Office-Backup(1)'", 1},
      {Links("oFFICE") + " ORDER BY TableName", 2},
      {Links("O''Brien"), 1},
      {Links("Nobody"), 0},
      // The old links statement: connect strings compare without regard to case.
      {Links("Office") + " AND DatabasePath='" + ConnectTo(dir_.file("be.mdb")) + "'", 2},
      {"SELECT DISTINCT DatabasePath " + kJoin + "WHERE Name='Office'", 1},
      {"SELECT TableName, DatabasePath FROM tblLinkedTables WHERE LinkSetID=1 AND "
       "TableName='orders'",
       1},
  };
  for (const Query& q : queries) {
    SCOPED_TRACE(q.sql);
    EXPECT_EQ(db_->OpenRecordset(q.sql)->RecordCount(), q.rows);
    EXPECT_EQ(db_->OpenRecordset(q.sql, dbOpenSnapshot)->RecordCount(), q.rows);
  }
  auto ordered = db_->OpenRecordset(Links("Office") + " ORDER BY TableName DESC");
  EXPECT_EQ(ordered->Field("TableName").AsString(), "Orders");
  EXPECT_EQ(ordered->Field("DatabasePath").AsString().substr(10), dir_.file("BE.MDB"));
}

struct Action {
  std::string sql;
  long affected;
  long setsLeft;
  long linksLeft;
};

TEST_F(StatementsTest, ActionsChangeTheRowsTheyName) {
  const Action actions[] = {
      {"DELETE * FROM tblLinkedSets WHERE Name='office'", 1, 2, 1},  // cascades to its links
      {"DELETE * FROM tblLinkedTables WHERE LinkSetID = 1", 2, 3, 1},
      {"DELETE tblLinkedTables.* " + kJoin + "WHERE (((Name)='OFFICE') AND ((TableName)='orders'))",
       1, 3, 2},
      {"DELETE tblLinkedTables.* " + kJoin +
           "WHERE (((Name)='Office') AND ((TableName)='Nothing'))",
       0, 3, 3},
      {"UPDATE tblLinkedSets SET FrontEndPath='C:\\App\\Fe.mdb' WHERE Name='Office'", 1, 3, 3},
  };
  for (const Action& a : actions) {
    SCOPED_TRACE(a.sql);
    db_->BeginTrans();
    db_->Execute(a.sql);
    EXPECT_EQ(db_->RecordsAffected(), a.affected);
    EXPECT_EQ(Count("tblLinkedSets"), a.setsLeft);
    EXPECT_EQ(Count("tblLinkedTables"), a.linksLeft);
    db_->Rollback();
  }
}

}  // namespace
}  // namespace dao::testing
