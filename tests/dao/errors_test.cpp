// Every failure is a numbered error: opening files of every kind, statements, collections.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include "dao/dao.h"
#include "tests/dao/temp_dir.h"

namespace dao::testing {
namespace {

class ErrorsTest : public ::testing::Test {
 protected:
  void SetUp() override { makeBackEnd(dir_.file("be.mdb"), {"Customers", "Orders"}); }
  void TearDown() override { SetStatementTimeLimit(std::chrono::seconds(5)); }
  TempDir dir_;
};

TEST_F(ErrorsTest, MissingFilesAndReadOnlyFilesOrOpens) {
  EXPECT_DAO_ERROR(OpenDatabase(dir_.file("missing.mdb")), kErrFileNotFound);
  EXPECT_DAO_ERROR(OpenDatabase(dir_.file("no/such/folder.mdb"), 4, true), kErrFileNotFound);
  EXPECT_DAO_ERROR(OpenDatabase(""), kErrFileNotFound);
  {
    auto db = OpenDatabase(dir_.file("be.mdb"), 0, true);
    EXPECT_TRUE(db->ReadOnly());
    EXPECT_DAO_ERROR(db->Execute("DELETE * FROM Customers"), kErrFileNotWritable);
    auto rs = db->OpenRecordset("SELECT * FROM Customers");
    EXPECT_DAO_ERROR(rs->Edit(), kErrFileNotWritable);
    EXPECT_DAO_ERROR(db->TableDefs().Delete("Customers"), kErrFileNotWritable);
    EXPECT_EQ(db->OpenRecordset("Customers")->RecordCount(), 2);
  }
  // Read-only means no write bit, even for a user (root) who could write anyway.
  chmod(dir_.file("be.mdb").c_str(), 0444);
  EXPECT_DAO_ERROR(OpenDatabase(dir_.file("be.mdb")), kErrCannotOpen);
}

TEST_F(ErrorsTest, FilesThatAreNotDatabasesFailAtOnce) {
  std::string good = fileBytes(dir_.file("be.mdb"));
  ASSERT_GT(good.size(), 4096u * 2);
  WriteFile(dir_.file("text.mdb"), "Standard Jet DB, or so it claims");
  WriteFile(dir_.file("empty.mdb"), "");
  WriteFile(dir_.file("truncated.mdb"), good.substr(0, good.size() / 2));
  // A valid header over a schema page of noise.
  std::string damaged = good;
  for (std::size_t i = 100; i < 4096; ++i)
    damaged[i] = static_cast<char>(i * 7);
  WriteFile(dir_.file("damaged.mdb"), damaged);
  ASSERT_EQ(mkfifo(dir_.file("fifo.mdb").c_str(), 0666), 0);
  std::filesystem::create_directory(dir_.file("folder.mdb"));

  auto start = std::chrono::steady_clock::now();
  for (const char* name :
       {"text.mdb", "empty.mdb", "truncated.mdb", "damaged.mdb", "fifo.mdb", "folder.mdb"}) {
    SCOPED_TRACE(name);
    EXPECT_DAO_ERROR(OpenDatabase(dir_.file(name), 4, true), kErrNotADatabase);
    EXPECT_DAO_ERROR(OpenDatabase(dir_.file(name)), kErrNotADatabase);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  // Nothing was written to them either.
  EXPECT_EQ(fileBytes(dir_.file("text.mdb")), "Standard Jet DB, or so it claims");
  EXPECT_EQ(fileBytes(dir_.file("empty.mdb")), "");
}

TEST_F(ErrorsTest, StoredQueriesOfUntrustedFilesDoNotRun) {
  {
    auto db = OpenDatabase(dir_.file("be.mdb"));
    db->Execute(
        "CREATE VIEW Endless AS WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM n) "
        "SELECT x FROM n");
  }
  auto probe = OpenDatabase(dir_.file("be.mdb"), 4, true);
  EXPECT_DAO_ERROR(probe->OpenRecordset("SELECT * FROM Endless"), kErrTableNotFound);
  EXPECT_FALSE(probe->TableDefs().Contains("Endless"));  // a query is not a table definition
  // Nor can a link name it as its source, nor can a front end reach it once the file is
  // attached for another link.
  auto fe = CreateDatabase(dir_.file("fe.mdb"));
  EXPECT_DAO_ERROR(AppendLink(*fe, "Endless", dir_.file("be.mdb")), kErrObjectNotFound);
  AppendLink(*fe, "Customers", dir_.file("be.mdb"));
  EXPECT_EQ(fe->OpenRecordset("Customers")->RecordCount(), 2);
  EXPECT_DAO_ERROR(fe->OpenRecordset("SELECT * FROM Endless"), kErrTableNotFound);
}

TEST_F(ErrorsTest, ReadOnlyOpensLeaveAnInterruptedWriteAlone) {
  // A writer died mid-commit; its journal names another file as its super-journal, which
  // completing the change would delete.
  const std::string path = dir_.file("crashed.mdb"), victim = dir_.file("victim.txt");
  runSql(path, "CREATE TABLE T(N TEXT); INSERT INTO T VALUES ('kept'), ('kept');");
  WriteFile(victim, "precious");
  plantHotJournal(path, "UPDATE T SET N = 'changed'", victim);
  const std::string file = fileBytes(path), journal = fileBytes(path + "-journal");
  EXPECT_DAO_ERROR(OpenDatabase(path, 4, true), kErrUnfinishedChange);
  auto fe = CreateDatabase(dir_.file("fe.mdb"));
  EXPECT_DAO_ERROR(AppendLink(*fe, "T", path), kErrUnfinishedChange);
  fe->Execute("INSERT INTO MSysTableDefs (Name, Connect) VALUES ('T', " +
              QuoteText(ConnectTo(path)) + ")");
  EXPECT_DAO_ERROR(fe->CheckReadable("T"), kErrUnfinishedChange);
  EXPECT_EQ(OpenDatabaseAsItStands(path)->OpenRecordset("T")->RecordCount(), 2);
  EXPECT_EQ(fileBytes(path), file);
  EXPECT_EQ(fileBytes(path + "-journal"), journal);
  EXPECT_EQ(fileBytes(victim), "precious");
  // The journal was one a writer completes: a read-write open does, and deletes the victim.
  OpenDatabase(path)->Close();
  EXPECT_FALSE(std::filesystem::exists(victim));
}

TEST_F(ErrorsTest, EndlessStatementsStopAtTheTimeLimit) {
  SetStatementTimeLimit(std::chrono::milliseconds(200));
  auto db = OpenDatabase(dir_.file("be.mdb"));
  db->Execute(
      "CREATE TRIGGER Spin AFTER UPDATE ON Customers BEGIN SELECT (WITH RECURSIVE n(x) AS "
      "(SELECT 1 UNION ALL SELECT x + 1 FROM n) SELECT max(x) FROM n); END");
  auto start = std::chrono::steady_clock::now();
  EXPECT_DAO_ERROR(db->Execute("UPDATE Customers SET Name = 'x'"), kErrStatementTooLong);
  EXPECT_DAO_ERROR(db->OpenRecordset("WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
                                     "FROM n) SELECT max(x) AS m FROM n"),
                   kErrStatementTooLong);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  // The connection goes on; the stopped change left nothing behind.
  EXPECT_EQ(db->OpenRecordset("SELECT * FROM Customers WHERE Name = 'x'")->RecordCount(), 0);
}

TEST_F(ErrorsTest, MissingTablesItemsAndRecordsAndMalformedStatementsAreNumbered) {
  auto db = OpenDatabase(dir_.file("be.mdb"));
  EXPECT_DAO_ERROR(db->OpenRecordset("SELECT * FROM tblLinkedSets"), kErrTableNotFound);
  EXPECT_DAO_ERROR(db->OpenRecordset("SELECT FROM WHERE"), kErrSyntax);
  // A name with a quote, written without doubling it, breaks the statement...
  EXPECT_DAO_ERROR(db->Execute("DELETE * FROM Customers WHERE Name='O'Brien'"), kErrSyntax);
  // ...and cannot smuggle in a second one.
  EXPECT_DAO_ERROR(db->Execute("DELETE * FROM Customers WHERE Name='x'; DROP TABLE Customers"),
                   kErrSyntax);
  EXPECT_DAO_ERROR(db->Execute("ATTACH 'x.db' AS x"), kErrInvalidOperation);
  EXPECT_DAO_ERROR(db->Execute("PRAGMA writable_schema=1"), kErrInvalidOperation);
  EXPECT_DAO_ERROR(db->Execute("SELECT * FROM Customers"), kErrInvalidOperation);
  EXPECT_DAO_ERROR(db->OpenRecordset("SELECT Nonsense FROM Customers"), kErrUnknownField);
  EXPECT_EQ(db->OpenRecordset("Customers")->RecordCount(), 2);

  // Collections and recordsets report missing items.
  EXPECT_DAO_ERROR(db->TableDefs().Delete("Nowhere"), kErrItemNotFound);
  EXPECT_DAO_ERROR(db->TableDefs().Item("Nowhere"), kErrItemNotFound);
  TableDef dup = db->CreateTableDef("CUSTOMERS");
  dup.AppendField(dup.CreateField("A", dbText));
  EXPECT_DAO_ERROR(db->TableDefs().Append(dup), kErrObjectExists);

  auto rs = db->OpenRecordset("SELECT * FROM Customers WHERE ID = 0");
  EXPECT_TRUE(rs->AtEOF() && rs->AtBOF());
  EXPECT_DAO_ERROR(rs->Field("ID"), kErrNoCurrentRecord);
  EXPECT_DAO_ERROR(rs->MoveNext(), kErrNoCurrentRecord);
  auto all = db->OpenRecordset("SELECT * FROM Customers");
  EXPECT_DAO_ERROR(all->Field("Missing"), kErrItemNotFound);
  db->Close();
  EXPECT_DAO_ERROR(db->Execute("DELETE * FROM Customers"), kErrObjectInvalid);
}

}  // namespace
}  // namespace dao::testing
