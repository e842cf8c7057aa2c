#include "orvanta/Driver.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <istream>
#include <utility>

#include "host/HostError.h"
#include "uikit/console/console_desktop.h"
#include "uikit/console/fd_input.h"
#ifdef VANTREL_HAVE_QT
#include "host/QtModule.h"
#include "uikit/qt/display.h"
#include "uikit/qt/module.h"
#endif

namespace orvanta {

namespace {

#ifndef VANTREL_HAVE_QT
bool envSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}
#endif

// Standard input read straight from its descriptor, so a Stop typed (or waiting in a pipe)
// during a search is seen without blocking.
struct StdinStream {
  uikit::console::FdInputBuffer buffer{STDIN_FILENO};
  std::istream stream{&buffer};
};

// A terminal echoes what the user types; when the commands come from a pipe or a file the
// driver echoes them itself, so the output still reads like the session it was.
class StdinConsoleDesktop : private StdinStream, public uikit::console::ConsoleDesktop {
 public:
  StdinConsoleDesktop()
      : ConsoleDesktop(StdinStream::stream, std::cout,
                       uikit::console::Options{.echo = !isatty(STDIN_FILENO)}) {}
};

std::unique_ptr<uikit::Desktop> consoleDesktop() {
  return std::make_unique<StdinConsoleDesktop>();
}

#ifdef VANTREL_HAVE_QT
// Platforms that draw nowhere a person can see: fine when asked for by name (tests, screenshots),
// but Auto must not pick them, or the check would wait on windows nobody can answer.
bool headlessPlatform() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr)
    return false;
  const std::string name = platform;
  return name.rfind("offscreen", 0) == 0 || name.rfind("minimal", 0) == 0;
}

// A window is never shown while a change is half made, so falling back (or failing) at the
// first window leaves nothing undone.
QtFailure defaultQtFailure(Driver driver) {
  return [driver](const std::string& why) -> std::unique_ptr<uikit::Desktop> {
    if (driver != Driver::Auto)
      throw HostError("the desktop windows cannot be shown: " + why);
    std::cerr << "vantrel: the desktop windows cannot be shown: " << why << "; using the console\n";
    return consoleDesktop();
  };
}
#endif

}  // namespace

std::optional<Driver> driverNamed(std::string_view name) {
  if (name == "auto")
    return Driver::Auto;
  if (name == "qt")
    return Driver::Qt;
  if (name == "console")
    return Driver::Console;
  return std::nullopt;
}

bool displayAvailable() {
#ifdef VANTREL_HAVE_QT
  return uikit::qt::displayAvailable();
#else
  return envSet("DISPLAY") || envSet("WAYLAND_DISPLAY");
#endif
}

std::unique_ptr<uikit::Desktop> makeDesktop(Driver driver, [[maybe_unused]] int& argc,
                                            [[maybe_unused]] char** argv,
                                            [[maybe_unused]] QtFailure onQtFailure) {
#ifdef VANTREL_HAVE_QT
  if (driver == Driver::Qt ||
      (driver == Driver::Auto && displayAvailable() && !headlessPlatform())) {
    if (!displayAvailable())
      throw HostError("no display available for the desktop windows");
    const std::string module = vantrel::qtModulePath();
    if (!module.empty()) {
      return std::make_unique<vantrel::LazyQtDesktop>(
          module, argc, argv, onQtFailure ? std::move(onQtFailure) : defaultQtFailure(driver));
    }
    if (driver == Driver::Qt) {
      throw HostError("the desktop driver module (" + std::string(uikit::qt::kModuleFile) +
                      ") is not installed");
    }
  }
#else
  if (driver == Driver::Qt)
    throw HostError("built without the Qt desktop driver");
#endif
  return consoleDesktop();
}

DriverSession::DriverSession(std::unique_ptr<uikit::Desktop> desktop)
    : desktop_(std::move(desktop)), scope_(*desktop_) {}

DriverSession::~DriverSession() = default;

}  // namespace orvanta
