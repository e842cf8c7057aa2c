// Linked tables: validation on append, reading by name through the front end, back ends that
// move, change or multiply beyond what one SQLite connection attaches.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>

#include "dao/dao.h"
#include "tests/dao/temp_dir.h"

namespace dao::testing {
namespace {

class LinkedTest : public FrontEndTest {
 protected:
  void SetUp() override {
    FrontEndTest::SetUp();
    makeBackEnd(be_, {"Customers", "Order Details"}, 3);
    AppendLink(*db_, "Customers", be_);
    AppendLink(*db_, "Order Details", be_);
  }
  const std::string be_ = dir_.file("be.mdb");
};

TEST_F(LinkedTest, LinkedTablesReadByNameAndListInNameOrder) {
  const std::string beBytes = fileBytes(be_);
  std::vector<std::string> names;
  for (const TableDef& def : db_->TableDefs())
    names.push_back(def.Name());
  EXPECT_EQ(names, (std::vector<std::string>{"Customers", "MSysRelationships", "MSysTableDefs",
                                             "Order Details", "tblLinkedSets", "tblLinkedTables"}));
  EXPECT_EQ(db_->TableDefs().Item("customers").Connect(), ConnectTo(be_));
  EXPECT_EQ(db_->TableDefs().Item("MSysTableDefs").Attributes(), dbSystemObject);
  EXPECT_EQ(Count("[Order Details]"), 3);
  // Linked tables join local ones.
  db_->Execute("INSERT INTO tblLinkedSets (Name) VALUES ('Office')");
  EXPECT_EQ(Count("SELECT c.Name FROM Customers AS c INNER JOIN tblLinkedSets AS s ON "
                  "s.Name = 'office' WHERE c.ID = 1"),
            1);
  // Reading a front end's links, opened read-write or read-only, changes neither the front end
  // nor its back end, byte for byte.
  const std::string feAfterWrites = fileBytes(fe_);
  for (bool readOnly : {false, true}) {
    auto db = OpenDatabase(fe_, 0, readOnly);
    for (const TableDef& def : db->TableDefs()) {
      if (def.Connect().empty())
        continue;
      EXPECT_EQ(Count(*db, "SELECT * FROM " + BracketName(def.Name())), 3);
    }
  }
  EXPECT_EQ(fileBytes(fe_), feAfterWrites);
  EXPECT_EQ(fileBytes(be_), beBytes);
}

TEST_F(LinkedTest, LinkedTablesAreReadOnly) {
  EXPECT_DAO_ERROR(db_->Execute("DELETE * FROM Customers"), kErrFileNotWritable);
  auto rs = db_->OpenRecordset("SELECT * FROM Customers");
  EXPECT_DAO_ERROR(rs->Edit(), kErrFileNotWritable);
  EXPECT_EQ(Count(*OpenDatabase(be_), "Customers"), 3);
  // With its back end attached, a table of the back end that is not linked stays invisible.
  db_->TableDefs().Delete("Order Details");
  EXPECT_DAO_ERROR(Count("SELECT * FROM [Order Details]"), kErrTableNotFound);
  EXPECT_DAO_ERROR(db_->Execute("DELETE * FROM [Order Details]"), kErrTableNotFound);
}

TEST_F(LinkedTest, SourceTablesAreCheckedOnAppendAndAnEmptyOneIsTheLinksOwn) {
  WriteFile(dir_.file("junk.mdb"), std::string(8192, 'x'));
  EXPECT_DAO_ERROR(AppendLink(*db_, "Orders", dir_.file("missing.mdb")), kErrFileNotFound);
  EXPECT_DAO_ERROR(AppendLink(*db_, "Orders", be_), kErrObjectNotFound);
  EXPECT_DAO_ERROR(AppendLink(*db_, "Orders", dir_.file("junk.mdb")), kErrNotADatabase);
  EXPECT_DAO_ERROR(AppendLink(*db_, "Customers", be_), kErrObjectExists);
  EXPECT_FALSE(db_->TableDefs().Contains("Orders"));
  // A back end of read-only files is fine: back ends are only read.
  makeBackEnd(dir_.file("ro.mdb"), {"Orders"});
  chmod(dir_.file("ro.mdb").c_str(), 0444);
  AppendLink(*db_, "Orders", dir_.file("ro.mdb"));
  EXPECT_EQ(db_->TableDefs().Item("Orders").SourceTableName(), "Orders");
  EXPECT_EQ(Count("SELECT * FROM Orders"), 2);
  // Other tools may leave SourceTableName empty; the link then reads, and names, its own table.
  OpenDatabase(fe_)->Execute(
      "UPDATE MSysTableDefs SET SourceTableName = '' WHERE Name = 'Customers'");
  auto db = OpenDatabase(fe_);
  EXPECT_EQ(db->TableDefs().Item("Customers").SourceTableName(), "Customers");
  EXPECT_EQ(Count(*db, "Customers"), 3);
}

TEST_F(LinkedTest, ExclusiveUseOfTheBackEnd) {
  {
    // This engine's own exclusive open does not lock its own links out: relinking opens the
    // new back end exclusively, then refreshes the links to it.
    auto mine = OpenDatabase(be_, kTrue, true);
    EXPECT_EQ(Count("SELECT * FROM Customers"), 3);
    EXPECT_NO_THROW(db_->TableDefs().Item("Customers").RefreshLink());
  }
  {
    HeldByAnotherProcess other(be_, kTrue, false);
    ASSERT_EQ(other.result(), 0);
    EXPECT_DAO_ERROR(db_->TableDefs().Item("Customers").RefreshLink(), kErrExclusivelyLocked);
    EXPECT_DAO_ERROR(Count("SELECT * FROM [Order Details]"), kErrExclusivelyLocked);
    EXPECT_DAO_ERROR(Count("SELECT * FROM Customers"), kErrExclusivelyLocked);
  }
  EXPECT_EQ(Count("SELECT * FROM Customers"), 3);
}

TEST_F(LinkedTest, BrokenBackEndsFailWithNumbers) {
  EXPECT_EQ(Count("SELECT * FROM Customers"), 3);
  // The source table goes away while the front end is open.
  OpenDatabase(be_)->TableDefs().Delete("Order Details");
  EXPECT_DAO_ERROR(Count("SELECT * FROM [Order Details]"), kErrObjectNotFound);
  EXPECT_DAO_ERROR(db_->TableDefs().Item("Order Details").RefreshLink(), kErrObjectNotFound);
  // The back end moves away: an open front end stops serving the old rows.
  std::filesystem::rename(be_, dir_.file("moved.mdb"));
  EXPECT_DAO_ERROR(Count("SELECT * FROM Customers"), kErrFileNotFound);
  EXPECT_DAO_ERROR(Count(*OpenDatabase(fe_), "SELECT * FROM Customers"), kErrFileNotFound);
  // Another file takes its place: that is what the link now reads.
  makeBackEnd(be_, {"Customers"}, 5);
  EXPECT_EQ(Count("SELECT * FROM Customers"), 5);
}

TEST_F(LinkedTest, TablesOfEveryShapeReadThroughALink) {
  // Other tools make tables the layer never would; each must read through a link as it does
  // when opened directly, whole, counted, and probed without reading rows.
  const char* const kShapes[] = {
      "CREATE TABLE T(ID INTEGER PRIMARY KEY AUTOINCREMENT)",
      "CREATE TABLE T(\"rowid\" INTEGER PRIMARY KEY)",
      "CREATE TABLE T(ID TEXT PRIMARY KEY DEFAULT 'k') WITHOUT ROWID",
      "CREATE TABLE T(A INT DEFAULT 1, G INT GENERATED ALWAYS AS (A * 2))",
      "CREATE TABLE T(A INT DEFAULT 1, G INT GENERATED ALWAYS AS (A * 2) STORED)",
      "CREATE TABLE T(A)",
  };
  int n = 0;
  for (const char* shape : kShapes) {
    SCOPED_TRACE(shape);
    const std::string name = "Shape" + std::to_string(n++), path = dir_.file(name + ".mdb");
    runSql(path, std::string(shape) + "; INSERT INTO T DEFAULT VALUES;");
    AppendLink(*db_, name, path, "T");
    EXPECT_EQ(Count("SELECT * FROM " + name), 1);
    EXPECT_EQ(db_->OpenRecordset("SELECT count(*) AS n FROM " + name)->Field("n").AsInt32(), 1);
    EXPECT_NO_THROW(db_->CheckReadable(name));
  }
  EXPECT_DAO_ERROR(db_->CheckReadable("Nowhere"), kErrTableNotFound);
}

TEST_F(LinkedTest, ProbesAndFirstRowsReadNoMoreThanTheyNeed) {
  // Every row but the first computes a 100 MB value, and SQLite may use 64 MB: a probe or a look
  // at the first row must not read the rest.
  const std::string big = dir_.file("big.mdb");
  runSql(big,
         "CREATE TABLE Big(ID INTEGER PRIMARY KEY, B BLOB GENERATED ALWAYS AS "
         "(CASE WHEN ID > 1 THEN zeroblob(100000000) END)); WITH RECURSIVE n(x) AS (SELECT 1 "
         "UNION ALL SELECT x + 1 FROM n WHERE x < 40) INSERT INTO Big(ID) SELECT x FROM n;");
  AppendLink(*db_, "Big", big);
  const sqlite3_int64 limit = sqlite3_hard_heap_limit64(64 << 20);
  auto direct = OpenDatabase(big, 4, true);
  for (Database* source : {db_.get(), direct.get()}) {
    auto rs = source->OpenRecordset("SELECT * FROM Big ORDER BY ID", dbOpenSnapshot);
    EXPECT_EQ(rs->Field("ID").AsInt32(), 1);
    rs->Close();
    EXPECT_NO_THROW(source->CheckReadable("Big"));
  }
  sqlite3_hard_heap_limit64(limit);
}

TEST_F(LinkedTest, ReadingAWalFileLeavesNothingBesideIt) {
  const std::string wal = dir_.file("wal.mdb");
  runSql(wal,
         "PRAGMA journal_mode=WAL; CREATE TABLE T(ID INTEGER PRIMARY KEY, N TEXT); "
         "INSERT INTO T(N) VALUES ('a');");
  const std::string bytes = fileBytes(wal);
  AppendLink(*db_, "T", wal);
  EXPECT_EQ(Count("T"), 1);
  EXPECT_EQ(Count(*OpenDatabase(wal, 4, true), "T"), 1);
  EXPECT_EQ(Count(*OpenDatabaseAsItStands(wal), "T"), 1);
  EXPECT_FALSE(std::filesystem::exists(wal + "-wal"));
  EXPECT_FALSE(std::filesystem::exists(wal + "-shm"));
  EXPECT_EQ(fileBytes(wal), bytes);
  // Once another program has it open in WAL mode, a probe and the link read its newest rows.
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(wal.c_str(), &writer), SQLITE_OK);
  sqlite3_exec(writer, "INSERT INTO T(N) VALUES ('b')", nullptr, nullptr, nullptr);
  EXPECT_EQ(Count(*OpenDatabase(wal, 4, true), "T"), 2);
  EXPECT_EQ(Count("T"), 2);
  sqlite3_close(writer);
}

TEST_F(LinkedTest, MoreBackEndsThanOneConnectionAttaches) {
  const int kBackEnds = 14;
  for (int i = 0; i < kBackEnds; ++i) {
    const std::string table = "T" + std::to_string(i), path = dir_.file(table + ".mdb");
    makeBackEnd(path, {table}, i + 1);
    AppendLink(*db_, table, path);
  }
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < kBackEnds; ++i) {
      int k = round == 0 ? i : kBackEnds - 1 - i;
      EXPECT_EQ(Count("SELECT * FROM T" + std::to_string(k)), k + 1);
    }
  }
  // One statement over several back ends, some attached long ago.
  EXPECT_EQ(Count("SELECT * FROM T0, T13, T5, Customers"), 1 * 14 * 6 * 3);
}

TEST_F(LinkedTest, RelinkingInsideATransactionRollsBackOrCommits) {
  const std::string other = dir_.file("new.mdb");
  makeBackEnd(other, {"Customers", "Order Details"}, 4);
  EXPECT_EQ(Count("Customers"), 3);
  // Every link replaced, then given up.
  db_->BeginTrans();
  for (int i = db_->TableDefs().Count() - 1; i >= 0; --i) {
    TableDef def = db_->TableDefs().Item(i);
    if (!def.Connect().empty())
      db_->TableDefs().Delete(def.Name());
  }
  AppendLink(*db_, "Customers", other);
  AppendLink(*db_, "Order Details", other);
  EXPECT_EQ(Count("Customers"), 4);
  db_->Rollback();
  EXPECT_EQ(db_->TableDefs().Item("Customers").Connect(), ConnectTo(be_));
  EXPECT_EQ(Count("Customers"), 3);
  // A link pointed elsewhere in place, and kept.
  db_->BeginTrans();
  TableDef def = db_->TableDefs().Item("Customers");
  def.SetConnect(ConnectTo(other));
  def.RefreshLink();
  db_->CommitTrans();
  EXPECT_EQ(Count("Customers"), 4);
  EXPECT_EQ(OpenDatabase(fe_)->TableDefs().Item("Customers").Connect(), ConnectTo(other));
  TableDef local = db_->TableDefs().Item("tblLinkedSets");
  EXPECT_DAO_ERROR(local.RefreshLink(), kErrInvalidOperation);
  EXPECT_DAO_ERROR(local.SetConnect(ConnectTo(be_)), kErrInvalidOperation);
  db_->Close();
  EXPECT_DAO_ERROR(def.SetConnect(ConnectTo(be_)), kErrObjectInvalid);
}

TEST_F(LinkedTest, RepeatedUseKeepsDescriptorsBounded) {
  // Descriptors the layer opens on a file in use are parked, not closed (closing would drop
  // SQLite's locks); they must be reused rather than pile up over a long session.
  auto openDescriptors = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator());
  };
  Count("Customers");
  const auto before = openDescriptors();
  for (int i = 0; i < 200; ++i) {
    Count("Customers");
    db_->TableDefs().Item("Customers").RefreshLink();
    OpenDatabase(fe_, 0, true)->Close();
  }
  EXPECT_LE(openDescriptors(), before + 3);
}

}  // namespace
}  // namespace dao::testing
