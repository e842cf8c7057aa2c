// `vantrel status`: a faithful, read-only report. The tests compare it with what the demo put
// in the files, and prove by snapshots of the whole folder that reading never writes: not the
// front end, not the back ends, and no journal or lock file left behind.
#include <sys/resource.h>

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "dao/dao.h"
#include "tests/cli/CliTestSupport.h"
#include "tests/support/SqliteFiles.h"

namespace fs = std::filesystem;

namespace clitest {
namespace {

TEST(CliStatus, JsonReportsTheSetAndLinksWhateverBytesThePathsHold) {
  testsupport::TempDir dir;
  // A folder that does not exist yet, named with what JSON must escape: a quote, a backslash, a
  // tab, a control character, non-ASCII text, and bytes that start no valid UTF-8 sequence (a
  // stray byte, an overlong form, a surrogate, a code point past U+10FFFF, a cut sequence).
  const std::string name = "Q\"uote\\back\ttab\x01 naïve ";
  const std::string bad = "\xFF\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xE2\x82";
  const std::string folder = dir.file("new/" + name + bad + " end");
  std::string shown = dir.file("new/" + name);  // as the report must show the folder
  for (size_t i = 0; i < bad.size(); ++i)
    shown += "\xEF\xBF\xBD";
  shown += " end";
  const std::string frontEnd = buildDemo(folder, "healthy");
  {
    // Links another tool wrote with a password: they open, and the password is never shown.
    auto db = dao::OpenDatabase(frontEnd);
    db->Execute("UPDATE MSysTableDefs SET Connect = Connect & ';PWD=s3cret' WHERE Connect <> ''");
    db->Execute("UPDATE tblLinkedTables SET DatabasePath = DatabasePath & ';PWD=s3cret'");
  }
  fs::permissions(frontEnd, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  // Read-only and named by a relative path: reported all the same, by its absolute path.
  const Result result = run({"status", "--json", "App/../App/Front.mdb"}, "", {}, folder);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  Flat status = parseJson(result.out);
  EXPECT_EQ(status["frontEnd"], shown + "/App/Front.mdb");
  EXPECT_EQ(status["hasLinkSetTables"], "true");
  EXPECT_EQ(status["linkSets/0/name"], "Office");
  EXPECT_EQ(status["linkSets/0/active"], "true");
  EXPECT_EQ(status["linkSets/0/frontEndPath"], shown + "/App/Front.mdb");
  EXPECT_EQ(status.count("linkSets/1/name"), 0u);

  // Links in table-name order, each with its whole connect string; every linked table opens.
  const std::string sales = ";DATABASE=" + shown + "/App/Data/Sales.mdb;PWD=*****";
  const std::string staff = ";DATABASE=" + shown + "/App/Data/Staff.mdb;PWD=*****";
  const std::pair<std::string, std::string> expected[] = {
      {"Customers", sales}, {"Departments", staff}, {"Employees", staff}, {"Orders", sales}};
  for (size_t i = 0; i < std::size(expected); ++i) {
    const auto& [table, connect] = expected[i];
    const std::string link = "linkSets/0/links/" + std::to_string(i) + "/";
    EXPECT_EQ(status[link + "table"], table);
    EXPECT_EQ(status[link + "connect"], connect);
    EXPECT_EQ(linked(status, table, "sourceTable"), table);
    EXPECT_EQ(linked(status, table, "connect"), connect);
    EXPECT_EQ(linked(status, table, "opens"), "true") << table;
    EXPECT_EQ(linked(status, table, "error"), "null") << table;
  }
  EXPECT_EQ(status.count("linkSets/0/links/4/table") + status.count("linkedTables/4/name"), 0u);
}

TEST(CliStatus, ReportsEveryScenarioWithoutChangingAByte) {
  for (const std::string scenario : {"healthy", "renamed", "moved", "noset"}) {
    SCOPED_TRACE(scenario);
    testsupport::TempDir dir;
    const std::string frontEnd = buildDemo(dir.path(), scenario);
    const std::string before = treeSnapshot(dir.path());
    Flat status = statusJson(frontEnd);
    const Result text = run({"status", frontEnd});
    EXPECT_EQ(treeSnapshot(dir.path()), before);
    EXPECT_EQ(text.exitCode, 0) << text.err;

    // The renamed demo loses the sales back end; the moved one all of them, and its set still
    // records where the front end was.
    bool anyBroken = false;
    for (const std::string table : {"Customers", "Departments", "Employees", "Orders"}) {
      const bool sales = table == "Customers" || table == "Orders";
      const bool opens = !(scenario == "moved" || (scenario == "renamed" && sales));
      anyBroken |= !opens;
      EXPECT_EQ(linked(status, table, "opens"), opens ? "true" : "false") << table;
      const std::string error = linked(status, table, "error");
      EXPECT_EQ(error == "null", opens) << table << ": " << error;
      EXPECT_FALSE(error.empty()) << table;
    }
    EXPECT_EQ(text.out.find("does not open") != std::string::npos, anyBroken) << text.out;
    if (scenario == "moved") {
      EXPECT_EQ(status["linkSets/0/frontEndPath"], dir.file("App/Front.mdb"));
    }

    // Without link-set tables the report says so, and reading does not create them as the
    // start-up check would.
    const bool noset = scenario == "noset";
    EXPECT_EQ(status["hasLinkSetTables"], noset ? "false" : "true");
    EXPECT_EQ(status["linkSets"], noset ? "[]" : "");
    EXPECT_EQ(text.out.find("Link sets: none") != std::string::npos, noset) << text.out;
  }
}

TEST(CliStatus, AHalfWrittenFrontEndAndAHugeBackEndAreReportedPromptly) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  // Every row of a linked table computes a 100 MB value; probes must not read rows.
  testsupport::runSql(
      dir.file("App/Data/Sales.mdb"),
      "ALTER TABLE Customers ADD COLUMN Big BLOB GENERATED ALWAYS AS "
      "(zeroblob(100000000)); WITH RECURSIVE n(x) AS (SELECT 1 UNION ALL SELECT "
      "x + 1 FROM n WHERE x < 40) INSERT INTO Customers(CompanyName) SELECT x FROM n");
  // A program died while committing a change to the front end.
  testsupport::plantHotJournal(frontEnd, "UPDATE tblLinkedSets SET Description = 'changed'");
  const std::string before = treeSnapshot(dir.path());
  const auto start = std::chrono::steady_clock::now();
  const Result text = run({"status", frontEnd});
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("The front end has an unfinished change that the next check will "
                          "complete."),
            std::string::npos)
      << text.out;
  Flat status = statusJson(frontEnd);
  EXPECT_EQ(status["unfinishedChange"], "true");
  EXPECT_EQ(status["linkSets/0/name"], "Office");
  EXPECT_EQ(linked(status, "Customers", "opens"), "true");
  EXPECT_EQ(treeSnapshot(dir.path()), before);  // the report completed nothing

  // The check completes the change, then finds every link healthy.
  EXPECT_EQ(run({"check", frontEnd}).exitCode, 0);
  EXPECT_FALSE(fs::exists(frontEnd + "-journal"));
  EXPECT_EQ(statusJson(frontEnd)["unfinishedChange"], "false");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  struct rusage usage {};
  getrusage(RUSAGE_CHILDREN, &usage);
  EXPECT_LT(usage.ru_maxrss, 64 * 1024) << "largest child, in KiB";
}

}  // namespace
}  // namespace clitest
