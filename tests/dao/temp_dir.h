// A fresh temporary folder per test, removed with everything in it afterwards, and small
// builders for the database files the suites need.
#pragma once

#include <string>
#include <vector>

#include "dao/dao.h"
#include "tests/support/SqliteFiles.h"
#include "tests/support/TempDir.h"

namespace dao::testing {

using testsupport::plantHotJournal;
using testsupport::runSql;
using testsupport::TempDir;

// Writes raw bytes to a file (damaged and foreign files).
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

// A back end holding the named tables, each with fields ID (Long) and Name (Text) and the
// given number of rows.
void MakeBackEnd(const std::string& path, const std::vector<std::string>& tables, int rows = 2);

// Builds tblLinkedSets and tblLinkedTables with their indexes and relation exactly as the
// component's CreateMissingTables does, through the layer's calls.
void CreateMissingTables(Database& db);

// A second process running dao_lock_helper: it opens the file as asked and reports the error
// number it got (0 for success); with "hold" it keeps the database open until destroyed, with
// "delete" it deletes every row of Customers and reports that error number instead.
class OtherProcess {
 public:
  OtherProcess(const std::string& path, int options, bool readOnly, const char* action = "hold");
  ~OtherProcess();
  OtherProcess(const OtherProcess&) = delete;
  OtherProcess& operator=(const OtherProcess&) = delete;
  int result() const { return result_; }

 private:
  int pid_ = -1;
  int toChild_ = -1;
  int result_ = -1;
};

// ";DATABASE=" followed by the path.
std::string ConnectTo(const std::string& path);

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
