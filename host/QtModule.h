// Loading the Qt desktop driver on first need. The module (uikit/qt/module.h) is found through
// VANTREL_QT_MODULE, beside the program, in the vantrel folder beside the library, or in the
// library folder of the prefix the build was configured for; it is loaded
// only when the first window is about to be shown, so a session that shows none (a healthy
// check, a status report) never maps the Qt libraries.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "uikit/desktop.h"

namespace vantrel {

// The module's path: $VANTREL_QT_MODULE when set, else libvantrel_qt.so beside the program, else
// in vantrel/ beside this library, else in the configured prefix; "" when the file is not there.
std::string qtModulePath();

// A desktop that loads the module and creates the Qt desktop when the first window, message box
// or file dialog is about to be shown, and from then on forwards everything to it. Before that,
// nothing is drawn, so the busy pointer is only remembered and events and beeps have nowhere to
// go. When loading fails, onFailure(why) gives the desktop to use instead (or throws).
class LazyQtDesktop : public uikit::Desktop {
 public:
  using Fallback = std::function<std::unique_ptr<uikit::Desktop>(const std::string& why)>;
  LazyQtDesktop(std::string modulePath, int& argc, char** argv, Fallback onFailure);
  ~LazyQtDesktop() override;

  void runModal(uikit::Form& form) override;
  uikit::Answer messageBox(const uikit::MessageBox& box) override;
  std::string openFile(const uikit::CommonDialog& dialog) override;
  void setBusy(bool busy) override;
  void beep() override;
  void doEvents() override;
  void refresh(uikit::Control& control) override;

 private:
  uikit::Desktop& loaded();

  std::string modulePath_;
  int& argc_;
  char** argv_;
  Fallback onFailure_;
  std::unique_ptr<uikit::Desktop> desktop_;
  bool busy_ = false;
};

}  // namespace vantrel
