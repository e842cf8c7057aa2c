// `vantrel demo`: each scenario leaves exactly the files it describes, the printed command
// names the real front end, and an existing demo is never overwritten.
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "dao/dao.h"
#include "tests/cli/CliTestSupport.h"

namespace fs = std::filesystem;

namespace clitest {
namespace {

// The last line of the demo's output is the command that runs the check.
std::string printedCommand(const std::string& out) {
  std::istringstream lines(out);
  std::string line, last;
  while (std::getline(lines, line)) {
    if (!line.empty())
      last = line;
  }
  return last;
}

TEST(CliDemo, ScenariosLeaveTheFilesTheyDescribe) {
  testsupport::TempDir dir;
  const struct {
    std::string scenario;
    std::vector<std::string> present;
    std::vector<std::string> absent;
  } cases[] = {
      {"healthy", {"App/Front.mdb", "App/Data/Sales.mdb", "App/Data/Staff.mdb"}, {}},
      {"renamed",
       {"App/Front.mdb", "App/Data/Sales-2024.mdb", "App/Data/Staff.mdb"},
       {"App/Data/Sales.mdb"}},
      {"moved",
       {"Moved/App/Front.mdb", "Moved/App/Data/Sales.mdb", "Moved/App/Data/Staff.mdb"},
       {"App"}},
      {"noset", {"App/Front.mdb", "App/Data/Sales.mdb", "App/Data/Staff.mdb"}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scenario);
    const std::string root = dir.mkdir(c.scenario);
    const Result result = run({"demo", root, "--scenario=" + c.scenario});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.err, "");
    for (const auto& p : c.present)
      EXPECT_TRUE(fs::exists(root + "/" + p)) << p;
    for (const auto& p : c.absent)
      EXPECT_FALSE(fs::exists(root + "/" + p)) << p;

    const std::string command = printedCommand(result.out);
    EXPECT_NE(command.find(" check " + root), std::string::npos) << command;
    EXPECT_NE(command.find("/Front.mdb"), std::string::npos) << command;
  }
}

TEST(CliDemo, LinkSetRecordsTheOriginalFrontEndSoAMoveIsNoticed) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "moved");
  const Json status = statusJson(frontEnd);
  ASSERT_EQ(status["linkSets"].size(), 1u);
  EXPECT_EQ(status["linkSets"][0]["frontEndPath"].text, dir.file("App/Front.mdb"));
  EXPECT_TRUE(status["linkSets"][0]["active"].boolean);
  // The links still name the old place, which is gone.
  EXPECT_EQ(linkedTable(status, "Customers")["connect"].text,
            ";DATABASE=" + dir.file("App/Data/Sales.mdb"));
  EXPECT_FALSE(linkedTable(status, "Customers")["opens"].boolean);
}

TEST(CliDemo, BackEndsHoldSampleRows) {
  testsupport::TempDir dir;
  buildDemo(dir.path(), "healthy");
  for (const auto& [file, table] :
       {std::pair{"App/Data/Sales.mdb", "Customers"}, std::pair{"App/Data/Sales.mdb", "Orders"},
        std::pair{"App/Data/Staff.mdb", "Employees"},
        std::pair{"App/Data/Staff.mdb", "Departments"}}) {
    auto db = dao::OpenDatabase(dir.file(file), 0, true);
    auto rs = db->OpenRecordset(std::string("SELECT * FROM ") + table, dao::dbOpenSnapshot);
    EXPECT_GE(rs->RecordCount(), 2) << table;
  }
}

TEST(CliDemo, RefusesAFolderThatAlreadyHoldsADemo) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  const std::string before = treeSnapshot(dir.path());
  EXPECT_TRUE(failedWithOneLine(run({"demo", dir.path()}), "already holds App/"));
  EXPECT_TRUE(
      failedWithOneLine(run({"demo", dir.path(), "--scenario", "moved"}), "already holds App/"));
  EXPECT_EQ(treeSnapshot(dir.path()), before);

  // A folder where the moved demo would land is refused too, before anything is built.
  const std::string other = dir.mkdir("other");
  fs::create_directories(other + "/Moved/App");
  EXPECT_TRUE(failedWithOneLine(run({"demo", other, "--scenario", "moved"}), "Moved/App"));
  EXPECT_FALSE(fs::exists(other + "/App"));
}

TEST(CliDemo, RefusesAFileAsTheFolder) {
  testsupport::TempDir dir;
  const std::string file = dir.file("plain");
  std::ofstream(file) << "x";
  EXPECT_TRUE(failedWithOneLine(run({"demo", file}), "not a folder"));
}

TEST(CliDemo, WithoutAFolderBuildsInAFreshTemporaryFolder) {
  testsupport::TempDir tmp;
  const Result first = run({"demo"}, "", {{"TMPDIR=" + tmp.path()}, ""});
  const Result second = run({"demo", "--scenario", "healthy"}, "", {{"TMPDIR=" + tmp.path()}, ""});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  ASSERT_EQ(second.exitCode, 0) << second.err;
  std::vector<fs::path> made;
  for (const auto& entry : fs::directory_iterator(tmp.path()))
    made.push_back(entry.path());
  ASSERT_EQ(made.size(), 2u);
  for (const auto& folder : made)
    EXPECT_TRUE(fs::exists(folder / "App" / "Front.mdb"));
  // The default scenario is the renamed back end.
  EXPECT_NE(first.out.find("Sales-2024.mdb"), std::string::npos) << first.out;
}

TEST(CliDemo, CreatesAMissingFolderWithItsParents) {
  testsupport::TempDir dir;
  const std::string nested = dir.file("a/b/c");
  ASSERT_EQ(run({"demo", nested}).exitCode, 0);
  EXPECT_TRUE(fs::exists(nested + "/App/Front.mdb"));
}

}  // namespace
}  // namespace clitest
