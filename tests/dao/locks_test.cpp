// Shared and exclusive use: advisory locks that one process and two processes both see.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <chrono>

#include "dao/dao.h"
#include "tests/dao/temp_dir.h"

namespace dao::testing {
namespace {

class LocksTest : public ::testing::Test {
 protected:
  void SetUp() override { makeBackEnd(path_, {"Customers"}); }
  TempDir dir_;
  const std::string path_ = dir_.file("be.mdb");
};

TEST_F(LocksTest, ExclusiveUseAgainstAnotherProcess) {
  {
    HeldByAnotherProcess other(path_, kTrue, false);  // holds it exclusively
    ASSERT_EQ(other.result(), 0);
    EXPECT_DAO_ERROR(OpenDatabase(path_), kErrExclusivelyLocked);
    EXPECT_DAO_ERROR(OpenDatabase(path_, 4, true), kErrExclusivelyLocked);
  }
  auto shared = OpenDatabase(path_);  // released when the other process ended
  HeldByAnotherProcess denied(path_, kTrue, true);
  EXPECT_EQ(denied.result(), kErrExclusiveDenied);
  // Only True asks for exclusive use: two copies probing candidates with 4 both get in.
  for (int options : {0, 1, 4}) {
    auto mine = OpenDatabase(path_, options, true);
    EXPECT_FALSE(mine->Exclusive());
    HeldByAnotherProcess sharedToo(path_, options, options != 0);
    EXPECT_EQ(sharedToo.result(), 0) << "options " << options;
  }
}

TEST_F(LocksTest, ProbesDoNotWaitForAnotherWriter) {
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open(path_.c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(
      sqlite3_exec(writer, "BEGIN EXCLUSIVE; DELETE FROM Customers;", nullptr, nullptr, nullptr),
      SQLITE_OK);
  auto start = std::chrono::steady_clock::now();
  EXPECT_DAO_ERROR(OpenDatabase(path_, 4, true), kErrLocked);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  sqlite3_exec(writer, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(writer);
}

TEST_F(LocksTest, ExclusiveAndSharedUseWithinOneProcess) {
  auto first = OpenDatabase(path_, kTrue, true);
  EXPECT_TRUE(first->Exclusive());
  EXPECT_DAO_ERROR(OpenDatabase(path_), kErrExclusivelyLocked);
  first->Close();
  auto a = OpenDatabase(path_);
  auto b = OpenDatabase(path_, 0, true);
  EXPECT_DAO_ERROR(OpenDatabase(path_, kTrue, false), kErrExclusiveDenied);
  a.reset();
  b->Close();
  EXPECT_NO_THROW(OpenDatabase(path_, kTrue, false));
  // A read-only file can be probed by many at once.
  chmod(path_.c_str(), 0444);
  a = OpenDatabase(path_, 4, true);
  EXPECT_EQ(OpenDatabase(path_, 4, true)->OpenRecordset("Customers")->RecordCount(), 2);
}

TEST_F(LocksTest, ClosingOneConnectionKeepsAnotherTransactionLocked) {
  // A write transaction on one Database; another Database of the same file opens and closes
  // meanwhile. Its descriptors must not drop the first one's SQLite locks, or a second process
  // could write in the middle of the transaction.
  auto writer = OpenDatabase(path_);
  writer->BeginTrans();
  writer->Execute("DELETE * FROM Customers WHERE ID = 1");
  OpenDatabase(path_, 0, true)->Close();
  HeldByAnotherProcess other(path_, 0, false, "delete");
  EXPECT_EQ(other.result(), kErrLocked);
  writer->CommitTrans();
  EXPECT_EQ(writer->OpenRecordset("Customers")->RecordCount(), 1);
}

}  // namespace
}  // namespace dao::testing
