// `vantrel status`: a faithful, read-only report. The tests compare it with what the demo put
// in the files, and prove by snapshots of the whole folder that reading never writes: not the
// front end, not the back ends, and no journal or lock file left behind.
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/cli/CliTestSupport.h"

namespace fs = std::filesystem;

namespace clitest {
namespace {

std::string connectTo(const std::string& path) {
  return ";DATABASE=" + path;
}

TEST(CliStatus, JsonReportsTheLinkSetAndLinkedTablesOfAHealthyFrontEnd) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  const std::string sales = dir.file("App/Data/Sales.mdb");
  const std::string staff = dir.file("App/Data/Staff.mdb");

  const Json status = statusJson(frontEnd);
  EXPECT_EQ(status["frontEnd"].text, frontEnd);
  EXPECT_TRUE(status["hasLinkSetTables"].boolean);
  ASSERT_EQ(status["linkSets"].size(), 1u);
  const Json& office = status["linkSets"][0];
  EXPECT_EQ(office["name"].text, "Office");
  EXPECT_FALSE(office["description"].text.empty());
  EXPECT_TRUE(office["active"].boolean);
  EXPECT_EQ(office["valid"].type, Json::Type::Bool);
  EXPECT_EQ(office["frontEndPath"].text, frontEnd);

  // Links in table-name order, each with its whole connect string.
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"Customers", sales}, {"Departments", staff}, {"Employees", staff}, {"Orders", sales}};
  ASSERT_EQ(office["links"].size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(office["links"][i]["table"].text, expected[i].first);
    EXPECT_EQ(office["links"][i]["connect"].text, connectTo(expected[i].second));
  }

  ASSERT_EQ(status["linkedTables"].size(), 4u);
  for (const auto& [name, backEnd] : expected) {
    SCOPED_TRACE(name);
    const Json& table = linkedTable(status, name);
    EXPECT_EQ(table["sourceTable"].text, name);
    EXPECT_EQ(table["connect"].text, connectTo(backEnd));
    EXPECT_TRUE(table["opens"].boolean);
    EXPECT_EQ(table["error"].type, Json::Type::Null);
  }
  // The report agrees with what the database layer itself reads from the front end.
  for (const auto& def : testsupport::linkedDefs(frontEnd)) {
    EXPECT_EQ(linkedTable(status, def.name)["connect"].text, def.connect);
  }
}

TEST(CliStatus, BrokenLinksAreReportedAsNotOpeningWithTheReason) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  const Json status = statusJson(frontEnd);
  for (const std::string name : {"Customers", "Orders"}) {
    const Json& table = linkedTable(status, name);
    EXPECT_FALSE(table["opens"].boolean) << name;
    EXPECT_EQ(table["error"].type, Json::Type::String);
    EXPECT_FALSE(table["error"].text.empty());
  }
  for (const std::string name : {"Employees", "Departments"}) {
    EXPECT_TRUE(linkedTable(status, name)["opens"].boolean) << name;
  }

  const Result text = run({"status", frontEnd});
  EXPECT_EQ(text.exitCode, 0) << text.err;
  EXPECT_NE(text.out.find("Office [active"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("does not open"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find(connectTo(dir.file("App/Data/Staff.mdb"))), std::string::npos);
}

TEST(CliStatus, FrontEndWithoutLinkSetTablesReportsNoSetsAndGetsNone) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "noset");
  const std::string before = treeSnapshot(dir.path());

  const Json status = statusJson(frontEnd);
  EXPECT_FALSE(status["hasLinkSetTables"].boolean);
  EXPECT_EQ(status["linkSets"].size(), 0u);
  EXPECT_EQ(status["linkedTables"].size(), 4u);

  const Result text = run({"status", frontEnd});
  EXPECT_EQ(text.exitCode, 0);
  EXPECT_NE(text.out.find("Link sets: none"), std::string::npos) << text.out;
  // Reading must not have created the link-set tables, as the start-up check would.
  EXPECT_EQ(treeSnapshot(dir.path()), before);
}

TEST(CliStatus, LeavesEveryFileByteForByteUnchanged) {
  for (const std::string scenario : {"healthy", "renamed", "moved", "noset"}) {
    SCOPED_TRACE(scenario);
    testsupport::TempDir dir;
    const std::string frontEnd = buildDemo(dir.path(), scenario);
    const std::string bytes = testsupport::fileBytes(frontEnd);
    const std::string before = treeSnapshot(dir.path());
    EXPECT_EQ(run({"status", frontEnd}).exitCode, 0);
    EXPECT_EQ(run({"status", "--json", frontEnd}).exitCode, 0);
    EXPECT_EQ(testsupport::fileBytes(frontEnd), bytes);
    EXPECT_EQ(treeSnapshot(dir.path()), before);
  }
}

TEST(CliStatus, ReadOnlyFrontEndCanStillBeReported) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  fs::permissions(frontEnd, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const Json status = statusJson(frontEnd);
  EXPECT_EQ(status["linkSets"].size(), 1u);
  EXPECT_TRUE(linkedTable(status, "Orders")["opens"].boolean);
}

TEST(CliStatus, PathsWithQuotesBackslashesAndNonAsciiStayValidJson) {
  testsupport::TempDir dir;
  const std::string odd = dir.mkdir("Q\"uote\\back tab\tnaïve");
  const std::string frontEnd = buildDemo(odd, "healthy");
  const Json status = statusJson(frontEnd);
  EXPECT_EQ(status["frontEnd"].text, frontEnd);
  EXPECT_EQ(linkedTable(status, "Customers")["connect"].text,
            connectTo(odd + "/App/Data/Sales.mdb"));
}

TEST(CliStatus, RelativeFrontEndIsReportedByItsAbsolutePath) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  const Result result = run({"status", "--json", "App/../App/Front.mdb"}, "", {{}, dir.path()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(parseJson(result.out)["frontEnd"].text, frontEnd);
}

}  // namespace
}  // namespace clitest
