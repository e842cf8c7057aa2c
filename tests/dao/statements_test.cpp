// Every statement the component builds, run against a front end made by CreateMissingTables:
// the dialect, text compared without regard to case, a doubled quote.
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
    db_->Execute(a.sql);
    EXPECT_EQ(db_->RecordsAffected(), a.affected);
    EXPECT_EQ(Count("tblLinkedSets"), a.setsLeft);
    EXPECT_EQ(Count("tblLinkedTables"), a.linksLeft);
    db_->Rollback();
  }
}

}  // namespace
}  // namespace dao::testing
