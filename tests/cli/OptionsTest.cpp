// The option parser: what each command accepts and how defaults fall out, checked without
// starting a process (the end-to-end tests cover what the user sees on a refusal).
#include <gtest/gtest.h>

#include "cli/Options.h"

namespace clitest {
namespace {

using vantrel::Command;
using vantrel::Options;
using vantrel::parseOptions;
using vantrel::UiChoice;
using vantrel::UsageError;

TEST(Options, CheckTakesItsFlagsInAnyOrderAndDefaultsToAllowingEverything) {
  Options plain = parseOptions({"check", "fe.mdb"});
  EXPECT_EQ(plain.command, Command::Check);
  EXPECT_EQ(plain.frontEnd, "fe.mdb");
  EXPECT_EQ(plain.ui, UiChoice::Auto);
  EXPECT_TRUE(plain.allowSetSwitching && plain.allowPathChange && plain.allowAddTables &&
              plain.allowSetMgmt);

  Options all =
      parseOptions({"check", "--no-set-mgmt", "--ui", "console", "fe.mdb", "--no-add-tables",
                    "--ui=qt", "--no-path-change", "--no-set-switching"});
  EXPECT_EQ(all.frontEnd, "fe.mdb");
  EXPECT_EQ(all.ui, UiChoice::Qt);  // the last one wins, as with most tools
  EXPECT_FALSE(all.allowSetSwitching || all.allowPathChange || all.allowAddTables ||
               all.allowSetMgmt);

  // Each flag clears only its own permission.
  Options one = parseOptions({"check", "fe.mdb", "--no-add-tables"});
  EXPECT_TRUE(one.allowSetSwitching && one.allowPathChange && one.allowSetMgmt);
  EXPECT_FALSE(one.allowAddTables);
}

TEST(Options, DoubleDashLetsAFileNameStartWithADash) {
  EXPECT_EQ(parseOptions({"status", "--json", "--", "-odd.mdb"}).frontEnd, "-odd.mdb");
  EXPECT_THROW(parseOptions({"status", "-odd.mdb"}), UsageError);
}

TEST(Options, RefusalsNameTheCommandWhoseHelpToRead) {
  const struct {
    std::vector<std::string> args;
    Command command;
  } cases[] = {
      {{}, Command::None},
      {{"nope"}, Command::None},
      {{"check"}, Command::Check},
      {{"check", "a", "b"}, Command::Check},
      {{"check", "a", "--ui=gtk"}, Command::Check},
      {{"status", "a", "--json=1"}, Command::Status},
      {{"demo", "--scenario"}, Command::Demo},
      {{"sets", "a", "--ui=console"}, Command::Sets},
      {{"check", ""}, Command::Check},
  };
  for (const auto& c : cases) {
    try {
      parseOptions(c.args);
      ADD_FAILURE() << "accepted " << c.args.size() << " arguments";
    } catch (const UsageError& e) {
      EXPECT_EQ(e.command(), c.command) << e.what();
    }
  }
}

}  // namespace
}  // namespace clitest
