// vantrel: the command-line host of the Vantrel component. Parses the command line, hands the
// subcommand its options and turns every failure into one line on stderr (the message escaped,
// since it may quote a path or a stored name) and exit status 2;
// `check` and `switch` exit with the start-up check's own result (0 or 1), `relink` with
// whether every link opens at the end (0) or not (1).
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/CheckCommand.h"
#include "cli/DemoBuilder.h"
#include "cli/Errors.h"
#include "cli/ManagerCommands.h"
#include "cli/Options.h"
#include "cli/RelinkCommand.h"
#include "cli/StatusCommand.h"
#include "cli/SwitchCommand.h"
#include "dao/dao.h"
#include "uikit/printable.h"

#ifndef VANTREL_VERSION
#define VANTREL_VERSION "unknown"
#endif

namespace {

std::string prefix(vantrel::Command command) {
  const std::string name = vantrel::commandName(command);
  return name.empty() ? "vantrel: " : "vantrel " + name + ": ";
}

int run(const vantrel::Options& options, int& argc, char** argv) {
  using vantrel::Command;
  if (options.version) {
    std::cout << "vantrel " << VANTREL_VERSION << "\n";
    return 0;
  }
  if (options.help) {
    std::cout << vantrel::helpText(options.command);
    return 0;
  }
  switch (options.command) {
    case Command::Check:
      return vantrel::runCheck(options, argc, argv);
    case Command::Sets:
      return vantrel::runSets(options, argc, argv);
    case Command::Switch:
      return vantrel::runSwitch(options, argc, argv);
    case Command::Relink:
      return vantrel::runRelink(options, argc, argv);
    case Command::Status:
      return vantrel::runStatus(options);
    case Command::Demo:
      return vantrel::runDemo(options, argc > 0 ? argv[0] : "vantrel");
    case Command::None:
      break;
  }
  std::cout << vantrel::helpText(Command::None);
  return vantrel::kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  vantrel::Options options;
  try {
    options = vantrel::parseOptions(args);
  } catch (const vantrel::UsageError& e) {
    const std::string command = vantrel::commandName(e.command());
    const std::string help = command.empty() ? "vantrel --help" : "vantrel " + command + " --help";
    std::cerr << prefix(e.command()) << uikit::printable(e.what()) << " (see '" << help << "')\n";
    return vantrel::kExitFailure;
  }

  try {
    const int status = run(options, argc, argv);
    std::cout.flush();
    return status;
  } catch (const vantrel::FatalError& e) {
    std::cerr << prefix(options.command) << uikit::printable(e.what()) << "\n";
  } catch (const dao::Error& e) {
    std::cerr << prefix(options.command) << uikit::printable(e.Description()) << " (error "
              << e.Number() << ")\n";
  } catch (const std::exception& e) {
    std::cerr << prefix(options.command) << "unexpected failure: " << uikit::printable(e.what())
              << "\n";
  }
  return vantrel::kExitFailure;
}
