// Several users starting one shared front end at once. Every start must behave exactly as a
// start alone does (same output, same exit status: no lock errors), and the file must stay
// sound with its links as they were. A start that cannot get the file says so once and changes
// nothing.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>

#include "cli/DemoBuilder.h"
#include "dao/dao.h"
#include "tests/reliability/Harness.h"
#include "tests/support/Fixtures.h"

namespace reliability {
namespace {

using vantrel::Scenario;

struct Start {
  int exitCode = -1;
  std::string out, err;
  bool operator==(const Start&) const = default;
};

std::vector<Start> startTogether(int count, const std::string& frontEnd, const std::string& script,
                                 const std::string& dir) {
  std::vector<pid_t> children;
  for (int i = 0; i < count; ++i) {
    const std::string name = dir + "/start" + std::to_string(i);
    children.push_back(
        startChild(script, name + ".out", name + ".err", {}, {"check", frontEnd, "--ui=console"}));
  }
  std::vector<Start> starts;
  for (int i = 0; i < count; ++i) {
    const int status = waitChild(children[static_cast<std::size_t>(i)]);
    const std::string name = dir + "/start" + std::to_string(i);
    starts.push_back({WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status),
                      testsupport::fileBytes(name + ".out"),
                      testsupport::fileBytes(name + ".err")});
  }
  return starts;
}

TEST(Concurrency, EightStartsOnOneFrontEndEachBehaveAsAStartAlone) {
  const int rounds = countFromEnvironment("VANTREL_CONCURRENT_ROUNDS", 20);
  const struct {
    Scenario demo;
    std::string script;
    int exitCode;
  } cases[] = {
      {Scenario::Healthy, "", 0},
      {Scenario::Renamed, "click optIgnore\nclick cmdNext\nyes\n", 1},  // broken, ignored
  };
  for (const auto& c : cases) {
    testsupport::TempDir dir;
    const std::string frontEnd = vantrel::buildDemo(dir.file("demo"), c.demo).frontEnd;
    const std::string script = dir.file("script");
    std::ofstream(script) << c.script;
    const Start alone = startTogether(1, frontEnd, script, dir.path()).front();
    ASSERT_EQ(alone.exitCode, c.exitCode) << alone.out << alone.err;
    const LinkState before = readLinkState(frontEnd);
    for (int round = 0; round < rounds; ++round) {
      for (const Start& start : startTogether(8, frontEnd, script, dir.path()))
        ASSERT_EQ(start, alone) << "round " << round << "\n" << start.out << start.err;
      const LinkState now = readLinkState(frontEnd);
      ASSERT_EQ(now.integrity, "ok");
      ASSERT_EQ(now.definitions, before.definitions);
      ASSERT_EQ(now.activeRows, before.activeRows);
    }
  }
  std::cout << "[ concurrency ] " << rounds << " rounds of 8 starts, healthy and ignored\n";
}

// Another user holding the write lock for longer than a start waits, or the front end in
// exclusive use: the start says so once, promptly, and leaves the file as it was.
TEST(Concurrency, AStartThatCannotHaveTheFrontEndSaysSoOnceAndChangesNothing) {
  const struct {
    int options;
    bool writing;
    std::string says;
  } cases[] = {
      {0, true, "is locked by another user"},
      {dao::kTrue, false, ": in exclusive use by another program (error 3356)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.says);
    testsupport::TempDir dir;
    // The moved demo relinks silently, so this start must write.
    const std::string frontEnd = vantrel::buildDemo(dir.file("demo"), Scenario::Moved).frontEnd;
    const std::string bytes = testsupport::fileBytes(frontEnd);
    const std::string script = dir.file("script");
    std::ofstream(script) << "";
    testsupport::HeldByAnotherProcess other(frontEnd, c.options, false,
                                            c.writing ? "write" : "hold");
    ASSERT_TRUE(other.held());
    const auto start = std::chrono::steady_clock::now();
    const Start alone = startTogether(1, frontEnd, script, dir.path()).front();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    const std::string said = alone.out + alone.err;
    const auto first = said.find(c.says);
    EXPECT_NE(first, std::string::npos) << said;
    EXPECT_EQ(said.find(c.says, first + 1), std::string::npos) << said;
    EXPECT_EQ(testsupport::fileBytes(frontEnd), bytes);
  }
}

}  // namespace
}  // namespace reliability
