// Table definitions, the catalog, relations and transactions over them: the link-set schema
// as the component builds it.
#include <gtest/gtest.h>

#include "dao/dao.h"
#include "tests/dao/temp_dir.h"

namespace dao::testing {
namespace {

using SchemaTest = FrontEndTest;

TEST_F(SchemaTest, KeysRequiredFieldsAndTheRelationRefuseAndBooleansAreMinusOne) {
  db_->Execute("INSERT INTO tblLinkedSets (Name) VALUES ('Office')");
  EXPECT_DAO_ERROR(db_->Execute("INSERT INTO tblLinkedSets (ID, Name) VALUES (1, 'Again')"),
                   kErrDuplicateKey);
  EXPECT_DAO_ERROR(db_->Execute("INSERT INTO tblLinkedTables (TableName) VALUES ('T')"),
                   kErrRequiredField);
  EXPECT_DAO_ERROR(
      db_->Execute("INSERT INTO tblLinkedTables (LinkSetID, TableName) VALUES (9, 'T')"),
      kErrRelatedRecordRequired);
  // Booleans are -1 whoever writes them.
  db_->Execute("INSERT INTO tblLinkedSets (Name, ActiveSet) VALUES ('A', 1)");
  db_->Execute("UPDATE tblLinkedSets SET ValidSet = 5 WHERE Name = 'office'");
  EXPECT_EQ(Count("SELECT * FROM tblLinkedSets WHERE ActiveSet = True"), 1);
  EXPECT_EQ(Count("SELECT * FROM tblLinkedSets WHERE ValidSet = -1 AND ActiveSet = False"), 1);
}

TEST_F(SchemaTest, TransactionsRollBackDataAndDefinitions) {
  db_->Execute("INSERT INTO tblLinkedSets (Name) VALUES ('Office')");
  db_->BeginTrans();
  EXPECT_DAO_ERROR(db_->BeginTrans(), kErrInvalidOperation);
  TableDef extra = db_->CreateTableDef("Extra");
  extra.AppendField(extra.CreateField("A", dbText));
  db_->TableDefs().Append(extra);
  db_->TableDefs().Item("tblLinkedSets").SetAttributes(0);
  db_->TableDefs().Delete("tblLinkedTables");
  db_->Execute("DELETE * FROM tblLinkedSets");
  EXPECT_EQ(Count("tblLinkedSets"), 0);
  db_->Rollback();
  EXPECT_FALSE(db_->TableDefs().Contains("Extra"));
  EXPECT_TRUE(db_->TableDefs().Contains("tblLinkedTables"));
  EXPECT_EQ(db_->TableDefs().Item("tblLinkedSets").Attributes(), dbHiddenObject);
  EXPECT_EQ(Count("tblLinkedSets"), 1);
  EXPECT_EQ(db_->Relations().Count(), 1);
  EXPECT_DAO_ERROR(db_->Rollback(), kErrNoTransaction);
  EXPECT_DAO_ERROR(db_->CommitTrans(), kErrNoTransaction);

  // Closing with a transaction open gives its work up.
  db_->BeginTrans();
  db_->TableDefs().Delete("tblLinkedTables");
  db_->Close();
  EXPECT_TRUE(OpenDatabase(fe_)->TableDefs().Contains("tblLinkedTables"));
}

TEST_F(SchemaTest, OpeningAndListingNeverWriteTheFile) {
  // A database made by another tool, without the catalog.
  const std::string path = dir_.file("plain.mdb");
  runSql(path, "CREATE TABLE Customers(ID INTEGER PRIMARY KEY, Name TEXT)");
  const std::string before = fileBytes(path);
  {
    auto db = OpenDatabase(path);
    EXPECT_EQ(db->TableDefs().Count(), 1);  // no catalog appears
    EXPECT_EQ(db->OpenRecordset("SELECT * FROM Customers")->RecordCount(), 0);
  }
  EXPECT_EQ(fileBytes(path), before);
  // The first definition that needs it creates it, in its documented form.
  auto db = OpenDatabase(path);
  db->TableDefs().Item("Customers").SetAttributes(dbHiddenObject);
  auto rs =
      db->OpenRecordset("SELECT Name, Connect, SourceTableName, Attributes FROM MSysTableDefs");
  EXPECT_EQ(rs->Field("name").AsString(), "Customers");
  EXPECT_EQ(rs->Field("Attributes").AsInt32(), dbHiddenObject);
  EXPECT_EQ(OpenDatabase(path)->TableDefs().Item("CUSTOMERS").Attributes(), dbHiddenObject);
}

}  // namespace
}  // namespace dao::testing
