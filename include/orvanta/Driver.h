// Which window driver shows the component's windows. Every member of clsOrvanta that may show a
// window (the start-up check, the Set Manager, the Switch Set Manager, the Relink Manager) shows
// it through the calling thread's current desktop (uikit/desktop.h). A host makes one of the
// built-in drivers current with a DriverSession, or implements uikit::Desktop for its own toolkit
// and makes that current with uikit::ScopedDesktop.
//
// Threading: a desktop belongs to the thread that made it current; each thread that uses the
// component sets up its own.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "uikit/desktop.h"

namespace orvanta {

enum class Driver {
  Auto,     // Qt when this build has it and a display is there, the console otherwise
  Qt,       // the desktop windows (Qt 6), loaded as a module when the first window is shown
  Console,  // windows printed on stdout, commands read from stdin
};

// The driver a name stands for: "auto", "qt" or "console"; nullopt for anything else.
std::optional<Driver> driverNamed(std::string_view name);

// True when a graphical display can be reached (an X11 or Wayland session).
bool displayAvailable();

// Called when the Qt driver cannot be loaded as the first window is about to be shown, with the
// reason. Returns the desktop to use instead, or throws; the exception then leaves the member that
// was showing the window.
using QtFailure = std::function<std::unique_ptr<uikit::Desktop>(const std::string& why)>;

// The chosen driver's desktop, not yet current. Auto never picks Qt on an off-screen Qt platform
// (QT_QPA_PLATFORM=offscreen), where nobody could answer the windows. Qt throws
// std::runtime_error, with a one-line reason, when this build or installation has no Qt driver
// or no display can be reached. argc and argv are handed to Qt's application object and must
// outlive the desktop. Without onQtFailure, Auto goes on in the console (saying so on stderr)
// and Qt throws.
std::unique_ptr<uikit::Desktop> makeDesktop(Driver driver, int& argc, char** argv,
                                            QtFailure onQtFailure = {});

// A desktop made current for the calling thread while the session lives; the previous one is
// current again afterwards.
class DriverSession {
 public:
  explicit DriverSession(std::unique_ptr<uikit::Desktop> desktop);
  ~DriverSession();
  DriverSession(const DriverSession&) = delete;
  DriverSession& operator=(const DriverSession&) = delete;

  uikit::Desktop& desktop() { return *desktop_; }

 private:
  std::unique_ptr<uikit::Desktop> desktop_;
  uikit::ScopedDesktop scope_;
};

}  // namespace orvanta
