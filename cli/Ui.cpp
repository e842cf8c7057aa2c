#include "cli/Ui.h"

#include <unistd.h>
#include <cstdlib>
#include <iostream>
#include <string>

#include "cli/Errors.h"
#include "uikit/console/console_desktop.h"
#include "uikit/console/fd_input.h"
#include "uikit/desktop.h"
#ifdef VANTREL_HAVE_QT
#include "uikit/qt/qt_desktop.h"
#endif

namespace vantrel {

namespace {

#ifndef VANTREL_HAVE_QT
bool envSet(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0';
}
#endif

class ConsoleSession : public UiSession {
 public:
  // A terminal echoes what the user types; when the commands come from a pipe or a file the
  // driver echoes them itself, so the output still reads like the session it was. Input is read
  // from the descriptor, so a Stop typed during a search is seen without blocking.
  ConsoleSession()
      : input_(&inputBuffer_),
        desktop_(input_, std::cout, uikit::console::Options{.echo = !isatty(STDIN_FILENO)}),
        scope_(desktop_) {}

 private:
  uikit::console::FdInputBuffer inputBuffer_{STDIN_FILENO};
  std::istream input_;
  uikit::console::ConsoleDesktop desktop_;
  uikit::ScopedDesktop scope_;
};

#ifdef VANTREL_HAVE_QT
class QtSession : public UiSession {
 public:
  QtSession(int& argc, char** argv) : desktop_(argc, argv), scope_(desktop_) {}

 private:
  uikit::qt::QtDesktop desktop_;
  uikit::ScopedDesktop scope_;
};

// Platforms that draw nowhere a person can see: fine when asked for by name (tests, screenshots),
// but `auto` must not pick them, or the check would wait on windows nobody can answer.
bool headlessPlatform() {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr)
    return false;
  const std::string name = platform;
  return name.rfind("offscreen", 0) == 0 || name.rfind("minimal", 0) == 0;
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
    return std::make_unique<QtSession>(argc, argv);
  }
#else
  if (choice == UiChoice::Qt) {
    throw FatalError("this vantrel was built without the Qt desktop driver; use --ui=console");
  }
#endif
  return std::make_unique<ConsoleSession>();
}

}  // namespace vantrel
