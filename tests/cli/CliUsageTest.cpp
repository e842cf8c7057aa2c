// The program's contract at its edges: help and version go to stdout with status 0; every
// command line that cannot run, and every operand that is not a usable database, ends with
// exit status 2 and exactly one line on stderr, before anything is opened or changed.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "cli/Options.h"
#include "host/Json.h"
#include "tests/cli/CliTestSupport.h"

namespace fs = std::filesystem;

namespace clitest {
namespace {

TEST(CliHelp, HelpAndVersionGoToStdout) {
  const struct {
    std::vector<std::string> args;
    std::string heading;
  } cases[] = {
      {{"--help"}, "Usage: vantrel COMMAND"},
      {{"check", "--bogus", "-h"}, "Usage: vantrel check FRONTEND"},
      {{"help", "status"}, "Usage: vantrel status FRONTEND"},
      {{"--version"}, "vantrel "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    const Result result = run(c.args);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.rfind(c.heading, 0), 0u) << result.out;
  }
}

// (Front ends that are no database, missing or folders, met by check and status, are the hostile
// input suite's.)
TEST(CliUsage, EveryRefusalExitsWithStatusTwoAndOneLineAndChangesNothing) {
  testsupport::TempDir dir;
  // A broken front end: a command that ran the check before refusing would show the wizard.
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  const std::string text = dir.file("notes.mdb");
  std::ofstream(text) << "This is a text file, not a database.\n";
  fs::create_directories(dir.file("other/Moved/App"));
  const struct {
    std::vector<std::string> args;
    std::string mention;
  } cases[] = {
      {{}, "missing command"},
      {{"frobnicate"}, "unknown command 'frobnicate'"},
      {{"--frobnicate"}, "unknown option '--frobnicate'"},
      {{"help", "frobnicate"}, "unknown command"},
      {{"check"}, "missing FRONTEND"},
      {{"check", frontEnd, frontEnd}, "unexpected argument"},
      {{"check", frontEnd, "--ui=bogus"}, "unknown --ui value 'bogus'"},
      {{"check", frontEnd, "--ui"}, "--ui needs a value"},
      {{"check", frontEnd, "--json"}, "unknown option '--json'"},
      {{"check", frontEnd, "--no-add-tables=yes"}, "takes no value"},
      // Desktop windows where none can open are an error, not a hang.
      {{"check", frontEnd, "--ui=qt"}, "--ui=console"},
      {{"status", frontEnd, "--ui=console"}, "unknown option"},
      {{"status", "-odd.mdb"}, "unknown option"},
      {{"status", "--json", "--", "-odd.mdb"}, "no such file"},  // `--` ends the options
      {{"sets", text}, "not a database"},
      {{"switch", frontEnd, "--no-set-switching"}, "unknown option"},
      {{"switch", text}, "not a database"},
      {{"relink", text}, "not a database"},
      {{"demo", dir.file("d"), "--scenario", "broken"}, "unknown --scenario value 'broken'"},
      {{"demo", text}, "not a folder"},
      // An existing demo is never overwritten, checked before anything is built.
      {{"demo", dir.path()}, "already holds App/"},
      {{"demo", dir.file("other"), "--scenario", "moved"}, "Moved/App"},
  };
  const std::string before = treeSnapshot(dir.path());
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args));
    EXPECT_TRUE(failedWithOneLine(run(c.args), c.mention));
  }
  // None of them built a demo, "repaired" the text file or touched the front end.
  EXPECT_EQ(treeSnapshot(dir.path()), before);
}

TEST(CliUsage, DemoWithoutAFolderBuildsTheRenamedScenarioInAFreshTemporaryFolder) {
  testsupport::TempDir tmp;
  const Result result = run({"demo"}, "", {"TMPDIR=" + tmp.path()});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  ASSERT_FALSE(fs::is_empty(tmp.path()));
  const auto made = fs::directory_iterator(tmp.path())->path();
  EXPECT_TRUE(fs::exists(made / "App/Front.mdb"));
  EXPECT_TRUE(fs::exists(made / "App/Data/Sales-2024.mdb"));
}

TEST(CliUsage, EachCheckFlagClearsOnlyItsOwnPermission) {
  using vantrel::Options;
  const std::pair<std::string, bool Options::*> flags[] = {
      {"--no-set-switching", &Options::allowSetSwitching},
      {"--no-path-change", &Options::allowPathChange},
      {"--no-add-tables", &Options::allowAddTables},
      {"--no-set-mgmt", &Options::allowSetMgmt}};
  for (const auto& [flag, cleared] : flags) {
    const Options options = vantrel::parseOptions({"check", "fe.mdb", flag});
    for (const auto& [other, permission] : flags)
      EXPECT_EQ(options.*permission, other != flag) << flag << " and " << other;
  }
  // A byte sequence cut short by the end of a name is replaced, not read past.
  EXPECT_EQ(vantrel::jsonQuote("ok\xE2\x82"), "\"ok\\ufffd\\ufffd\"");
}

}  // namespace
}  // namespace clitest
