// `vantrel check` as a user meets it: the start-up check runs on a demo front end, the console
// driver shows the wizard pages, a script on stdin answers them like a person at a terminal,
// and the result is read back from the exit status and from `vantrel status`.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/cli/CliTestSupport.h"

namespace clitest {
namespace {

const std::string kIgnore = "click optIgnore\nclick cmdNext\nyes\n";

TEST(CliCheck, ScenariosEndWithTheirExitStatus) {
  const struct {
    std::string scenario;
    std::vector<std::string> args;  // after the front end
    std::string input;
    int exitCode;
    std::string shown;  // "": the check must print nothing at all
    std::vector<std::string> env = {};
  } cases[] = {
      // Started in the demo folder with a relative path, the component must still get the
      // absolute one, or it would take the front end for a moved one and open a wizard page.
      {"healthy", {"--ui=console"}, "", 0, ""},
      // Auto takes the console without a display, and never a headless Qt platform whose
      // windows no one could answer.
      {"renamed", {}, kIgnore, 1, "=== frmWizard1 \"", {"QT_QPA_PLATFORM=offscreen"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scenario + " " + testing::PrintToString(c.args) + " " + c.input);
    testsupport::TempDir dir;
    const std::string frontEnd = buildDemo(dir.path(), c.scenario);
    const auto links = testsupport::linkedDefs(frontEnd);
    const std::string status = run({"status", frontEnd}).out;
    std::vector<std::string> args = {"check", "App/./Front.mdb"};
    args.insert(args.end(), c.args.begin(), c.args.end());

    const Result result = run(args, c.input, c.env, dir.path());
    EXPECT_EQ(result.exitCode, c.exitCode) << result.out << result.err;
    EXPECT_TRUE(!c.env.empty() || result.err.empty()) << result.err;  // Qt may warn
    EXPECT_TRUE(c.shown.empty() ? result.out.empty()
                                : result.out.find(c.shown) != std::string::npos)
        << result.out;
    EXPECT_EQ(testsupport::linkedDefs(frontEnd), links);
    if (c.exitCode != 0) {
      EXPECT_EQ(run({"status", frontEnd}).out, status);
    }
  }
}

// The renamed back end repaired through the wizard: keep the recommended option, take the
// renamed file offered first, Next, Finish. The next start finds everything in order.
TEST(CliCheck, RenamedBackEndIsRepairedThroughTheWizard) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  const std::string renamed = dir.file("App/Data/Sales-2024.mdb");
  const std::vector<std::string> args = {"check", frontEnd, "--ui=console"};
  const Result result =
      run(args, "click cmdNext\nclick lstDatabases 0\nclick cmdNext\nclick cmdFinish\n");
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  EXPECT_EQ(result.out.find("\n! "), std::string::npos) << result.out;  // nothing refused

  Flat status = statusJson(frontEnd);
  for (const std::string table : {"Customers", "Orders"})
    EXPECT_EQ(linked(status, table, "connect") + " " + linked(status, table, "opens"),
              ";DATABASE=" + renamed + " true");
  EXPECT_EQ(status["linkSets/0/links/3/connect"], ";DATABASE=" + renamed);  // Orders
  EXPECT_EQ(status.count("linkSets/1/name"), 0u);
  const Result again = run(args);
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_EQ(again.out, "");
}

TEST(CliCheck, PermissionFlagsReachTheWizard) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  // A second set with the front end's links, so switching sets is a real choice.
  addSetOfCurrentLinks(frontEnd, "Backup", false);
  const std::string line = "optSwitchSet option ( ) \"Switch to a Different Link Set\"";
  EXPECT_NE(run({"check", frontEnd, "--ui=console"}).out.find(line + "\n"), std::string::npos);
  EXPECT_NE(
      run({"check", frontEnd, "--ui=console", "--no-set-switching"}).out.find(line + " disabled\n"),
      std::string::npos);
}

#ifdef VANTREL_HAVE_QT
// The desktop driver is a module loaded when the first window is about to be shown: runs that
// show none never map the Qt libraries (the dynamic loader's own trace of every file it maps is
// the proof), and a module that cannot be loaded is a clear refusal with status 2.
TEST(CliCheck, QtIsMappedOnlyToShowAWindow) {
  testsupport::TempDir dir;
  const std::string healthy = buildDemo(dir.file("h"), "healthy");
  const std::string renamed = buildDemo(dir.file("r"), "renamed");
  const std::string notAModule = dir.file("notes.txt");
  std::ofstream(notAModule) << "not a module\n";
  const struct {
    std::vector<std::string> args;
    int exitCode;
    std::string module = "";   // the desktop driver module named in the environment
    std::string mention = "";  // on stderr
  } cases[] = {
      // No window to show, so the desktop driver starts and ends on its own.
      {{"check", healthy, "--ui=qt"}, 0},
      {{"check", healthy}, 0},
      {{"check", renamed, "--ui=console"}, 1},
      {{"check", renamed, "--ui=qt"}, 2, notAModule, "the desktop windows cannot be shown"},
      {{"check", renamed, "--ui=qt"}, 2, dir.file("none.so"), "the desktop driver module"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args) + " " + c.module);
    std::vector<std::string> env = {"QT_QPA_PLATFORM=offscreen", "LD_DEBUG=files"};
    if (!c.module.empty())
      env.push_back("VANTREL_QT_MODULE=" + c.module);
    const Result result = run(c.args, kIgnore, env);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.out;
    EXPECT_NE(result.err.find("libsqlite3"), std::string::npos);  // the trace is there
    EXPECT_EQ(result.err.find("libQt6"), std::string::npos);
    EXPECT_NE(result.err.find(c.mention), std::string::npos) << c.mention;
  }
}
#endif

}  // namespace
}  // namespace clitest
