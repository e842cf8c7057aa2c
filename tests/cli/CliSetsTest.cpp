// `vantrel sets` at a console: a set made active and seen through `vantrel status`, and a
// read-only front end refused. (A script that ends before a question never confirms it: the
// console driver's tests.)
#include <gtest/gtest.h>

#include "tests/cli/CliTestSupport.h"

namespace clitest {
namespace {

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
  removeWritePermission(frontEnd);
  EXPECT_TRUE(failedWithOneLine(run({"sets", frontEnd}, "click cmdCreateLinkSet\n"), "read-only"));
  EXPECT_EQ(treeSnapshot(dir.path()), before);
}

}  // namespace
}  // namespace clitest
