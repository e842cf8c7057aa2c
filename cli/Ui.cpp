#include "cli/Ui.h"

#include <unistd.h>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <utility>

#include "cli/Errors.h"
#include "uikit/console/console_desktop.h"
#include "uikit/console/fd_input.h"
#include "uikit/desktop.h"
#ifdef VANTREL_HAVE_QT
#include "cli/QtModule.h"
#include "uikit/qt/display.h"
#include "uikit/qt/module.h"
#endif

namespace vantrel {

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

class DesktopSession : public UiSession {
 public:
  explicit DesktopSession(std::unique_ptr<uikit::Desktop> desktop)
      : desktop_(std::move(desktop)), scope_(*desktop_) {}

 private:
  std::unique_ptr<uikit::Desktop> desktop_;
  uikit::ScopedDesktop scope_;
};

#ifdef VANTREL_HAVE_QT
// Platforms that draw nowhere a person can see: fine when asked for by name (tests, screenshots),
// but `auto` must not pick them, or the check would wait on windows nobody can answer.
bool headlessPlatform() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr)
    return false;
  const std::string name = platform;
  return name.rfind("offscreen", 0) == 0 || name.rfind("minimal", 0) == 0;
}

// The Qt driver, loaded when the first window is about to be shown. Should loading fail then,
// `auto` carries on in the console; `qt` stops, as it would have had the module been missing at
// the start (a window is never shown while a change is half made, so nothing is left undone).
std::unique_ptr<uikit::Desktop> lazyQtDesktop(const std::string& module, bool orConsole, int& argc,
                                              char** argv) {
  return std::make_unique<LazyQtDesktop>(
      module, argc, argv, [orConsole](const std::string& why) -> std::unique_ptr<uikit::Desktop> {
        std::cerr << "vantrel: the desktop windows cannot be shown: " << why;
        if (orConsole) {
          std::cerr << "; using the console\n";
          return consoleDesktop();
        }
        std::cerr << "\n";
        std::cout.flush();
        std::exit(kExitFailure);
      });
}
#endif

}  // namespace

bool qtDriverBuilt() {
#ifdef VANTREL_HAVE_QT
  return true;
#else
  return false;
#endif
}

bool displayAvailable() {
#ifdef VANTREL_HAVE_QT
  return uikit::qt::displayAvailable();
#else
  return envSet("DISPLAY") || envSet("WAYLAND_DISPLAY");
#endif
}

std::unique_ptr<UiSession> startUi(UiChoice choice, [[maybe_unused]] int& argc,
                                   [[maybe_unused]] char** argv) {
#ifdef VANTREL_HAVE_QT
  if (choice == UiChoice::Qt ||
      (choice == UiChoice::Auto && displayAvailable() && !headlessPlatform())) {
    if (!displayAvailable()) {
      throw FatalError("no display available for the desktop windows; use --ui=console");
    }
    const std::string module = qtModulePath();
    if (!module.empty()) {
      return std::make_unique<DesktopSession>(
          lazyQtDesktop(module, choice == UiChoice::Auto, argc, argv));
    }
    if (choice == UiChoice::Qt) {
      throw FatalError("the desktop driver module (" + std::string(uikit::qt::kModuleFile) +
                       ") is not installed beside vantrel; use --ui=console");
    }
  }
#else
  if (choice == UiChoice::Qt) {
    throw FatalError("this vantrel was built without the Qt desktop driver; use --ui=console");
  }
#endif
  return std::make_unique<DesktopSession>(consoleDesktop());
}

}  // namespace vantrel
