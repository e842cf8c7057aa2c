// Repairs killed part-way. Each repair runs in a child process, as the vantrel program runs it
// (console driver, script on standard input), and dies by SIGKILL either at a chosen step of the
// database layer (at once, or a few microseconds into what follows) or at a random moment. The
// front end left behind must be sound and hold its links and active set's rows as before the
// repair or as after it: never a mix, never fewer.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "cli/CheckCommand.h"
#include "cli/DemoBuilder.h"
#include "cli/ManagerCommands.h"
#include "cli/Options.h"
#include "cli/RelinkCommand.h"
#include "cli/SwitchCommand.h"
#include "dao/dao.h"
#include "engine/Engine.h"
#include "tests/reliability/Harness.h"
#include "tests/support/Fixtures.h"

namespace reliability {
namespace {

namespace fs = std::filesystem;
using vantrel::Scenario;

struct Repair {
  const char* name;
  Scenario demo;
  std::string command;  // check, switch, sets or relink
  std::string script;
  bool relinkAfter = false;  // after the check, RelinkDatabase moves Sales to a file lacking Orders
  bool oneTransaction = true;  // links and rows change together, so they agree at every moment
};

const Repair kRepairs[] = {
    {"Fix Set", Scenario::Renamed, "check",
     "click cmdNext\nclick lstDatabases 0\nclick cmdNext\nclick cmdFinish\n"},
    {"Missing Links", Scenario::Renamed, "check",
     "click cmdNext\nclick cmdNext\nclick optRemoveLinks\nclick cmdNext\nclick cmdFinish\n"},
    {"Switch", Scenario::Healthy, "switch", "click lstLinkSets 1\nclick cmdOk\n", false, false},
    {"Set Manager OK", Scenario::Healthy, "sets",
     "click cmdNextSet\nclick cmdSetActiveLinkSet\nclick cmdOk\nok\n", false, false},
    {"RelinkDatabase", Scenario::Healthy, "check", "ok\n", true},
    {"Relink Manager", Scenario::Renamed, "relink",
     "click cmdExpand\nclick lsvDatabases 1\nclick cmdOK\nclick cmdCancel\n"},
};

// The demo, plus a "Test" set on copies of its back ends and a Sales file without Orders.
std::string buildRepairDemo(const Repair& repair, const std::string& dir) {
  const std::string frontEnd = vantrel::buildDemo(dir, repair.demo).frontEnd;
  const fs::path app = fs::path(frontEnd).parent_path();
  fs::create_directories(app / "Test");
  for (const char* file : {"Sales.mdb", "Staff.mdb"})
    if (fs::exists(app / "Data" / file))
      fs::copy_file(app / "Data" / file, app / "Test" / file);
  const std::string sales = app / "Test/Sales.mdb", staff = app / "Test/Staff.mdb";
  testsupport::addLinkSet(
      frontEnd, "Test", "Copies", false,
      {{"Customers", sales}, {"Orders", sales}, {"Employees", staff}, {"Departments", staff}});
  testsupport::makeBackEnd((app / "Data" / "Sales-lite.mdb").string(), {"Customers"});
  return frontEnd;
}

// The child: the repair as the program runs it, killed at the killAt-th step of the database
// layer (0: never) after delay microseconds. Writes the number of steps it took to countFile.
int runRepair(const Repair& repair, const std::string& frontEnd, long killAt, int delay,
              const std::string& countFile) {
  long steps = 0;
  dao::SetFaultHook([&](std::string_view, std::string_view) {
    if (++steps != killAt)
      return;
    if (delay == 0)
      raise(SIGKILL);
    std::thread([delay] {
      std::this_thread::sleep_for(std::chrono::microseconds(delay));
      raise(SIGKILL);
    }).detach();
  });
  const vantrel::Options options =
      vantrel::parseOptions({repair.command, frontEnd, "--ui=console"});
  int argc = 1;
  char name[] = "vantrel";
  char* argv[] = {name, nullptr};
  const std::string data = fs::path(frontEnd).parent_path() / "Data" / "";
  int status = 0;
  if (repair.command == "switch")
    status = vantrel::runSwitch(options, argc, argv);
  else if (repair.command == "sets")
    status = vantrel::runSets(options, argc, argv);
  else if (repair.command == "relink")
    status = vantrel::runRelink(options, argc, argv);
  else
    status = vantrel::runCheck(options, argc, argv, [&](orvanta::clsOrvanta&) {
      if (repair.relinkAfter)
        status =
            static_cast<int>(orvanta::RelinkDatabase(data + "Sales.mdb", data + "Sales-lite.mdb"));
    });
  std::ofstream(countFile) << steps;
  return status;
}

std::string describe(const LinkState& s) {
  return "integrity: " + s.integrity + "\nlinks:\n" + s.definitions + "rows:\n" + s.activeRows;
}

TEST(Crash, ARepairKilledAtAnyMomentLeavesTheLinksAllOldOrAllNew) {
  const int kills = countFromEnvironment("VANTREL_CRASH_KILLS", 60);
  std::mt19937 random(20261206);
  int killed = 0, done = 0;  // done: killed after the repair had committed
  for (std::size_t r = 0; r < std::size(kRepairs); ++r) {
    const Repair& repair = kRepairs[r];
    SCOPED_TRACE(repair.name);
    testsupport::TempDir dir;
    const std::string work = dir.file("work"), pristine = dir.file("pristine");
    const std::string frontEnd = buildRepairDemo(repair, work);
    fs::copy(work, pristine, fs::copy_options::recursive);
    const std::string script = dir.file("script"), count = dir.file("count");
    std::ofstream(script) << repair.script;
    const auto restore = [&] {
      fs::remove_all(work);
      fs::copy(pristine, work, fs::copy_options::recursive);
    };

    // One whole run gives the state after the repair, the number of steps and the time it takes.
    const LinkState before = readLinkState(frontEnd);
    const auto start = std::chrono::steady_clock::now();
    const int whole = waitChild(
        startChild(script, "", "", [&] { return runRepair(repair, frontEnd, 0, 0, count); }));
    const auto took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(WIFEXITED(whole) && WEXITSTATUS(whole) == 0) << whole;
    const LinkState after = readLinkState(frontEnd);
    ASSERT_NE(before.definitions, after.definitions) << describe(after);
    ASSERT_NE(before.activeRows, after.activeRows) << describe(after);
    const long steps = std::stol(testsupport::fileBytes(count));

    const int share = (kills - killed) / static_cast<int>(std::size(kRepairs) - r);
    for (int attempt = 0, mine = 0; mine < share && attempt < 4 * share; ++attempt) {
      restore();
      const bool atStep = attempt % 2 == 0;
      const long killAt = atStep ? std::uniform_int_distribution<long>(1, steps)(random) : 0;
      const int delay =
          atStep && attempt % 4 == 2 ? std::uniform_int_distribution(1, 400)(random) : 0;
      const pid_t child = startChild(
          script, "", "", [&] { return runRepair(repair, frontEnd, killAt, delay, count); });
      if (!atStep) {
        std::this_thread::sleep_for(
            std::uniform_int_distribution<long>(
                0, std::chrono::duration_cast<std::chrono::microseconds>(took).count())(random) *
            std::chrono::microseconds(1));
        kill(child, SIGKILL);
      }
      const int status = waitChild(child);
      if (!WIFSIGNALED(status))
        continue;  // it finished first
      ++mine;
      ++killed;
      const LinkState left = readLinkState(frontEnd);
      SCOPED_TRACE("step " + std::to_string(killAt) + " +" + std::to_string(delay) + "us");
      ASSERT_EQ(left.integrity, "ok");
      ASSERT_TRUE(left.definitions == before.definitions || left.definitions == after.definitions)
          << describe(left);
      ASSERT_TRUE(left.activeRows == before.activeRows || left.activeRows == after.activeRows)
          << describe(left);
      done += left.definitions == after.definitions;
      if (repair.oneTransaction) {
        ASSERT_EQ(left.definitions == before.definitions, left.activeRows == before.activeRows)
            << describe(left);
      }
    }
  }
  std::cout << "[ crash ] " << killed << " kills survived, " << done
            << " of them after the new links had committed\n";
  EXPECT_GE(killed, kills);
}

}  // namespace
}  // namespace reliability
