// `vantrel switch` as a user meets it: the start-up check, then the Switch Set Manager at the
// console, answered by a script on stdin; the outcome read back through `vantrel status`.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/CliTestSupport.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

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
  EXPECT_NE(result.out.find("    1 * Test\n"), std::string::npos) << result.out;
  EXPECT_TRUE(result.out.ends_with("\n> click cmdOk\n")) << result.out;

  Flat status = statusJson(frontEnd);
  EXPECT_EQ(status["linkSets/0/active"] + status["linkSets/1/name"] + status["linkSets/1/active"],
            "falseTesttrue");
  for (const auto& link : links) {
    EXPECT_EQ(linked(status, link.table, "connect"), ";DATABASE=" + link.backEnd);
    EXPECT_EQ(linked(status, link.table, "opens"), "true") << link.table;
  }

  // Read-only, the check says so once; the window never opens and the exit status tells.
  removeWritePermission(frontEnd);
  const Result refused = run({"switch", frontEnd, "--ui=console"}, "click cmdCancel\n");
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.out.find("--- MsgBox \"Read-Only Front End\""), std::string::npos);
  EXPECT_EQ(refused.out.find("frmSwitchSetManager"), std::string::npos) << refused.out;
}

}  // namespace
}  // namespace clitest
