// The program's contract at its edges: help and version go to stdout with status 0; every
// command line that cannot run, and every operand that is not a usable database, ends with
// exit status 2 and exactly one line on stderr, before anything is opened or changed.
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "tests/cli/CliTestSupport.h"

namespace clitest {
namespace {

TEST(CliHelp, ProgramAndEveryCommandHaveHelpOnStdout) {
  const struct {
    std::vector<std::string> args;
    std::string heading;
  } cases[] = {
      {{"--help"}, "Usage: vantrel COMMAND"},
      {{"-h"}, "Usage: vantrel COMMAND"},
      {{"help"}, "Usage: vantrel COMMAND"},
      {{"check", "--help"}, "Usage: vantrel check FRONTEND"},
      {{"check", "--bogus", "-h"}, "Usage: vantrel check FRONTEND"},
      {{"help", "status"}, "Usage: vantrel status FRONTEND"},
      {{"sets", "--help"}, "Usage: vantrel sets FRONTEND"},
      {{"switch", "--help"}, "Usage: vantrel switch FRONTEND"},
      {{"demo", "--help"}, "Usage: vantrel demo [DIR]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + (c.args.size() > 1 ? c.args[1] : ""));
    const Result result = run(c.args);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.rfind(c.heading, 0), 0u) << result.out;
  }
}

TEST(CliHelp, VersionNamesTheProgram) {
  const Result result = run({"--version"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out.rfind("vantrel ", 0), 0u) << result.out;
}

TEST(CliUsage, MalformedCommandLinesExitWithStatusTwoAndOneLine) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
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
      {{"status"}, "missing FRONTEND"},
      {{"status", frontEnd, "--ui=console"}, "unknown option"},
      {{"demo", dir.file("d"), "--scenario", "broken"}, "unknown --scenario value 'broken'"},
      {{"demo", dir.file("a"), dir.file("b")}, "unexpected argument"},
      {{"sets"}, "missing FRONTEND"},
      {{"switch", frontEnd, "--json"}, "unknown option"},
  };
  const std::string before = treeSnapshot(dir.path());
  for (const auto& c : cases) {
    std::string line;
    for (const auto& a : c.args)
      line += a + " ";
    SCOPED_TRACE(line);
    EXPECT_TRUE(failedWithOneLine(run(c.args), c.mention));
  }
  // None of them built a demo or touched the front end.
  EXPECT_EQ(treeSnapshot(dir.path()), before);
}

TEST(CliUsage, UnusableFrontEndsAreRefusedByEveryCommandThatOpensOne) {
  testsupport::TempDir dir;
  const std::string text = dir.file("notes.mdb");
  std::ofstream(text) << "This is a text file, not a database.\n";
  const std::string folder = dir.mkdir("Folder.mdb");
  const std::string missing = dir.file("Missing.mdb");

  for (const std::string command : {"check", "status"}) {
    SCOPED_TRACE(command);
    EXPECT_TRUE(failedWithOneLine(run({command, missing}), "no such file"));
    EXPECT_TRUE(failedWithOneLine(run({command, text}), "not a database"));
    EXPECT_TRUE(failedWithOneLine(run({command, folder}), "is a folder"));
  }
  // The refusal must not have "repaired" the text file into a database.
  EXPECT_EQ(testsupport::fileBytes(text), "This is a text file, not a database.\n");
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST(CliUsage, ManagerWindowsThatAreNotBuiltAreRefusedBeforeAnythingRuns) {
  testsupport::TempDir dir;
  // A broken front end: had `switch` run the check first, it would have shown the wizard.
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  const std::string before = treeSnapshot(dir.path());
  const Result sets = run({"sets", frontEnd}, "close\n");
  EXPECT_TRUE(failedWithOneLine(sets, "Set Manager"));
  EXPECT_TRUE(failedWithOneLine(sets, "not available"));
  const Result switching = run({"switch", frontEnd}, "close\n");
  EXPECT_TRUE(failedWithOneLine(switching, "Switch Set Manager"));
  EXPECT_TRUE(failedWithOneLine(switching, "not available"));
  EXPECT_EQ(treeSnapshot(dir.path()), before);
}

}  // namespace
}  // namespace clitest
