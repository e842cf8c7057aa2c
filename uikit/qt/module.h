// The Qt driver as a module a program loads when it first shows a window (dlopen), so that a
// session that shows none never maps the Qt libraries. The module exports one function with C
// linkage, looked up by the name below; the program and the module share uikit (a shared
// library), so forms, the registry and the current desktop are one and the same on both sides.
#pragma once

#include <string>

namespace uikit {
class Desktop;
}

namespace uikit::qt {

// The module's file name, as the build and an installation place it.
inline constexpr const char* kModuleFile = "libvantrel_qt.so";
inline constexpr const char* kCreateDesktopSymbol = "vantrel_qt_create_desktop";

// Creates the Qt desktop (and the QApplication, handed argc and argv, which must outlive it).
// The caller owns the result and deletes it. On failure: nullptr, and *error says why.
using CreateDesktopFunction = Desktop* (*)(int* argc, char** argv, std::string* error);

}  // namespace uikit::qt
