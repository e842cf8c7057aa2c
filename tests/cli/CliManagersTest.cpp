// The managers as a user meets them at the console, answered by a script on stdin, the outcome
// read back through `vantrel status`: `vantrel relink` on the demo's renamed back end, `vantrel
// sets` making a set active, `vantrel switch` after the start-up check; and a read-only front end
// refused. (A script that ends before a question never confirms it: the console driver's tests.)
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/CliTestSupport.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

TEST(CliRelink, RepairsTheRenamedBackEndAtTheConsoleAndExitsZero) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  // Done at once while the links still fail: exit 1.
  EXPECT_EQ(run({"relink", frontEnd, "--ui=console"}, "click cmdCancel\n").exitCode, 1);
  const Result result =
      run({"relink", frontEnd, "--ui=console"},
          "click cmdExpand\nclick lsvDatabases 1\nclick cmdOK\nclick cmdCancel\n");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out.rfind("=== frmLinkManager \"Relink Manager\"\n", 0), 0u) << result.out;
  const Flat status = statusJson(frontEnd);
  for (const char* table : {"Customers", "Orders", "Employees", "Departments"})
    EXPECT_EQ(linked(status, table, "opens"), "true") << table;
  EXPECT_EQ(linked(status, "Customers", "connect"),
            ";DATABASE=" + dir.file("App/Data/Sales-2024.mdb"));
}

TEST(CliSets, ASetIsMadeActiveAtTheConsole) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  const Result result = run({"sets", frontEnd, "--ui=console"},
                            "click cmdCreateLinkSet\nclick cmdAddExisting\ntype txtSetName Home\n"
                            "click cmdSetActiveLinkSet\nclick cmdOk\nok\n");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out.find("\n! "), std::string::npos) << result.out;
  Flat status = statusJson(frontEnd);
  EXPECT_EQ(status["linkSets/0/name"] + status["linkSets/0/active"], "Officefalse");
  EXPECT_EQ(status["linkSets/1/name"] + status["linkSets/1/active"] + status["linkSets/1/valid"],
            "Hometruetrue");
  EXPECT_EQ(status["linkSets/1/links/3/table"], "Orders");

  // A read-only front end is refused before anything opens.
  const std::string before = treeSnapshot(dir.path());
  fs::permissions(frontEnd, fs::perms::owner_read);
  EXPECT_TRUE(failedWithOneLine(run({"sets", frontEnd}, "click cmdCreateLinkSet\n"), "read-only"));
  EXPECT_EQ(treeSnapshot(dir.path()), before);
}

TEST(CliSwitch, SwitchesToAnotherSetAtTheConsole) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  fs::copy(dir.file("App/Data"), dir.file("App/Test"));
  const std::string sales = dir.file("App/Test/Sales.mdb"), staff = dir.file("App/Test/Staff.mdb");
  const std::vector<testsupport::Link> links = {
      {"Customers", sales}, {"Orders", sales}, {"Employees", staff}, {"Departments", staff}};
  testsupport::addLinkSet(frontEnd, "Test", "Copies to try things on", false, links);

  const Result result =
      run({"switch", frontEnd, "--ui=console"}, "click lstLinkSets 1\nclick cmdOk\n");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  // The check finds all well, so the window is the first thing shown, on the active set.
  EXPECT_EQ(result.out.rfind("=== frmSwitchSetManager \"", 0), 0u) << result.out;

  Flat status = statusJson(frontEnd);
  EXPECT_EQ(status["linkSets/0/active"] + status["linkSets/1/name"] + status["linkSets/1/active"],
            "falseTesttrue");
  for (const auto& link : links) {
    EXPECT_EQ(linked(status, link.table, "connect"), ";DATABASE=" + link.backEnd);
    EXPECT_EQ(linked(status, link.table, "opens"), "true") << link.table;
  }

  // Read-only, the check says so once; the window never opens and the exit status tells.
  fs::permissions(frontEnd, fs::perms::owner_read);
  const Result refused = run({"switch", frontEnd, "--ui=console"}, "click cmdCancel\n");
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.out.find("--- MsgBox \"Read-Only Front End\""), std::string::npos);
  EXPECT_EQ(refused.out.find("frmSwitchSetManager"), std::string::npos) << refused.out;
}

}  // namespace
}  // namespace clitest
