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

std::string Numbered(std::string prefix, int n) {
  prefix += std::to_string(n);
  return prefix;
}

class LinkedTest : public ::testing::Test {
 protected:
  void SetUp() override {
    be_ = dir_.file("be.mdb");
    fe_ = dir_.file("fe.mdb");
    MakeBackEnd(be_, {"Customers", "Order Details"}, 3);
    auto fe = CreateDatabase(fe_);
    CreateMissingTables(*fe);
    Link(*fe, "Customers", be_);
    Link(*fe, "Order Details", be_);
  }
  static void Link(Database& db, const std::string& table, const std::string& backEnd) {
    TableDef def = db.CreateTableDef(table);
    def.SetSourceTableName(table);
    def.SetConnect(ConnectTo(backEnd));
    db.TableDefs().Append(def);
  }
  long Count(Database& db, const std::string& sql) { return db.OpenRecordset(sql)->RecordCount(); }
  TempDir dir_;
  std::string be_, fe_;
};

TEST_F(LinkedTest, LinkedTablesReadByNameAndListInNameOrder) {
  const std::string beBytes = ReadFile(be_);
  {
    auto db = OpenDatabase(fe_);
    std::vector<std::string> names;
    for (const TableDef& def : db->TableDefs())
      names.push_back(def.Name());
    EXPECT_EQ(names,
              (std::vector<std::string>{"Customers", "MSysRelationships", "MSysTableDefs",
                                        "Order Details", "tblLinkedSets", "tblLinkedTables"}));
    EXPECT_EQ(db->TableDefs().Item("customers").Connect(), ConnectTo(be_));
    EXPECT_EQ(db->TableDefs().Item("MSysTableDefs").Attributes(), dbSystemObject);
    EXPECT_EQ(db->TableDefs().Item("tblLinkedSets").Attributes(), dbHiddenObject);
    EXPECT_EQ(Count(*db, "SELECT * FROM Customers"), 3);
    EXPECT_EQ(Count(*db, "SELECT * FROM [Order Details] WHERE Name LIKE '*row 2'"), 1);
    EXPECT_EQ(Count(*db, "[Order Details]"), 3);
    // Linked tables join local ones.
    db->Execute("INSERT INTO tblLinkedSets (Name) VALUES ('Office')");
    db->Execute(
        "INSERT INTO tblLinkedTables (LinkSetID, TableName, DatabasePath) VALUES (1, 'Customers', "
        "'x')");
    EXPECT_EQ(Count(*db,
                    "SELECT c.Name FROM Customers AS c INNER JOIN tblLinkedTables AS t ON "
                    "t.TableName = 'customers' WHERE c.ID = 1"),
              1);
    db->Execute("DELETE * FROM tblLinkedSets");
  }
  // Reading a front end's links, opened read-write or read-only, changes neither the front end
  // nor its back end, byte for byte.
  const std::string feAfterWrites = ReadFile(fe_);
  for (bool readOnly : {false, true}) {
    auto db = OpenDatabase(fe_, 0, readOnly);
    for (const TableDef& def : db->TableDefs()) {
      if (def.Connect().empty())
        continue;
      EXPECT_EQ(Count(*db, "SELECT * FROM " + BracketName(def.Name())), 3);
    }
  }
  EXPECT_EQ(ReadFile(fe_), feAfterWrites);
  EXPECT_EQ(ReadFile(be_), beBytes);
}

TEST_F(LinkedTest, LinkedTablesAreReadOnly) {
  auto db = OpenDatabase(fe_);
  EXPECT_DAO_ERROR(db->Execute("DELETE * FROM Customers"), kErrFileNotWritable);
  EXPECT_DAO_ERROR(db->Execute("INSERT INTO Customers (Name) VALUES ('x')"), kErrFileNotWritable);
  auto rs = db->OpenRecordset("SELECT * FROM Customers");
  EXPECT_DAO_ERROR(rs->Edit(), kErrFileNotWritable);
  EXPECT_DAO_ERROR(rs->Delete(), kErrFileNotWritable);
  EXPECT_EQ(Count(*OpenDatabase(be_), "Customers"), 3);
  // With its back end attached, a table of the back end that is not linked stays invisible.
  db->TableDefs().Delete("Order Details");
  EXPECT_DAO_ERROR(Count(*db, "SELECT * FROM [Order Details]"), kErrTableNotFound);
  EXPECT_DAO_ERROR(db->Execute("DELETE * FROM [Order Details]"), kErrTableNotFound);
}

TEST_F(LinkedTest, AppendChecksTheBackEndAndItsTable) {
  auto db = OpenDatabase(fe_);
  auto attempt = [&](const std::string& name, const std::string& path) {
    TableDef def = db->CreateTableDef(name, 0, name, ConnectTo(path));
    db->TableDefs().Append(def);
  };
  WriteFile(dir_.file("junk.mdb"), std::string(8192, 'x'));
  mkfifo(dir_.file("fifo.mdb").c_str(), 0666);
  EXPECT_DAO_ERROR(attempt("Orders", dir_.file("missing.mdb")), kErrFileNotFound);
  EXPECT_DAO_ERROR(attempt("Orders", be_), kErrObjectNotFound);
  EXPECT_DAO_ERROR(attempt("Orders", dir_.file("junk.mdb")), kErrNotADatabase);
  EXPECT_DAO_ERROR(attempt("Orders", dir_.file("fifo.mdb")), kErrNotADatabase);
  EXPECT_DAO_ERROR(attempt("Customers", be_), kErrObjectExists);
  EXPECT_FALSE(db->TableDefs().Contains("Orders"));
  // A back end of read-only files is fine: back ends are only read.
  MakeBackEnd(dir_.file("ro.mdb"), {"Orders"});
  chmod(dir_.file("ro.mdb").c_str(), 0444);
  attempt("Orders", dir_.file("ro.mdb"));
  EXPECT_EQ(db->TableDefs().Item("Orders").SourceTableName(), "Orders");
  EXPECT_EQ(Count(*db, "SELECT * FROM Orders"), 2);
}

TEST_F(LinkedTest, ExclusiveUseOfTheBackEnd) {
  auto fe = OpenDatabase(fe_);
  {
    // This engine's own exclusive open does not lock its own links out: relinking opens the
    // new back end exclusively, then refreshes the links to it.
    auto mine = OpenDatabase(be_, kTrue, true);
    EXPECT_EQ(Count(*fe, "SELECT * FROM Customers"), 3);
    EXPECT_NO_THROW(fe->TableDefs().Item("Customers").RefreshLink());
  }
  {
    OtherProcess other(be_, kTrue, false);
    ASSERT_EQ(other.result(), 0);
    EXPECT_DAO_ERROR(fe->TableDefs().Item("Customers").RefreshLink(), kErrExclusivelyLocked);
    EXPECT_DAO_ERROR(Count(*fe, "SELECT * FROM [Order Details]"), kErrExclusivelyLocked);
    EXPECT_DAO_ERROR(Count(*fe, "SELECT * FROM Customers"), kErrExclusivelyLocked);
  }
  EXPECT_EQ(Count(*fe, "SELECT * FROM Customers"), 3);
}

TEST_F(LinkedTest, BrokenBackEndsFailWithNumbers) {
  auto db = OpenDatabase(fe_);
  EXPECT_EQ(Count(*db, "SELECT * FROM Customers"), 3);
  // The source table goes away while the front end is open.
  OpenDatabase(be_)->TableDefs().Delete("Order Details");
  EXPECT_DAO_ERROR(Count(*db, "SELECT * FROM [Order Details]"), kErrObjectNotFound);
  EXPECT_DAO_ERROR(db->TableDefs().Item("Order Details").RefreshLink(), kErrObjectNotFound);
  // The back end moves away: an open front end stops serving the old rows.
  std::filesystem::rename(be_, dir_.file("moved.mdb"));
  EXPECT_DAO_ERROR(Count(*db, "SELECT * FROM Customers"), kErrFileNotFound);
  EXPECT_DAO_ERROR(Count(*OpenDatabase(fe_), "SELECT * FROM Customers"), kErrFileNotFound);
  // Another file takes its place: that is what the link now reads.
  MakeBackEnd(be_, {"Customers"}, 5);
  EXPECT_EQ(Count(*db, "SELECT * FROM Customers"), 5);
}

TEST_F(LinkedTest, TablesOfEveryShapeReadThroughALink) {
  // Other tools make tables the layer never would; each must read through a link as it does
  // when opened directly, whole, counted, and probed without reading rows.
  const char* const kShapes[] = {
      "CREATE TABLE T(ID INTEGER PRIMARY KEY)",
      "CREATE TABLE T(ID INTEGER PRIMARY KEY AUTOINCREMENT)",
      "CREATE TABLE T(\"rowid\" INTEGER PRIMARY KEY)",
      "CREATE TABLE T(ID TEXT PRIMARY KEY DEFAULT 'k') WITHOUT ROWID",
      "CREATE TABLE T(A INT DEFAULT 1, G INT GENERATED ALWAYS AS (A * 2))",
      "CREATE TABLE T(A INT DEFAULT 1, G INT GENERATED ALWAYS AS (A * 2) STORED)",
      "CREATE TABLE T(A)",
  };
  auto db = OpenDatabase(fe_);
  int n = 0;
  for (const char* shape : kShapes) {
    SCOPED_TRACE(shape);
    const std::string path = dir_.file(Numbered("shape", n) + ".mdb");
    const std::string name = Numbered("Shape", n++);
    runSql(path, std::string(shape) + "; INSERT INTO T DEFAULT VALUES;");
    TableDef def = db->CreateTableDef(name, 0, "T", ConnectTo(path));
    db->TableDefs().Append(def);
    EXPECT_EQ(Count(*db, "SELECT * FROM " + name), 1);
    EXPECT_EQ(db->OpenRecordset("SELECT count(*) AS n FROM " + name)->Field("n").AsInt32(), 1);
    EXPECT_NO_THROW(db->CheckReadable(name));
  }
  EXPECT_DAO_ERROR(db->CheckReadable("Nowhere"), kErrTableNotFound);
}

TEST_F(LinkedTest, AnEmptySourceNameReadsTheTableOfTheLinksOwnName) {
  // Other tools may leave SourceTableName empty; the link then reads, and names, its own table.
  OpenDatabase(fe_)->Execute(
      "UPDATE MSysTableDefs SET SourceTableName = '' WHERE Name = 'Customers'");
  auto db = OpenDatabase(fe_);
  EXPECT_EQ(db->TableDefs().Item("Customers").SourceTableName(), "Customers");
  EXPECT_EQ(Count(*db, "Customers"), 3);
}

TEST_F(LinkedTest, ProbesAndFirstRowsReadNoMoreThanTheyNeed) {
  // Every row but the first computes a 100 MB value, and SQLite may use 64 MB: a probe or a look
  // at the first row must not read the rest.
  const std::string big = dir_.file("big.mdb");
  runSql(big,
         "CREATE TABLE Big(ID INTEGER PRIMARY KEY, B BLOB GENERATED ALWAYS AS "
         "(CASE WHEN ID > 1 THEN zeroblob(100000000) END)); WITH RECURSIVE n(x) AS (SELECT 1 "
         "UNION ALL SELECT x + 1 FROM n WHERE x < 40) INSERT INTO Big(ID) SELECT x FROM n;");
  auto db = OpenDatabase(fe_);
  Link(*db, "Big", big);
  const sqlite3_int64 limit = sqlite3_hard_heap_limit64(64 << 20);
  auto direct = OpenDatabase(big, 4, true);
  for (Database* source : {db.get(), direct.get()}) {
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
  const std::string bytes = ReadFile(wal);
  auto db = OpenDatabase(fe_);
  Link(*db, "T", wal);
  EXPECT_EQ(Count(*db, "T"), 1);
  EXPECT_EQ(Count(*OpenDatabase(wal, 4, true), "T"), 1);
  EXPECT_EQ(Count(*OpenDatabaseAsItStands(wal), "T"), 1);
  EXPECT_FALSE(std::filesystem::exists(wal + "-wal"));
  EXPECT_FALSE(std::filesystem::exists(wal + "-shm"));
  EXPECT_EQ(ReadFile(wal), bytes);
  // Once another program has it open in WAL mode, a probe and the link read its newest rows.
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(wal.c_str(), &writer), SQLITE_OK);
  sqlite3_exec(writer, "INSERT INTO T(N) VALUES ('b')", nullptr, nullptr, nullptr);
  EXPECT_EQ(Count(*OpenDatabase(wal, 4, true), "T"), 2);
  EXPECT_EQ(Count(*db, "T"), 2);
  sqlite3_close(writer);
}

TEST_F(LinkedTest, SetConnectPointsTheLinkElsewhere) {
  MakeBackEnd(dir_.file("other.mdb"), {"Customers"}, 7);
  auto db = OpenDatabase(fe_);
  EXPECT_EQ(Count(*db, "Customers"), 3);
  TableDef def = db->TableDefs().Item("Customers");
  def.SetConnect(ConnectTo(dir_.file("other.mdb")));
  def.RefreshLink();
  EXPECT_EQ(Count(*db, "Customers"), 7);
  EXPECT_EQ(OpenDatabase(fe_)->TableDefs().Item("Customers").Connect(),
            ConnectTo(dir_.file("other.mdb")));
  TableDef local = db->TableDefs().Item("tblLinkedSets");
  EXPECT_DAO_ERROR(local.RefreshLink(), kErrInvalidOperation);
  EXPECT_DAO_ERROR(local.SetConnect(ConnectTo(be_)), kErrInvalidOperation);
  db->Close();
  EXPECT_DAO_ERROR(def.SetConnect(ConnectTo(be_)), kErrObjectInvalid);
}

TEST_F(LinkedTest, MoreBackEndsThanOneConnectionAttaches) {
  auto db = OpenDatabase(fe_);
  const int kBackEnds = 14;
  for (int i = 0; i < kBackEnds; ++i) {
    std::string path = dir_.file(Numbered("be", i) + ".mdb");
    MakeBackEnd(path, {Numbered("T", i)}, i + 1);
    Link(*db, Numbered("T", i), path);
  }
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < kBackEnds; ++i) {
      int k = round == 0 ? i : kBackEnds - 1 - i;
      EXPECT_EQ(Count(*db, "SELECT * FROM " + Numbered("T", k)), k + 1);
    }
  }
  // One statement over several back ends, some attached long ago.
  EXPECT_EQ(Count(*db, "SELECT * FROM T0, T13, T5, Customers"), 1 * 14 * 6 * 3);
}

TEST_F(LinkedTest, RelinkingInsideATransactionRollsBack) {
  MakeBackEnd(dir_.file("new.mdb"), {"Customers", "Order Details"}, 4);
  auto db = OpenDatabase(fe_);
  EXPECT_EQ(Count(*db, "Customers"), 3);
  db->BeginTrans();
  for (int i = db->TableDefs().Count() - 1; i >= 0; --i) {
    TableDef def = db->TableDefs().Item(i);
    if (!def.Connect().empty())
      db->TableDefs().Delete(def.Name());
  }
  Link(*db, "Customers", dir_.file("new.mdb"));
  Link(*db, "Order Details", dir_.file("new.mdb"));
  EXPECT_EQ(Count(*db, "Customers"), 4);
  db->Rollback();
  EXPECT_EQ(db->TableDefs().Item("Customers").Connect(), ConnectTo(be_));
  EXPECT_EQ(Count(*db, "Customers"), 3);
  db->BeginTrans();
  db->TableDefs().Delete("Customers");
  Link(*db, "Customers", dir_.file("new.mdb"));
  db->CommitTrans();
  EXPECT_EQ(Count(*OpenDatabase(fe_), "Customers"), 4);
}

TEST_F(LinkedTest, RepeatedUseKeepsDescriptorsBounded) {
  // Descriptors the layer opens on a file in use are parked, not closed (closing would drop
  // SQLite's locks); they must be reused rather than pile up over a long session.
  auto openDescriptors = [] {
    return std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                         std::filesystem::directory_iterator());
  };
  auto db = OpenDatabase(fe_);
  Count(*db, "Customers");
  const auto before = openDescriptors();
  for (int i = 0; i < 200; ++i) {
    Count(*db, "Customers");
    db->TableDefs().Item("Customers").RefreshLink();
    OpenDatabase(fe_, 0, true)->Close();
  }
  EXPECT_LE(openDescriptors(), before + 3);
}

}  // namespace
}  // namespace dao::testing
