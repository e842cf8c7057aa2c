// `vantrel status`: a faithful, read-only report. The tests compare it with what the demo put
// in the files, and prove by snapshots of the whole folder that reading never writes: not the
// front end, not the back ends, and no journal or lock file left behind.
#include <sys/resource.h>

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/cli/CliTestSupport.h"
#include "tests/support/SqliteFiles.h"

namespace fs = std::filesystem;

namespace clitest {
namespace {

TEST(CliStatus, ReportsTheSetAndLinksWhateverBytesThePathsHold) {
  testsupport::TempDir dir;
  // A folder that does not exist yet, named with what JSON and the text report must escape (a
  // quote, a backslash, a tab, a terminal escape, NEL, U+2028, a stray byte, a cut sequence) and
  // non-ASCII text they keep. Every class of byte sequence is the printers' own tests'; here,
  // that both reports use them.
  const std::string folder =
      dir.file("new/Q\"\\\t\x1b[2J\xC2\x85\xE2\x80\xA8 naïve \xFF\xE2\x82 end");
  const std::string shown =
      dir.file("new/Q\"\\\t\\u001b[2J\\u0085\\u2028 naïve \\ufffd\\ufffd\\ufffd end/App/");
  const std::string frontEnd = buildDemo(folder, "healthy");
  // Links another tool wrote with a password: they open, and the password is never shown.
  testsupport::runSql(frontEnd,
                      "UPDATE MSysTableDefs SET Connect = Connect || ';PWD=s3cret' "
                      "WHERE Connect <> ''; UPDATE tblLinkedTables "
                      "SET DatabasePath = DatabasePath || ';PWD=s3cret'");
  fs::permissions(frontEnd, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

  // Read-only and named by a relative path: reported all the same, by its absolute path.
  const Result result = run({"status", "--json", "App/../App/Front.mdb"}, "", {}, folder);
  ASSERT_EQ(result.exitCode, 0) << result.err;
  Flat status = parseJson(result.out);
  EXPECT_EQ(status["frontEnd"], shown + "Front.mdb");
  const std::string sales = ";DATABASE=" + shown + "Data/Sales.mdb;PWD=*****";
  EXPECT_EQ(status["linkSets/0/links/3/table"] + status["linkSets/0/links/3/connect"],
            "Orders" + sales);
  EXPECT_EQ(linked(status, "Orders", "connect") + " " + linked(status, "Orders", "opens"),
            sales + " true");

  // The text report shows the same paths escaped, and neither report holds a character that
  // ends a line for a line splitter or drives a terminal.
  const Result text = run({"status", "App/Front.mdb"}, "", {}, folder);
  ASSERT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("  Orders       ;DATABASE=" + dir.file("new/") +
                          "Q\"\\\\t\\x1b[2J\\u0085\\u2028 naïve \\xff\\xe2\\x82 "
                          "end/App/Data/Sales.mdb;PWD=*****  opens\n"),
            std::string::npos)
      << text.out;
  for (const std::string* out : {&result.out, &text.out}) {
    for (const char* raw : {"\t", "\x1b", "\xC2\x85", "\xE2\x80\xA8", "\xFF"})
      EXPECT_EQ(out->find(raw), std::string::npos) << *out;
  }
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
    // records where the front end was. A table that does not open says why.
    std::string opens;
    for (const std::string table : {"Customers", "Departments", "Employees", "Orders"})
      opens +=
          linked(status, table, "opens") + (linked(status, table, "error") == "null" ? " " : "! ");
    EXPECT_EQ(opens, scenario == "moved"     ? "false! false! false! false! "
                     : scenario == "renamed" ? "false! true true false! "
                                             : "true true true true ");
    EXPECT_EQ(text.out.find("does not open") != std::string::npos,
              opens.find("false") != std::string::npos)
        << text.out;
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

TEST(CliStatus, ASetRowThatCannotBeReadIsReportedOnceAndTheRestGoesOn) {
  // Another tool stored 'yes' as the demo set's ActiveSet (it writes the table without the
  // layer's triggers); a second set, active, holds the same links.
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  addSetOfCurrentLinks(frontEnd, "Backup", true);
  testsupport::runSql(frontEnd,
                      "DROP TRIGGER \"tblLinkedSets.ActiveSet.bool_update\";"
                      "UPDATE tblLinkedSets SET ActiveSet = 'yes' WHERE Name = 'Office'");

  Flat status = statusJson(frontEnd);
  EXPECT_EQ(status["linkSets/0/active"], "null");
  EXPECT_EQ(status["linkSets/0/error"], "ActiveSet: The text 'yes' is not a number. (error 13)");
  EXPECT_EQ(status["linkSets/0/links/3/table"], "Orders");
  EXPECT_EQ(status["linkSets/1/active"], "true");
  EXPECT_NE(run({"status", frontEnd}).out.find("  Office [active unknown, not valid]\n"),
            std::string::npos);

  // The check says once that the row cannot be read, then finds the active set in order.
  const Result check = run({"check", frontEnd, "--ui=console"});
  EXPECT_EQ(check.exitCode, 0) << check.err;
  EXPECT_EQ(check.out,
            "--- MsgBox \"GetActiveSet - 13\" [information] (OK)\n"
            "The link set \"Office\" cannot be read: The text 'yes' is not a number.\n"
            "? (end of input: ok)\n");
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
#ifdef __SANITIZE_ADDRESS__
  const long limitKiB = 160 * 1024;  // the sanitizer's shadow memory and quarantine come on top
#else
  const long limitKiB = 64 * 1024;
#endif
  EXPECT_LT(usage.ru_maxrss, limitKiB) << "largest child, in KiB";
}

}  // namespace
}  // namespace clitest
