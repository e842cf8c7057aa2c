// What the database layer's suites share: the builders of tests/support (back ends, front ends
// whose link-set tables the component itself builds, file bytes), a fixture around such a front
// end, and a check that a statement fails with a number.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "dao/dao.h"
#include "engine/Engine.h"
#include "tests/support/Fixtures.h"
#include "tests/support/SqliteFiles.h"

namespace dao::testing {

using orvanta::CreateMissingTables;
using testsupport::fileBytes;
using testsupport::HeldByAnotherProcess;
using testsupport::makeBackEnd;
using testsupport::plantHotJournal;
using testsupport::runSql;
using testsupport::TempDir;

inline std::string ConnectTo(const std::string& path) {
  return orvanta::connectString(path);
}

// Writes raw bytes to a file (damaged and foreign files).
void WriteFile(const std::string& path, const std::string& bytes);

// A new front end at path holding only the link-set tables and their relation.
std::unique_ptr<Database> MakeLinkSetFrontEnd(const std::string& path);

// Appends, through db, the link name -> backEnd's source table (default: name).
void AppendLink(Database& db, const std::string& name, const std::string& backEnd,
                const std::string& source = "");

// A fresh front end holding only the link-set tables, open as db_.
class FrontEndTest : public ::testing::Test {
 protected:
  void SetUp() override { db_ = MakeLinkSetFrontEnd(fe_); }
  static long Count(Database& db, const std::string& sql) {
    return db.OpenRecordset(sql)->RecordCount();
  }
  long Count(const std::string& sql) { return Count(*db_, sql); }
  TempDir dir_;
  const std::string fe_ = dir_.file("fe.mdb");
  std::unique_ptr<Database> db_;
};

}  // namespace dao::testing

// Expects the statement to throw dao::Error with the number.
#define EXPECT_DAO_ERROR(statement, number)                         \
  do {                                                              \
    int dao_error_number_ = 0;                                      \
    try {                                                           \
      statement;                                                    \
    } catch (const ::dao::Error& dao_error_) {                      \
      dao_error_number_ = dao_error_.Number();                      \
    }                                                               \
    EXPECT_EQ(dao_error_number_, number) << "from: " << #statement; \
  } while (0)
