// The vantrel command line: which subcommand, its operand and its options, parsed from argv
// without touching anything on disk. A malformed command line is a UsageError, which main turns
// into one line on stderr and exit status 2, before any file is opened.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "orvanta/Driver.h"

namespace vantrel {

enum class Command { None, Check, Sets, Switch, Relink, Status, Demo };

// What `demo` does to the freshly built front end and back ends.
enum class Scenario { Healthy, Renamed, Moved, NoSet };

struct Options {
  Command command = Command::None;
  bool help = false;     // --help: print the help of `command` (None: the program's)
  bool version = false;  // --version

  // check, sets, switch, relink, status: the front-end file as given (made absolute later).
  std::string frontEnd;
  // demo: the folder to build in ("" makes a fresh one under the temporary folder).
  std::string demoDir;

  // check (and sets: ui): the window driver the command runs with.
  orvanta::Driver ui = orvanta::Driver::Auto;
  bool allowSetSwitching = true;
  bool allowPathChange = true;
  bool allowAddTables = true;
  bool allowSetMgmt = true;

  // status.
  bool json = false;

  // demo.
  Scenario scenario = Scenario::Renamed;
};

// A command line that cannot be run as written. command says whose help to point to.
class UsageError : public std::runtime_error {
 public:
  UsageError(Command command, const std::string& message)
      : std::runtime_error(message), command_(command) {}
  Command command() const { return command_; }

 private:
  Command command_;
};

// Parses the arguments after the program name. Throws UsageError.
Options parseOptions(const std::vector<std::string>& args);

// "check", "sets", ...; "" for None.
std::string commandName(Command command);
std::string scenarioName(Scenario scenario);

// The --help text of a subcommand, or of the program for Command::None.
std::string helpText(Command command);

}  // namespace vantrel
