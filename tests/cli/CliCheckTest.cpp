// `vantrel check` as a user meets it: the start-up check runs on a real front end, the console
// driver shows the wizard pages, the test answers them through stdin like a person at a
// terminal, and the result is read back from the exit status and from `vantrel status`.
#include <filesystem>

#include <gtest/gtest.h>

#include "tests/cli/CliTestSupport.h"

namespace fs = std::filesystem;

namespace clitest {
namespace {

constexpr std::initializer_list<const char*> kPrompts = {"\n> ", "\n? "};

bool showsWindow(const std::string& out) {
  return out.find("=== ") != std::string::npos || out.find("--- MsgBox") != std::string::npos;
}

// Drives one console session: each step sends a line and returns the screen up to the next
// prompt, failing the test with the whole transcript when the prompt does not come.
class Session {
 public:
  explicit Session(std::vector<std::string> args) : process_(args) {}

  std::string screen() {
    std::string chunk = process_.waitFor(kPrompts);
    transcript_ += chunk;
    if (!process_.found())
      ADD_FAILURE() << "no prompt came; transcript:\n" << transcript_;
    return chunk;
  }
  std::string step(const std::string& line) {
    process_.send(line + "\n");
    return screen();
  }
  Result finish(const std::string& line) {
    process_.send(line + "\n");
    Result result = process_.finish();
    transcript_ += result.out.substr(std::min(result.out.size(), transcript_.size()));
    return result;
  }
  const std::string& transcript() const { return transcript_; }

 private:
  Process process_;
  std::string transcript_;
};

TEST(CliCheck, HealthyFrontEndShowsNothingAndSucceeds) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  const Result result = run({"check", frontEnd, "--ui=console"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_FALSE(showsWindow(result.out)) << result.out;
  EXPECT_EQ(result.err, "");

  // Started from another folder with a relative path: the component must get the absolute
  // path, or it would take the front end for a moved one and open a wizard page.
  const Result relative = run({"check", "App/./Front.mdb", "--ui=console"}, "", {{}, dir.path()});
  EXPECT_EQ(relative.exitCode, 0) << relative.err;
  EXPECT_FALSE(showsWindow(relative.out)) << relative.out;
}

TEST(CliCheck, RenamedBackEndIsRepairedThroughTheWizard) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  const std::string renamed = dir.file("App/Data/Sales-2024.mdb");

  Session session({"check", frontEnd, "--ui=console"});
  std::string screen = session.screen();
  ASSERT_NE(screen.find("=== frmWizard1 \""), std::string::npos) << session.transcript();
  EXPECT_NE(screen.find("optFixSet option (*)"), std::string::npos) << screen;

  // Keep the recommended option.
  screen = session.step("click cmdNext");
  ASSERT_NE(screen.find("=== frmFixSet \""), std::string::npos) << session.transcript();
  const int row = listRow(screen, "lstDatabases", "Sales-2024.mdb");
  ASSERT_GE(row, 0) << "the renamed file is not offered:\n" << screen;

  screen = session.step("click lstDatabases " + std::to_string(row));
  EXPECT_EQ(screen.find("! "), std::string::npos) << screen;
  // The renamed file satisfies the two tables it holds.
  EXPECT_NE(screen.find("[x] Customers (" + renamed + ")"), std::string::npos) << screen;
  EXPECT_NE(screen.find("[x] Orders (" + renamed + ")"), std::string::npos) << screen;
  screen = session.step("click cmdNext");
  ASSERT_NE(screen.find("=== frmFinish \""), std::string::npos) << session.transcript();
  const Result result = session.finish("click cmdFinish");
  EXPECT_EQ(result.exitCode, 0) << session.transcript() << result.err;

  // The front end's links and the active set now name the renamed file.
  const Json status = statusJson(frontEnd);
  for (const std::string name : {"Customers", "Orders", "Employees", "Departments"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(linkedTable(status, name)["opens"].boolean);
  }
  EXPECT_EQ(linkedTable(status, "Customers")["connect"].text, ";DATABASE=" + renamed);
  EXPECT_EQ(linkedTable(status, "Orders")["connect"].text, ";DATABASE=" + renamed);
  EXPECT_EQ(linkedTable(status, "Employees")["connect"].text,
            ";DATABASE=" + dir.file("App/Data/Staff.mdb"));
  ASSERT_EQ(status["linkSets"].size(), 1u);
  for (const Json& link : status["linkSets"][0]["links"].items) {
    if (link["table"].text == "Customers" || link["table"].text == "Orders") {
      EXPECT_EQ(link["connect"].text, ";DATABASE=" + renamed) << link["table"].text;
    }
  }

  // The next start-up finds everything in order.
  const Result again = run({"check", frontEnd, "--ui=console"});
  EXPECT_EQ(again.exitCode, 0);
  EXPECT_FALSE(showsWindow(again.out)) << again.out;
}

TEST(CliCheck, IgnoringTheProblemExitsWithOneAndChangesNoLinks) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  const auto linksBefore = testsupport::linkedDefs(frontEnd);

  const Result result =
      run({"check", frontEnd, "--ui=console"}, "click optIgnore\nclick cmdNext\nyes\n");
  EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
  EXPECT_NE(result.out.find("=== frmWizard1 \""), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("--- MsgBox \"Confirm Ignore\""), std::string::npos) << result.out;
  EXPECT_EQ(testsupport::linkedDefs(frontEnd), linksBefore);
  EXPECT_FALSE(linkedTable(statusJson(frontEnd), "Customers")["opens"].boolean);

  // Answering No keeps the page; the end of input then closes it without ignoring.
  const Result no =
      run({"check", frontEnd, "--ui=console"}, "click optIgnore\nclick cmdNext\nno\n");
  EXPECT_EQ(no.exitCode, 0) << no.out;
}

TEST(CliCheck, AutoUsesTheConsoleWithoutADisplay) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  const Result result = run({"check", frontEnd}, "click optIgnore\nclick cmdNext\nyes\n");
  EXPECT_EQ(result.exitCode, 1) << result.err;
  EXPECT_NE(result.out.find("=== frmWizard1 \""), std::string::npos) << result.out;

  // Asking for the desktop windows where none can open is an error, not a hang.
  EXPECT_TRUE(failedWithOneLine(run({"check", frontEnd, "--ui=qt"}), "--ui=console"));
}

TEST(CliCheck, AutoNeverPicksAHeadlessQtPlatform) {
  // Windows drawn off screen could never be answered: auto must stay on the console.
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  const Result result = run({"check", frontEnd}, "click optIgnore\nclick cmdNext\nyes\n",
                            {{"QT_QPA_PLATFORM=offscreen"}, ""});
  EXPECT_EQ(result.exitCode, 1) << result.err;
  EXPECT_NE(result.out.find("=== frmWizard1 \""), std::string::npos) << result.out;
}

#ifdef VANTREL_HAVE_QT
TEST(CliCheck, QtDriverRunsTheCheckWhenAskedForByName) {
  // A healthy front end shows no window, so the desktop driver starts and ends on its own.
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "healthy");
  const Result result =
      run({"check", frontEnd, "--ui=qt"}, "", {{"QT_QPA_PLATFORM=offscreen"}, ""});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "");
}
#endif

TEST(CliCheck, FrontEndWithoutLinkSetsOffersToCreateOne) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "noset");
  const Result result = run({"check", frontEnd, "--ui=console"});
  EXPECT_NE(result.out.find("=== frmCreateNewSet \""), std::string::npos) << result.out;
  EXPECT_EQ(result.exitCode, 0) << result.err;
}

TEST(CliCheck, MovedFrontEndIsNoticedAndIgnoringKeepsTheOldRecordedPath) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "moved");
  const Result result =
      run({"check", frontEnd, "--ui=console"}, "click optIgnore\nclick cmdNext\nyes\n");
  EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
  EXPECT_NE(result.out.find("=== frmWizard1 \""), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("moved to a different directory"), std::string::npos) << result.out;
  EXPECT_EQ(statusJson(frontEnd)["linkSets"][0]["frontEndPath"].text, dir.file("App/Front.mdb"));
}

TEST(CliCheck, PermissionFlagsReachTheWizard) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  // A second set with the same links as the front end, so switching sets is a real choice.
  std::vector<testsupport::Link> links;
  for (const auto& def : testsupport::linkedDefs(frontEnd)) {
    links.push_back({def.name, def.connect.substr(std::string(";DATABASE=").size())});
  }
  testsupport::addLinkSet(frontEnd, "Backup", "A copy", false, links, frontEnd);

  const auto switchLine = [](const std::string& out) {
    const size_t at = out.find("optSwitchSet option");
    return at == std::string::npos ? std::string() : out.substr(at, out.find('\n', at) - at);
  };
  const Result allowed = run({"check", frontEnd, "--ui=console"});
  const Result refused = run({"check", frontEnd, "--ui=console", "--no-set-switching"});
  ASSERT_NE(switchLine(allowed.out), "") << allowed.out;
  EXPECT_EQ(switchLine(allowed.out).find("disabled"), std::string::npos) << allowed.out;
  EXPECT_NE(switchLine(refused.out).find("disabled"), std::string::npos) << refused.out;
}

TEST(CliCheck, EndOfInputOnAWizardPageEndsTheCheckInsteadOfHanging) {
  testsupport::TempDir dir;
  const std::string frontEnd = buildDemo(dir.path(), "renamed");
  const Result result = run({"check", frontEnd, "--ui=console"}, "", {}, 30s);
  EXPECT_NE(result.exitCode, -1) << "killed at the deadline:\n" << result.out;
  EXPECT_NE(result.out.find("(end of input: closing frmWizard1)"), std::string::npos) << result.out;
  EXPECT_EQ(result.exitCode, 0) << result.err;
}

}  // namespace
}  // namespace clitest
