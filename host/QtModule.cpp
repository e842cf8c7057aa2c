#include "host/QtModule.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>
#include <string>
#include <utility>

#include "uikit/qt/module.h"

#ifndef VANTREL_MODULE_DIR
#define VANTREL_MODULE_DIR ""
#endif

namespace vantrel {
namespace {

bool isFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

std::string programFolder() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0)
    return "";
  return folderOf(std::string(buffer, static_cast<std::size_t>(n)));
}

// The folder of the file this code was loaded from: liborvanta.so in an installation, whose
// modules sit in lib/vantrel beside it wherever the prefix was moved to.
std::string libraryFolder() {
  Dl_info info{};
  if (::dladdr(reinterpret_cast<void*>(&qtModulePath), &info) == 0 || info.dli_fname == nullptr)
    return "";
  return folderOf(info.dli_fname);
}

// The Qt desktop made by the module at path; throws std::runtime_error saying why it cannot.
// The module is never unloaded: Qt does not support being unloaded from a running process.
std::unique_ptr<uikit::Desktop> loadQtDesktop(const std::string& path, int& argc, char** argv) {
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module)
    throw std::runtime_error(std::string("cannot load ") + ::dlerror());
  auto create = reinterpret_cast<uikit::qt::CreateDesktopFunction>(
      ::dlsym(module, uikit::qt::kCreateDesktopSymbol));
  if (!create)
    throw std::runtime_error(path + " is not the Qt desktop driver module");
  std::string error;
  std::unique_ptr<uikit::Desktop> desktop(create(&argc, argv, &error));
  if (!desktop)
    throw std::runtime_error(error);
  return desktop;
}

}  // namespace

std::string qtModulePath() {
  if (const char* forced = std::getenv("VANTREL_QT_MODULE"); forced && *forced)
    return isFile(forced) ? forced : "";
  const std::string library = libraryFolder();
  for (const std::string& folder :
       {programFolder(), library.empty() ? library : library + "/vantrel",
        std::string(VANTREL_MODULE_DIR)}) {
    const std::string path = folder + "/" + uikit::qt::kModuleFile;
    if (!folder.empty() && isFile(path))
      return path;
  }
  return "";
}

LazyQtDesktop::LazyQtDesktop(std::string modulePath, int& argc, char** argv, Fallback onFailure)
    : modulePath_(std::move(modulePath)),
      argc_(argc),
      argv_(argv),
      onFailure_(std::move(onFailure)) {}

LazyQtDesktop::~LazyQtDesktop() = default;

uikit::Desktop& LazyQtDesktop::loaded() {
  if (!desktop_) {
    try {
      desktop_ = loadQtDesktop(modulePath_, argc_, argv_);
    } catch (const std::exception& e) {
      desktop_ = onFailure_(e.what());
    }
    if (busy_)
      desktop_->setBusy(true);
  }
  return *desktop_;
}

void LazyQtDesktop::runModal(uikit::Form& form) {
  loaded().runModal(form);
}

uikit::Answer LazyQtDesktop::messageBox(const uikit::MessageBox& box) {
  return loaded().messageBox(box);
}

std::string LazyQtDesktop::openFile(const uikit::CommonDialog& dialog) {
  return loaded().openFile(dialog);
}

void LazyQtDesktop::setBusy(bool busy) {
  busy_ = busy;
  if (desktop_)
    desktop_->setBusy(busy);
}

void LazyQtDesktop::beep() {
  if (desktop_)
    desktop_->beep();
}

void LazyQtDesktop::doEvents() {
  if (desktop_)
    desktop_->doEvents();
}

void LazyQtDesktop::refresh(uikit::Control& control) {
  if (desktop_)
    desktop_->refresh(control);
}

}  // namespace vantrel
