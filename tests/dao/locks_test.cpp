// Shared and exclusive use: advisory locks that one process and two processes both see.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>

#include "dao/dao.h"
#include "tests/dao/temp_dir.h"

namespace dao::testing {
namespace {

class LocksTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.file("be.mdb");
    MakeBackEnd(path_, {"Customers"});
  }
  TempDir dir_;
  std::string path_;
};

TEST_F(LocksTest, ExclusiveUseAgainstAnotherProcess) {
  {
    OtherProcess other(path_, 1, false);  // holds it exclusively
    ASSERT_EQ(other.result(), 0);
    EXPECT_DAO_ERROR(OpenDatabase(path_), kErrExclusivelyLocked);
    EXPECT_DAO_ERROR(OpenDatabase(path_, 4, true), kErrExclusivelyLocked);
  }
  auto shared = OpenDatabase(path_);  // released when the other process ended
  OtherProcess denied(path_, 4, true);
  EXPECT_EQ(denied.result(), kErrExclusiveDenied);
  OtherProcess sharedToo(path_, 0, false);
  EXPECT_EQ(sharedToo.result(), 0);
}

TEST_F(LocksTest, ExclusiveUseWithinOneProcess) {
  auto first = OpenDatabase(path_, 4, true);
  EXPECT_TRUE(first->Exclusive());
  EXPECT_DAO_ERROR(OpenDatabase(path_), kErrExclusivelyLocked);
  first->Close();
  auto a = OpenDatabase(path_);
  auto b = OpenDatabase(path_, 0, true);
  EXPECT_DAO_ERROR(OpenDatabase(path_, 1, false), kErrExclusiveDenied);
  a.reset();
  b->Close();
  EXPECT_NO_THROW(OpenDatabase(path_, 1, false));
}

TEST_F(LocksTest, ReadOnlyFileCanBeProbedByManyAtOnce) {
  chmod(path_.c_str(), 0444);
  auto a = OpenDatabase(path_, 4, true);
  auto b = OpenDatabase(path_, 4, true);
  EXPECT_EQ(b->OpenRecordset("Customers")->RecordCount(), 2);
}

TEST_F(LocksTest, ClosingOneConnectionKeepsAnotherTransactionLocked) {
  // A write transaction on one Database; another Database of the same file opens and closes
  // meanwhile. Its descriptors must not drop the first one's SQLite locks, or a second process
  // could write in the middle of the transaction.
  auto writer = OpenDatabase(path_);
  writer->BeginTrans();
  writer->Execute("DELETE * FROM Customers WHERE ID = 1");
  OpenDatabase(path_, 0, true)->Close();
  OtherProcess other(path_, 0, false, "delete");
  EXPECT_EQ(other.result(), kErrLocked);
  writer->CommitTrans();
  EXPECT_EQ(writer->OpenRecordset("Customers")->RecordCount(), 1);
}

}  // namespace
}  // namespace dao::testing
