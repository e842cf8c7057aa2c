// `vantrel status`: a faithful, read-only report. The tests compare it with what the demo put
// in the files, and prove by snapshots of the whole folder that reading never writes: not the
// front end, not the back ends, and no journal or lock file left behind.
#include <sqlite3.h>
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

TEST(CliStatus, ReportsTheSetAndLinksWhateverBytesThePathsHold) {
  testsupport::TempDir dir;
  // A folder that does not exist yet, named with what JSON and the text report must escape: a
  // quote, a backslash, a tab, control characters (a vertical tab that line splitters take for a
  // line end, a terminal escape, NEL, U+2028), non-ASCII text, and bytes that start no valid
  // UTF-8 sequence (a stray byte, an overlong form, a surrogate, past U+10FFFF, a cut sequence).
  const std::string name = "Q\"uote\\back\ttab\x01\v\x1b[2J\xC2\x85\xE2\x80\xA8 naïve ";
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

  // The text report shows the same paths escaped.
  const Result text = run({"status", "App/Front.mdb"}, "", {}, folder);
  ASSERT_EQ(text.exitCode, 0) << text.err;
  const std::string escaped = dir.file("new/") +
                              "Q\"uote\\back\\ttab\\x01\\x0b\\x1b[2J\\u0085\\u2028 naïve "
                              "\\xff\\xc0\\xaf\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80\\xe2\\x82 end";
  EXPECT_NE(text.out.find("Front end: " + escaped + "/App/Front.mdb\n"), std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("    Recorded front end: " + escaped + "/App/Front.mdb\n"),
            std::string::npos);
  EXPECT_NE(text.out.find("  Orders       ;DATABASE=" + escaped +
                          "/App/Data/Sales.mdb;PWD=*****  opens\n"),
            std::string::npos);
  // Neither report holds a character that ends a line for a line splitter or drives a terminal.
  for (const std::string* out : {&result.out, &text.out}) {
    for (const char* raw : {"\t", "\x01", "\v", "\x1b", "\xC2\x85", "\xE2\x80\xA8", "\xFF"})
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

TEST(CliStatus, ASetRowThatCannotBeReadIsReportedOnceAndTheRestGoesOn) {
  // Another tool stored 'yes' as the demo set's ActiveSet (it writes the table without the
  // layer's triggers); a second set, active, holds the same links.
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  std::vector<testsupport::Link> links;
  for (const auto& def : testsupport::linkedDefs(frontEnd))
    links.push_back({def.name, def.connect.substr(std::string(";DATABASE=").size())});
  testsupport::addLinkSet(frontEnd, "Backup", "A copy", true, links, frontEnd);
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open(frontEnd.c_str(), &raw), SQLITE_OK);
  const int written =
      sqlite3_exec(raw,
                   "DROP TRIGGER \"tblLinkedSets.ActiveSet.bool_update\";"
                   "UPDATE tblLinkedSets SET ActiveSet = 'yes' WHERE Name = 'Office'",
                   nullptr, nullptr, nullptr);
  sqlite3_close(raw);
  ASSERT_EQ(written, SQLITE_OK);

  Flat status = statusJson(frontEnd);
  EXPECT_EQ(status["linkSets/0/name"], "Office");
  EXPECT_EQ(status["linkSets/0/active"], "null");
  EXPECT_EQ(status["linkSets/0/error"], "ActiveSet: The text 'yes' is not a number. (error 13)");
  EXPECT_EQ(status["linkSets/0/links/3/table"], "Orders");
  EXPECT_EQ(status["linkSets/1/active"], "true");
  EXPECT_EQ(status["linkSets/1/error"], "null");
  const Result text = run({"status", frontEnd});
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("  Office [active unknown, not valid]\n"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("\n    Cannot be read:     ActiveSet: The text 'yes'"),
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
