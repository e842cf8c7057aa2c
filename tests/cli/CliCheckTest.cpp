// `vantrel check` as a user meets it: the start-up check runs on a demo front end, the console
// driver shows the wizard pages, a script on stdin answers them like a person at a terminal,
// and the result is read back from the exit status and from `vantrel status`.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/cli/CliTestSupport.h"

namespace clitest {
namespace {

const std::string kIgnore = "click optIgnore\nclick cmdNext\n";
constexpr auto kWrite = std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                        std::filesystem::perms::others_write;

TEST(CliCheck, ScenariosShowTheirPagesAndEndWithTheirExitStatus) {
  const struct {
    std::string scenario;
    std::vector<std::string> flags;
    std::string input;
    int exitCode;
    std::vector<std::string> shown;  // none: the check must print nothing at all
    bool keepsStatus;                // `vantrel status` reads the same afterwards
    std::vector<std::string> env = {};
    bool relative = false;  // started in the demo folder with a relative path
    bool readOnly = false;  // the front end without write permission
  } cases[] = {
      {"healthy", {"--ui=console"}, "", 0, {}, false},
      // With a relative path the component must still get the absolute one, or it would take
      // the front end for a moved one and open a wizard page.
      {"healthy", {"--ui=console"}, "", 0, {}, false, {}, true},
      {"renamed",
       {"--ui=console"},
       kIgnore + "yes\n",
       1,
       {"=== frmWizard1 \"", "--- MsgBox \"Confirm Ignore\""},
       true},
      // Answering No keeps the page; the end of input then closes it without ignoring.
      {"renamed",
       {"--ui=console"},
       kIgnore + "no\n",
       0,
       {"--- MsgBox \"Confirm Ignore\"", "(end of input: closing frmWizard1)"},
       true},
      // Auto takes the console without a display, and never a headless Qt platform whose
      // windows no one could answer.
      {"renamed", {}, kIgnore + "yes\n", 1, {"=== frmWizard1 \""}, true},
      {"renamed",
       {},
       kIgnore + "yes\n",
       1,
       {"=== frmWizard1 \""},
       true,
       {"QT_QPA_PLATFORM=offscreen"}},
      // Ignoring a move keeps the old recorded path, so the next start notices it again.
      {"moved",
       {"--ui=console"},
       kIgnore + "yes\n",
       1,
       {"=== frmWizard1 \"", "moved to a different directory"},
       true},
      // Opened by the check itself, the page shows its first info text, which lies in front of
      // the second one.
      {"noset",
       {"--ui=console"},
       "",
       0,
       {"=== frmCreateNewSet \"", "\n  | There are currently no link sets defined",
        "Click 'Next' to continue.\nFrame1 frame"},
       false},
      // Said once, in a message; nothing is tried, and a script learns it from the status.
      {"renamed",
       {"--ui=console"},
       "",
       2,
       {"--- MsgBox \"Read-Only Front End\""},
       true,
       {},
       false,
       true},
#ifdef VANTREL_HAVE_QT
      // No window to show, so the desktop driver starts and ends on its own.
      {"healthy", {"--ui=qt"}, "", 0, {}, false, {"QT_QPA_PLATFORM=offscreen"}},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.scenario + " " + testing::PrintToString(c.flags) + " " + c.input);
    testsupport::TempDir dir;
    const std::string frontEnd = buildDemo(dir.path(), c.scenario);
    const auto links = testsupport::linkedDefs(frontEnd);
    const std::string status = run({"status", frontEnd}).out;
    if (c.readOnly) {
      std::filesystem::permissions(frontEnd, kWrite, std::filesystem::perm_options::remove);
    }
    std::vector<std::string> args = {"check", c.relative ? "App/./Front.mdb" : frontEnd};
    args.insert(args.end(), c.flags.begin(), c.flags.end());

    const Result result = run(args, c.input, c.env, c.relative ? dir.path() : "");
    EXPECT_EQ(result.exitCode, c.exitCode) << result.out << result.err;
    EXPECT_TRUE(!c.env.empty() || result.err.empty()) << result.err;  // Qt may warn
    EXPECT_TRUE(!c.shown.empty() || result.out.empty()) << result.out;
    for (const auto& text : c.shown)
      EXPECT_NE(result.out.find(text), std::string::npos) << text << " in\n" << result.out;
    EXPECT_EQ(testsupport::linkedDefs(frontEnd), links);
    if (c.keepsStatus) {
      EXPECT_EQ(run({"status", frontEnd}).out, status);
    }
  }
}

TEST(CliCheck, RenamedBackEndIsRepairedThroughTheWizard) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  const std::string renamed = dir.file("App/Data/Sales-2024.mdb");
  const std::vector<std::string> args = {"check", frontEnd, "--ui=console"};

  // Keep the recommended option and find the renamed file's row on the next page (the end of
  // input then closes the wizard without a change).
  const std::string offer = run(args, "click cmdNext\n").out;
  const size_t at = offer.find(renamed + " (", offer.find("=== frmFixSet \""));
  ASSERT_NE(at, std::string::npos) << "the renamed file is not offered:\n" << offer;
  const std::string row = std::to_string(std::stoi(offer.substr(offer.rfind('\n', at) + 1)));

  const Result result =
      run(args, "click cmdNext\nclick lstDatabases " + row + "\nclick cmdNext\nclick cmdFinish\n");
  EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
  // The renamed file satisfies the two tables it holds; no command was refused on the way.
  for (const std::string& text : {"[x] Customers (" + renamed + ")", "[x] Orders (" + renamed + ")",
                                  std::string("=== frmFinish \"")})
    EXPECT_NE(result.out.find(text), std::string::npos) << text << " in\n" << result.out;
  EXPECT_EQ(result.out.find("\n! "), std::string::npos) << result.out;

  // The front end's links and the active set's (in table-name order) name the renamed file.
  Flat status = statusJson(frontEnd);
  const std::string sales = ";DATABASE=" + renamed;
  const std::string staff = ";DATABASE=" + dir.file("App/Data/Staff.mdb");
  int n = 0;
  for (const auto& [table, connect] : std::map<std::string, std::string>{
           {"Customers", sales}, {"Departments", staff}, {"Employees", staff}, {"Orders", sales}}) {
    EXPECT_EQ(linked(status, table, "connect"), connect);
    EXPECT_EQ(linked(status, table, "opens"), "true") << table;
    const std::string link = "linkSets/0/links/" + std::to_string(n++) + "/";
    EXPECT_EQ(status[link + "table"], table);
    EXPECT_EQ(status[link + "connect"], connect);
  }
  EXPECT_EQ(status.count("linkSets/1/name"), 0u);

  // The next start-up finds everything in order.
  const Result again = run(args);
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_EQ(again.out, "");
}

TEST(CliCheck, PermissionFlagsReachTheWizard) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  // A second set with the front end's links, so switching sets is a real choice.
  std::vector<testsupport::Link> links;
  for (const auto& def : testsupport::linkedDefs(frontEnd))
    links.push_back({def.name, def.connect.substr(std::string(";DATABASE=").size())});
  testsupport::addLinkSet(frontEnd, "Backup", "A copy", false, links, frontEnd);

  const auto switchLine = [&](const std::string& flag) {
    const std::string out = run({"check", frontEnd, "--ui=console", flag}).out;
    const size_t at = out.find("optSwitchSet option");
    return at == std::string::npos ? "(none)" : out.substr(at, out.find('\n', at) - at);
  };
  const std::string allowed = switchLine("--ui=console");
  const std::string refused = switchLine("--no-set-switching");
  EXPECT_EQ(allowed.rfind("optSwitchSet", 0), 0u) << allowed;
  EXPECT_EQ(allowed.find("disabled"), std::string::npos) << allowed;
  EXPECT_NE(refused.find("disabled"), std::string::npos) << refused;
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
  const std::string offscreen = "QT_QPA_PLATFORM=offscreen";
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> env;
    std::string input;
    int exitCode;
    std::string mention;  // on stderr
  } cases[] = {
      {{"--version"}, {}, "", 0, ""},
      {{"status", healthy}, {}, "", 0, ""},
      {{"check", healthy, "--ui=qt"}, {offscreen}, "", 0, ""},
      {{"check", healthy}, {offscreen}, "", 0, ""},
      {{"check", renamed, "--ui=console"}, {}, kIgnore + "yes\n", 1, ""},
      {{"check", renamed, "--ui=qt"},
       {offscreen, "VANTREL_QT_MODULE=" + notAModule},
       "",
       2,
       "the desktop windows cannot be shown"},
      {{"check", renamed, "--ui=qt"},
       {offscreen, "VANTREL_QT_MODULE=" + dir.file("none.so")},
       "",
       2,
       "the desktop driver module"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.args) + " " + testing::PrintToString(c.env));
    std::vector<std::string> env = c.env;
    env.push_back("LD_DEBUG=files");
    const Result result = run(c.args, c.input, env);
    EXPECT_EQ(result.exitCode, c.exitCode) << result.out;
    EXPECT_NE(result.err.find("libsqlite3"), std::string::npos);  // the trace is there
    EXPECT_EQ(result.err.find("libQt6"), std::string::npos);
    EXPECT_NE(result.err.find(c.mention), std::string::npos) << c.mention;
  }
}
#endif

}  // namespace
}  // namespace clitest
