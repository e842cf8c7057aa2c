#include "cli/Options.h"

#include <optional>

namespace vantrel {

namespace {

std::optional<Command> commandFromName(const std::string& name) {
  if (name == "check")
    return Command::Check;
  if (name == "sets")
    return Command::Sets;
  if (name == "switch")
    return Command::Switch;
  if (name == "relink")
    return Command::Relink;
  if (name == "status")
    return Command::Status;
  if (name == "demo")
    return Command::Demo;
  return std::nullopt;
}

bool isHelpFlag(const std::string& arg) {
  return arg == "--help" || arg == "-h";
}

orvanta::Driver parseUi(Command command, const std::string& value) {
  if (const auto driver = orvanta::driverNamed(value))
    return *driver;
  throw UsageError(command, "unknown --ui value '" + value + "' (use auto, qt or console)");
}

Scenario parseScenario(Command command, const std::string& value) {
  if (value == "healthy")
    return Scenario::Healthy;
  if (value == "renamed")
    return Scenario::Renamed;
  if (value == "moved")
    return Scenario::Moved;
  if (value == "noset")
    return Scenario::NoSet;
  throw UsageError(
      command, "unknown --scenario value '" + value + "' (use healthy, renamed, moved or noset)");
}

// Walks the arguments of one subcommand. Options may stand before or after the operand, take
// their value as --name=value or as the next argument, and "--" ends them, so a file whose
// name begins with a dash can still be named.
class Parser {
 public:
  Parser(Command command, const std::vector<std::string>& args, size_t first)
      : command_(command), args_(args), next_(first) {}

  void run(Options& options) {
    bool optionsEnded = false;
    int operands = 0;
    while (next_ < args_.size()) {
      const std::string arg = args_[next_++];
      if (!optionsEnded && arg == "--") {
        optionsEnded = true;
        continue;
      }
      if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
        option(arg, options);
        continue;
      }
      if (++operands > 1)
        throw UsageError(command_, "unexpected argument '" + arg + "'");
      operand(arg, options);
    }
    if (operands == 0 && command_ != Command::Demo) {
      throw UsageError(command_, "missing FRONTEND (the front-end database file)");
    }
  }

 private:
  void operand(const std::string& arg, Options& options) {
    if (arg.empty())
      throw UsageError(command_, "empty file name");
    if (command_ == Command::Demo) {
      options.demoDir = arg;
    } else {
      options.frontEnd = arg;
    }
  }

  void option(const std::string& arg, Options& options) {
    const size_t eq = arg.find('=');
    const std::string name = arg.substr(0, eq);
    std::optional<std::string> inlineValue;
    if (eq != std::string::npos)
      inlineValue = arg.substr(eq + 1);

    const bool check = command_ == Command::Check;
    const bool windows = check || command_ == Command::Sets || command_ == Command::Switch ||
                         command_ == Command::Relink;
    if (windows && name == "--ui") {
      options.ui = parseUi(command_, value(name, inlineValue));
    } else if (check && flag(name, inlineValue, "--no-set-switching")) {
      options.allowSetSwitching = false;
    } else if (check && flag(name, inlineValue, "--no-path-change")) {
      options.allowPathChange = false;
    } else if (check && flag(name, inlineValue, "--no-add-tables")) {
      options.allowAddTables = false;
    } else if (check && flag(name, inlineValue, "--no-set-mgmt")) {
      options.allowSetMgmt = false;
    } else if (command_ == Command::Status && flag(name, inlineValue, "--json")) {
      options.json = true;
    } else if (command_ == Command::Demo && name == "--scenario") {
      options.scenario = parseScenario(command_, value(name, inlineValue));
    } else {
      throw UsageError(command_, "unknown option '" + arg + "'");
    }
  }

  // A flag takes no value: "--json=yes" is as wrong as an unknown option.
  bool flag(const std::string& name, const std::optional<std::string>& inlineValue,
            const char* expected) {
    if (name != expected)
      return false;
    if (inlineValue)
      throw UsageError(command_, "option " + name + " takes no value");
    return true;
  }

  std::string value(const std::string& name, const std::optional<std::string>& inlineValue) {
    if (inlineValue)
      return *inlineValue;
    if (next_ >= args_.size())
      throw UsageError(command_, "option " + name + " needs a value");
    return args_[next_++];
  }

  Command command_;
  const std::vector<std::string>& args_;
  size_t next_;
};

}  // namespace

Options parseOptions(const std::vector<std::string>& args) {
  Options options;
  if (args.empty())
    throw UsageError(Command::None, "missing command");

  const std::string& first = args[0];
  if (isHelpFlag(first)) {
    options.help = true;
    return options;
  }
  if (first == "--version") {
    options.version = true;
    return options;
  }
  // "vantrel help" and "vantrel help check", as many tools accept.
  if (first == "help") {
    options.help = true;
    if (args.size() > 2)
      throw UsageError(Command::None, "help takes at most one command");
    if (args.size() == 2) {
      auto command = commandFromName(args[1]);
      if (!command)
        throw UsageError(Command::None, "unknown command '" + args[1] + "'");
      options.command = *command;
    }
    return options;
  }
  if (!first.empty() && first[0] == '-') {
    throw UsageError(Command::None, "unknown option '" + first + "'");
  }
  auto command = commandFromName(first);
  if (!command)
    throw UsageError(Command::None, "unknown command '" + first + "'");
  options.command = *command;

  // --help wins over everything else on the line, so "vantrel check --help" works before the
  // user knows which arguments are required.
  for (size_t i = 1; i < args.size() && args[i] != "--"; ++i) {
    if (isHelpFlag(args[i])) {
      options.help = true;
      return options;
    }
  }
  Parser(*command, args, 1).run(options);
  return options;
}

std::string commandName(Command command) {
  switch (command) {
    case Command::Check:
      return "check";
    case Command::Sets:
      return "sets";
    case Command::Switch:
      return "switch";
    case Command::Relink:
      return "relink";
    case Command::Status:
      return "status";
    case Command::Demo:
      return "demo";
    case Command::None:
      break;
  }
  return "";
}

std::string scenarioName(Scenario scenario) {
  switch (scenario) {
    case Scenario::Healthy:
      return "healthy";
    case Scenario::Renamed:
      return "renamed";
    case Scenario::Moved:
      return "moved";
    case Scenario::NoSet:
      return "noset";
  }
  return "";
}

std::string helpText(Command command) {
  switch (command) {
    case Command::None:
      return R"(Usage: vantrel COMMAND [ARGS...]

Keeps a desktop-database front end connected to its back-end database files.

Commands:
  check FRONTEND    run the start-up check on a front end, as its application would
  sets FRONTEND     open the Set Manager
  switch FRONTEND   check the links, then open the Switch Set Manager
  relink FRONTEND   repair the links by hand in the Relink Manager
  status FRONTEND   print the link sets and linked tables (read-only)
  demo [DIR]        build a demo front end with back ends to try the check on

Options:
  -h, --help        show this help (or a command's: vantrel COMMAND --help)
  --version         show the version

Exit status: 0 success; 1 the user chose to ignore a problem (check, switch), or
some links still fail (relink); 2 a usage error, or a file that is missing or not a database.
)";
    case Command::Check:
      return R"(Usage: vantrel check FRONTEND [OPTIONS]

Runs the start-up check on FRONTEND exactly as its application would: compares the front
end's linked tables with its active link set and with the files on disk, repairs what it can
and opens the Relink Wizard when the user has to choose.

Options:
  --ui=auto|qt|console  window driver (default auto: the desktop windows when a display is
                        available and this build has them, otherwise the console)
  --no-set-switching    do not let the user switch to another link set
  --no-path-change      clear the path-change permission
  --no-add-tables       do not let the user add extra linked tables to the active set
  --no-set-mgmt         clear the set-management permission

Console driver: each window is printed with its controls, then "> " asks for one command a
line: click NAME, click NAME INDEX, check NAME INDEX, type NAME TEXT, column NAME INDEX,
show, close. Message boxes ("? ") are answered with a button word (ok, cancel, yes, no...);
file dialogs with a path (empty cancels). At the end of input a message box takes its
default button and an open window is closed.

Exit status: 0 done; 1 the user chose to ignore the problem; 2 usage error, or FRONTEND is
missing or not a database.
)";
    case Command::Sets:
      return R"(Usage: vantrel sets FRONTEND [--ui=auto|qt|console]

Opens the Set Manager on FRONTEND: create, copy, rename, describe, delete and activate link
sets and edit their links. Every change is written at once; OK applies the active set to the
front end's linked tables (and runs the start-up check when its links do not all work).

Options:
  --ui=auto|qt|console  window driver, as for check

Exit status: 0 the window was closed; 2 usage error, or FRONTEND is missing, not a
database or read-only.
)";
    case Command::Switch:
      return R"(Usage: vantrel switch FRONTEND [--ui=auto|qt|console]

Runs the start-up check on FRONTEND, as `vantrel check` does, then opens the Switch Set
Manager: choose another stored link set and press OK to make it active and relink the front
end to it. A set whose back ends cannot all be reached can still be chosen: the Relink
Wizard then takes over to repair its links. Cancel changes nothing.

Options:
  --ui=auto|qt|console  window driver, as for `vantrel check`

Exit status: 0 done; 1 the user chose to ignore a problem the check found; 2 usage error,
FRONTEND is missing or not a database, or it is read-only (the check says so and the window
is not opened).
)";
    case Command::Relink:
      return R"(Usage: vantrel relink FRONTEND [--ui=auto|qt|console]

Opens the Relink Manager on FRONTEND: the status of every link of the active link set as a
tree, why the links failed, and candidate back ends found near the failed one and below the
front end's folder, scored by likeness. Select one (or add one with Browse) and press Relink
to point the failed back end's tables at it; the links are then tested again and the window
comes back. Done leaves. With no active link set the Set Manager opens instead.

Options:
  --ui=auto|qt|console  window driver, as for `vantrel check`

Exit status: 0 every link of the active set opens when you leave; 1 some still fail, or no
set is active; 2 usage error, FRONTEND is missing or not a database, or it is read-only.
)";
    case Command::Status:
      return R"(Usage: vantrel status FRONTEND [--json]

Prints, without changing the file in any way, each link set stored in FRONTEND (description,
active and valid flags, links) and each linked table of the front end with its connect
string and whether it opens now.

Options:
  --json   machine-readable output: one JSON object

Exit status: 0 report printed; 2 usage error, or FRONTEND is missing or not a database.
)";
    case Command::Demo:
      return R"(Usage: vantrel demo [DIR] [--scenario healthy|renamed|moved|noset]

Builds a demo in DIR (default: a new folder under the temporary folder): a front end
App/Front.mdb with a local table and an active link set "Office" linking Customers and
Orders from App/Data/Sales.mdb and Employees and Departments from App/Data/Staff.mdb.
Then applies the scenario and prints the command that runs the check on it.

Scenarios:
  healthy   everything in place: the check has nothing to do
  renamed   (default) Sales.mdb renamed to Sales-2024.mdb: the wizard repairs the links
  moved     the whole App folder moved to DIR/Moved/App
  noset     a front end with linked tables but no link sets

Exit status: 0 built; 2 usage error, DIR already holds App/, or the demo could not be built.
)";
  }
  return "";
}

}  // namespace vantrel
