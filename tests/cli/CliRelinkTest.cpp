// `vantrel relink` as a user meets it on the demo's renamed back end: the Relink Manager at the
// console, answered by a script on stdin; the outcome read back through `vantrel status`.
#include <gtest/gtest.h>

#include "tests/cli/CliTestSupport.h"

namespace clitest {
namespace {

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
  const std::string& out = result.out;
  const std::string sales2024 = dir.file("App/Data/Sales-2024.mdb");
  EXPECT_EQ(out.rfind("=== frmLinkManager \"Relink Manager\"\n", 0), 0u) << out;
  EXPECT_NE(out.find("    1   " + sales2024 + " | 83 | 2 of 2\n"), std::string::npos) << out;
  const Flat status = statusJson(frontEnd);
  for (const char* table : {"Customers", "Orders", "Employees", "Departments"})
    EXPECT_EQ(linked(status, table, "opens"), "true") << table;
  EXPECT_EQ(linked(status, "Customers", "connect"), ";DATABASE=" + sales2024);
}

}  // namespace
}  // namespace clitest
