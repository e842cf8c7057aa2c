// Every statement the component builds, run against a front end made by CreateMissingTables:
// the dialect, text compared without regard to case, a doubled quote.
#include <gtest/gtest.h>

#include <filesystem>

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

class StatementsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = new TempDir();
    MakeBackEnd(dir_->file("Be.mdb"), {"Customers", "Orders"});
    auto db = CreateDatabase(dir_->file("template.mdb"));
    CreateMissingTables(*db);
    auto sets = db->OpenRecordset("SELECT * FROM tblLinkedSets");
    for (const char* name : {"Office", "O'Brien", "Office-Backup(1)"}) {
      sets->AddNew();
      sets->SetField("Name", name);
      sets->SetField("Description", "");
      sets->SetField("ActiveSet", std::string(name) == "Office");
      sets->Update();
    }
    auto links = db->OpenRecordset("SELECT * From tblLinkedTables");
    // Set 1 links its two tables to Be.mdb, once with the path in other letters.
    const std::pair<int, std::string> rows[] = {{1, "Customers"}, {1, "Orders"}, {2, "Customers"}};
    for (const auto& [set, table] : rows) {
      links->AddNew();
      links->SetField("LinkSetID", set);
      links->SetField("TableName", table);
      std::string path = table == "Orders" ? dir_->file("BE.MDB") : dir_->file("Be.mdb");
      links->SetField("DatabasePath", ConnectTo(path));
      links->Update();
    }
  }
  static void TearDownTestSuite() { delete dir_; }
  void SetUp() override {
    std::filesystem::copy_file(dir_->file("template.mdb"), work_.file("fe.mdb"));
    db_ = OpenDatabase(work_.file("fe.mdb"));
  }
  static TempDir* dir_;
  TempDir work_;
  std::unique_ptr<Database> db_;
};
TempDir* StatementsTest::dir_ = nullptr;

struct Query {
  std::string sql;
  long rows;
};

TEST_F(StatementsTest, QueriesReturnTheRowsTheyName) {
  const std::string be = ConnectTo(dir_->file("Be.mdb"));
  const Query queries[] = {
      {"SELECT * FROM tblLinkedSets", 3},
      {"SELECT * From tblLinkedSets", 3},
      {"SELECT * FROM tblLinkedSets WHERE Name='OFFICE'", 1},
      {"SELECT ID FROM tblLinkedSets WHERE Name='office'", 1},
      {"SELECT ID From tblLinkedSets WHERE Name = 'Office-Backup(1)'", 1},
      {"SELECT ID FROM tblLinkedSets WHERE Name='O''Brien'", 1},
      {"SELECT * FROM tblLinkedTables WHERE LinkSetID=1", 2},
      {"SELECT * FROM tblLinkedTables WHERE LinkSetID = 2", 1},
      {"SELECT * From tblLinkedTables", 3},
      {Links("Office"), 2},
      {Links("oFFICE") + " ORDER BY TableName", 2},
      {Links("O''Brien"), 1},
      {Links("Nobody"), 0},
      // The old links statement: connect strings compare without regard to case.
      {Links("Office") + " AND DatabasePath='" + ConnectTo(dir_->file("be.mdb")) + "'", 2},
      {"SELECT DISTINCT DatabasePath " + kJoin + "WHERE Name='Office'", 1},
      {"SELECT TableName, DatabasePath FROM tblLinkedTables WHERE LinkSetID=1 AND "
       "TableName='orders'",
       1},
      {"SELECT * FROM tblLinkedSets WHERE ActiveSet = True", 1},
  };
  for (const Query& q : queries) {
    SCOPED_TRACE(q.sql);
    try {
      EXPECT_EQ(db_->OpenRecordset(q.sql)->RecordCount(), q.rows);
      EXPECT_EQ(db_->OpenRecordset(q.sql, dbOpenSnapshot)->RecordCount(), q.rows);
    } catch (const Error& e) {
      ADD_FAILURE() << e.Number() << " " << e.Description();
    }
  }
  auto ordered = db_->OpenRecordset(Links("Office") + " ORDER BY TableName DESC");
  EXPECT_EQ(ordered->Field("TableName").AsString(), "Orders");
  EXPECT_EQ(ordered->Field("DatabasePath").AsString().substr(10), dir_->file("BE.MDB"));
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
      {"DELETE * FROM tblLinkedSets WHERE Name='O''Brien'", 1, 2, 2},
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
    try {
      db_->Execute(a.sql);
      EXPECT_EQ(db_->RecordsAffected(), a.affected);
      EXPECT_EQ(db_->OpenRecordset("tblLinkedSets")->RecordCount(), a.setsLeft);
      EXPECT_EQ(db_->OpenRecordset("tblLinkedTables")->RecordCount(), a.linksLeft);
    } catch (const Error& e) {
      ADD_FAILURE() << e.Number() << " " << e.Description();
    }
    db_->Rollback();
  }
}

TEST_F(StatementsTest, BackEndTablesByNameThroughLinksAndDirectly) {
  for (const char* table : {"Customers", "Orders"}) {
    TableDef def = db_->CreateTableDef(table, 0, table, ConnectTo(dir_->file("Be.mdb")));
    db_->TableDefs().Append(def);
  }
  auto be = OpenDatabase(dir_->file("Be.mdb"), 4, true);
  for (Database* db : {db_.get(), be.get()}) {
    EXPECT_EQ(db->OpenRecordset("SELECT * FROM Customers")->RecordCount(), 2);
    EXPECT_EQ(db->OpenRecordset("SELECT * FROM [Orders]")->RecordCount(), 2);
    EXPECT_DAO_ERROR(db->OpenRecordset("SELECT * FROM Invoices"), kErrTableNotFound);
  }
}

}  // namespace
}  // namespace dao::testing
