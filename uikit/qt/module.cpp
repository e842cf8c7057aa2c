// The entry point of the Qt driver module (see module.h).
#include "uikit/qt/module.h"

#include <exception>

#include "uikit/qt/qt_desktop.h"

extern "C" __attribute__((visibility("default"))) uikit::Desktop* vantrel_qt_create_desktop(
    int* argc, char** argv, std::string* error) {
  // Checked against the declared type, so the program and the module cannot drift apart.
  [[maybe_unused]] const uikit::qt::CreateDesktopFunction self = &vantrel_qt_create_desktop;
  try {
    return new uikit::qt::QtDesktop(*argc, argv);
  } catch (const std::exception& e) {
    *error = e.what();
  } catch (...) {
    *error = "the Qt desktop could not start";
  }
  return nullptr;
}
