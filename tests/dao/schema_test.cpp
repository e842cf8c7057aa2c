// Table definitions, the catalog, relations and transactions over them: the link-set schema
// as the component builds it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "dao/dao.h"
#include "tests/dao/temp_dir.h"

namespace dao::testing {
namespace {

class SchemaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.file("fe.mdb");
    db_ = CreateDatabase(path_);
    CreateMissingTables(*db_);
  }
  long Count(const std::string& sql) { return db_->OpenRecordset(sql)->RecordCount(); }
  TempDir dir_;
  std::string path_;
  std::unique_ptr<Database> db_;
};

TEST_F(SchemaTest, CreateMissingTablesBuildsTheLinkSetSchema) {
  auto db = OpenDatabase(path_);
  TableDef sets = db->TableDefs().Item("tblLinkedSets");
  EXPECT_EQ(sets.Attributes(), dbHiddenObject);
  EXPECT_EQ(sets.Connect(), "");
  std::vector<std::pair<std::string, int>> fields;
  for (const Field& f : sets.Fields())
    fields.emplace_back(f.Name, f.Type);
  EXPECT_EQ(fields, (std::vector<std::pair<std::string, int>>{{"ID", dbLong},
                                                              {"Name", dbText},
                                                              {"Description", dbText},
                                                              {"FrontEndPath", dbText},
                                                              {"ActiveSet", dbBoolean},
                                                              {"ValidSet", dbBoolean}}));
  EXPECT_EQ(sets.Fields()[0].Attributes, dbAutoIncrField);
  EXPECT_TRUE(db->TableDefs().Item("tblLinkedTables").Fields()[1].Required);
  ASSERT_EQ(db->Relations().Count(), 1);
  Relation r = db->Relations().Item(0);
  EXPECT_EQ(r.Name, "LinkSetToLinkTables");
  EXPECT_EQ(r.Table, "tblLinkedSets");
  EXPECT_EQ(r.ForeignTable, "tblLinkedTables");
  EXPECT_EQ(r.Attributes, 4352);
  ASSERT_EQ(r.Fields.size(), 1u);
  EXPECT_EQ(r.Fields[0].ForeignName, "LinkSetID");

  // Required, unique keys, relation: each refuses with its number.
  db->Execute("INSERT INTO tblLinkedSets (Name) VALUES ('Office')");
  EXPECT_DAO_ERROR(db->Execute("INSERT INTO tblLinkedSets (ID, Name) VALUES (1, 'Again')"),
                   kErrDuplicateKey);
  EXPECT_DAO_ERROR(db->Execute("INSERT INTO tblLinkedTables (TableName) VALUES ('T')"),
                   kErrRequiredField);
  EXPECT_DAO_ERROR(
      db->Execute("INSERT INTO tblLinkedTables (LinkSetID, TableName) VALUES (9, 'T')"),
      kErrRelatedRecordRequired);
  // Running it again fails at the first table, whose name is taken.
  EXPECT_DAO_ERROR(CreateMissingTables(*db), kErrObjectExists);
}

TEST_F(SchemaTest, OnlyTheSecondTableMissingStopsAtIt) {
  // A front end with tblLinkedTables but not tblLinkedSets: the first append succeeds, the
  // second reports the name taken and the relation is never made.
  auto db = CreateDatabase(dir_.file("half.mdb"));
  TableDef links = db->CreateTableDef("tblLinkedTables", dbHiddenObject);
  links.AppendField(links.CreateField("ID", dbLong));
  db->TableDefs().Append(links);
  EXPECT_DAO_ERROR(CreateMissingTables(*db), kErrObjectExists);
  EXPECT_TRUE(db->TableDefs().Contains("tblLinkedSets"));
  EXPECT_EQ(db->Relations().Count(), 0);
}

TEST_F(SchemaTest, RelationCascadesDeletesAndKeyUpdates) {
  db_->Execute("INSERT INTO tblLinkedSets (Name) VALUES ('Office')");
  db_->Execute("INSERT INTO tblLinkedSets (Name) VALUES ('Home')");
  for (int set : {1, 1, 2})
    db_->Execute("INSERT INTO tblLinkedTables (LinkSetID, TableName) VALUES (" +
                 std::to_string(set) + ", 'T')");
  db_->Execute("UPDATE tblLinkedSets SET ID = 10 WHERE ID = 1");
  EXPECT_EQ(Count("SELECT * FROM tblLinkedTables WHERE LinkSetID = 10"), 2);
  db_->Execute("DELETE * FROM tblLinkedSets WHERE Name='Office'");
  EXPECT_EQ(db_->RecordsAffected(), 1);  // the set row; its links go with it
  EXPECT_EQ(Count("SELECT * FROM tblLinkedTables"), 1);

  // Without the cascade bits the relation refuses instead.
  TableDef parent = db_->CreateTableDef("P");
  parent.AppendField(parent.CreateField("K", dbLong));
  Index key = parent.CreateIndex("PrimaryKey");
  key.AppendField("K");
  key.Primary = true;
  parent.AppendIndex(key);
  db_->TableDefs().Append(parent);
  TableDef child = db_->CreateTableDef("C");
  child.AppendField(child.CreateField("PK", dbLong));
  db_->TableDefs().Append(child);
  Relation plain = db_->CreateRelation("PToC", "p", "c");
  plain.AppendField("k", "pk");
  db_->Relations().Append(plain);
  EXPECT_DAO_ERROR(db_->Relations().Append(plain), kErrObjectExists);
  Relation wrong = db_->CreateRelation("Bad", "P", "C");
  wrong.AppendField("K", "Missing");
  EXPECT_DAO_ERROR(db_->Relations().Append(wrong), kErrObjectNotFound);
  db_->Execute("INSERT INTO P (K) VALUES (1)");
  db_->Execute("INSERT INTO C (PK) VALUES (1)");
  EXPECT_DAO_ERROR(db_->Execute("DELETE * FROM P"), kErrRelatedRecordsExist);
  EXPECT_DAO_ERROR(db_->Execute("UPDATE P SET K = 2"), kErrRelatedRecordsExist);
  // Deleting a table takes its relations with it.
  db_->TableDefs().Delete("P");
  EXPECT_EQ(db_->Relations().Count(), 1);
  db_->Execute("INSERT INTO C (PK) VALUES (5)");
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

  // Closing with a transaction open gives its work up; a commit keeps it.
  db_->BeginTrans();
  db_->TableDefs().Delete("tblLinkedTables");
  db_->Close();
  db_ = OpenDatabase(path_);
  EXPECT_TRUE(db_->TableDefs().Contains("tblLinkedTables"));
  db_->BeginTrans();
  db_->TableDefs().Delete("tblLinkedTables");
  db_->CommitTrans();
  EXPECT_FALSE(OpenDatabase(path_)->TableDefs().Contains("tblLinkedTables"));
}

TEST_F(SchemaTest, BooleansAreMinusOneWhoeverWritesThem) {
  db_->Execute("INSERT INTO tblLinkedSets (Name, ActiveSet) VALUES ('A', 1)");
  db_->Execute("INSERT INTO tblLinkedSets (Name) VALUES ('B')");
  db_->Execute("UPDATE tblLinkedSets SET ValidSet = 5 WHERE Name = 'b'");
  EXPECT_EQ(Count("SELECT * FROM tblLinkedSets WHERE ActiveSet = True"), 1);
  EXPECT_EQ(Count("SELECT * FROM tblLinkedSets WHERE ValidSet = -1 AND ActiveSet = False"), 1);
}

TEST_F(SchemaTest, OpeningAndListingNeverWriteTheFile) {
  // A database made by another tool, without the catalog.
  const std::string path = dir_.file("plain.mdb");
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
  sqlite3_exec(raw, "CREATE TABLE Customers(ID INTEGER PRIMARY KEY, Name TEXT)", nullptr, nullptr,
               nullptr);
  sqlite3_close(raw);
  const std::string before = ReadFile(path);
  {
    auto db = OpenDatabase(path);
    EXPECT_EQ(db->TableDefs().Count(), 1);  // no catalog appears
    EXPECT_EQ(db->OpenRecordset("SELECT * FROM Customers")->RecordCount(), 0);
    EXPECT_DAO_ERROR(db->OpenRecordset("SELECT * FROM tblLinkedSets"), kErrTableNotFound);
  }
  EXPECT_EQ(ReadFile(path), before);
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
