// `vantrel switch` as a user meets it: the start-up check, then the Switch Set Manager at the
// console, answered by a script on stdin; the outcome read back through `vantrel status`.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/cli/CliTestSupport.h"

namespace clitest {
namespace {

namespace fs = std::filesystem;

// The demo's "Office" set and a "Test" set on copies of both back ends; the check finds all
// well, so the window is the first thing shown.
const char* const kSession = R"(=== frmSwitchSetManager "Vantrel Set Switch Manager"
cmdCancel button "&Cancel"
cmdOk button "&OK"
Frame3 frame "Select Link Set to Make Active"
  lstLinkSets list
    0 * Office (ACTIVE)
    1   Test
Frame2 frame "Tables in Set"
  lstTables list
    0   Customers
    1   Departments
    2   Employees
    3   Orders
Frame1 frame "Set Description"
  txtDesc text "Sales and staff data" locked
lblLinkSetStatus label "All links in this link set are valid" buttonface
> click lstLinkSets 1
=== frmSwitchSetManager "Vantrel Set Switch Manager"
cmdCancel button "&Cancel"
cmdOk button "&OK"
Frame3 frame "Select Link Set to Make Active"
  lstLinkSets list
    0   Office (ACTIVE)
    1 * Test
Frame2 frame "Tables in Set"
  lstTables list
    0   Customers
    1   Orders
    2   Employees
    3   Departments
Frame1 frame "Set Description"
  txtDesc text "Copies to try things on" locked
lblLinkSetStatus label "All links in this link set are valid" buttonface
> click cmdOk
)";

TEST(CliSwitch, SwitchesToAnotherSetAtTheConsole) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  fs::create_directories(dir.file("App/Test"));
  for (const char* file : {"Sales.mdb", "Staff.mdb"})
    fs::copy_file(dir.file(std::string("App/Data/") + file),
                  dir.file(std::string("App/Test/") + file));
  const std::string sales = dir.file("App/Test/Sales.mdb"), staff = dir.file("App/Test/Staff.mdb");
  const std::vector<testsupport::Link> links = {
      {"Customers", sales}, {"Orders", sales}, {"Employees", staff}, {"Departments", staff}};
  testsupport::addLinkSet(frontEnd, "Test", "Copies to try things on", false, links);

  const Result result =
      run({"switch", frontEnd, "--ui=console"}, "click lstLinkSets 1\nclick cmdOk\n");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out, kSession);

  Flat status = statusJson(frontEnd);
  EXPECT_EQ(status["linkSets/0/active"], "false");
  EXPECT_EQ(status["linkSets/1/name"], "Test");
  EXPECT_EQ(status["linkSets/1/active"], "true");
  EXPECT_EQ(status["linkSets/1/frontEndPath"], frontEnd);
  for (const auto& link : links) {
    EXPECT_EQ(linked(status, link.table, "connect"), ";DATABASE=" + link.backEnd);
    EXPECT_EQ(linked(status, link.table, "opens"), "true") << link.table;
  }

  // Read-only, the check says so once; the window never opens and the exit status tells.
  fs::permissions(frontEnd, fs::perms::owner_write | fs::perms::group_write,
                  fs::perm_options::remove);
  const Result refused = run({"switch", frontEnd, "--ui=console"}, "click cmdCancel\n");
  EXPECT_EQ(refused.exitCode, 2);
  EXPECT_NE(refused.out.find("--- MsgBox \"Read-Only Front End\""), std::string::npos);
  EXPECT_EQ(refused.out.find("frmSwitchSetManager"), std::string::npos) << refused.out;
}

}  // namespace
}  // namespace clitest
