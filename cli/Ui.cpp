#include "cli/Ui.h"

#include <cstdlib>
#include <iostream>
#include <string>

#include "cli/Errors.h"
#include "orvanta/Driver.h"

namespace vantrel {

namespace {

class DriverUiSession : public UiSession {
 public:
  explicit DriverUiSession(std::unique_ptr<uikit::Desktop> desktop)
      : session_(std::move(desktop)) {}

 private:
  orvanta::DriverSession session_;
};

}  // namespace

std::unique_ptr<UiSession> startUi(orvanta::Driver choice, int& argc, char** argv) {
  // Should the Qt driver fail to load at the first window, `auto` carries on in the console;
  // `qt` stops with the failure's exit status, as it would had the module been missing at the
  // start.
  orvanta::QtFailure onQtFailure;
  if (choice == orvanta::Driver::Qt) {
    onQtFailure = [](const std::string& why) -> std::unique_ptr<uikit::Desktop> {
      std::cerr << "vantrel: the desktop windows cannot be shown: " << why << "\n";
      std::cout.flush();
      std::exit(kExitFailure);
    };
  }
  try {
    return std::make_unique<DriverUiSession>(orvanta::makeDesktop(choice, argc, argv, onQtFailure));
  } catch (const FatalError& e) {
    throw FatalError(std::string(e.what()) + "; use --ui=console");
  }
}

}  // namespace vantrel
