// `vantrel sets`: the Set Manager at a console, with its effect seen through `vantrel status`,
// and the refusals that leave the front end alone.
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/cli/CliTestSupport.h"

namespace clitest {
namespace {

// A user creates a set from the front end's links, names it, makes it active and closes.
TEST(CliSets, ASetIsMadeActiveAtTheConsole) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  const Result result = run({"sets", frontEnd, "--ui=console"},
                            "click cmdCreateLinkSet\nclick cmdAddExisting\ntype txtSetName Home\n"
                            "click cmdSetActiveLinkSet\nclick cmdOk\nok\n");
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out.find("\n! "), std::string::npos) << result.out;
  Flat status = statusJson(frontEnd);
  EXPECT_EQ(status["linkSets/0/name"], "Office");
  EXPECT_EQ(status["linkSets/0/active"], "false");
  EXPECT_EQ(status["linkSets/1/name"], "Home");
  EXPECT_EQ(status["linkSets/1/active"], "true");
  EXPECT_EQ(status["linkSets/1/valid"], "true");
  EXPECT_EQ(status["linkSets/1/links/3/table"], "Orders");
  EXPECT_EQ(linked(status, "Orders", "opens"), "true");
}

TEST(CliSets, RefusalsChangeNothing) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  const std::string before = treeSnapshot(dir.path());
  namespace fs = std::filesystem;
  fs::permissions(frontEnd,
                  fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  for (const auto& [args, mention] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"sets", frontEnd, "--ui=console"}, "read-only"},
           {{"sets", dir.file("App/None.mdb")}, "no such file"},
           {{"sets", frontEnd, "--json"}, "unknown option"}}) {
    SCOPED_TRACE(testing::PrintToString(args));
    EXPECT_TRUE(failedWithOneLine(run(args, "click cmdCreateLinkSet\n"), mention));
  }
  EXPECT_EQ(treeSnapshot(dir.path()), before);
}

}  // namespace
}  // namespace clitest
