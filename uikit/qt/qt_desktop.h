// The desktop driver on Qt 6 Widgets. It presents any form model with Qt's native widgets,
// generically: each modal show gets a dialog whose widgets are placed from the controls'
// geometry (15 twips to a pixel, scaled to the desktop's font: dialog_font.h), every user action on
// a widget goes through uikit/user_input.h, and after each action every shown dialog is redrawn
// from the models, because a handler may change any control of any form. No window needs code of
// its own for the desktop.
//
// High-DPI: Qt 6 always scales windows to the screen's device pixel ratio; the driver's pixels
// are device-independent and its pictures are drawn at the screen's ratio.
//
// Threading: Qt widgets live on the GUI thread, so create the desktop, make it current
// (uikit::setDesktop) and show forms on the thread that owns the QApplication.
//
// Use from a program:
//   if (!uikit::qt::displayAvailable()) { ...fall back to the console driver... }
//   uikit::qt::QtDesktop desktop;            // creates the QApplication if there is none
//   uikit::ScopedDesktop current(desktop);
//   uikit::form<frmSomething>().ShowModal();
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "uikit/desktop.h"
#include "uikit/form.h"
#include "uikit/qt/display.h"

class QApplication;
class QDialog;
class QEventLoop;
class QObject;
class QWidget;

namespace uikit::qt {

class FormDialog;

class QtDesktop : public Desktop {
 public:
  // Uses the program's QApplication; when there is none, creates one (program name "vantrel")
  // that lives as long as this desktop. Throws std::logic_error when the program has a
  // QCoreApplication that is not a QApplication (widgets cannot work then). Turns off Qt's
  // quit-on-last-window-closed: a wizard hides one page before it shows the next.
  QtDesktop();
  // As above, handing Qt the program's command line (Qt reads -platform and the like) when it
  // creates the QApplication. argc and argv must outlive the desktop, as Qt requires.
  QtDesktop(int& argc, char** argv);
  ~QtDesktop() override;

  // Shows a dialog for the form and runs a nested event loop until the form is hidden or
  // unloaded. An exception from one of its handlers ends the show and leaves through here.
  void runModal(Form& form) override;
  // A QMessageBox with the box's icon, buttons and title; the default button is the set's first.
  // Escape and the frame's close button press the button Qt picks for them (Cancel, No or
  // Abort); the answer is always one of the set's.
  Answer messageBox(const MessageBox& box) override;
  // Qt's open-file dialog with the dialog's title, initial folder, proposed name and filters.
  std::string openFile(const CommonDialog& dialog) override;
  // The wait cursor over the whole application while busy; repeated calls do not stack.
  void setBusy(bool busy) override;
  void beep() override;
  // Redraws the shown dialogs, then runs pending window events (a Stop button gets its click).
  void doEvents() override;
  // Redraws the control's widget now, if a shown dialog presents it.
  void refresh(Control& control) override;

  // The dialog presenting form's innermost modal show, nullptr when it has none.
  QDialog* dialogOf(const Form& form) const;

  // Delivers a user action from a widget: runs it (a call into user_input.h), then redraws
  // every shown dialog from the models and ends the innermost modal show if its form went away.
  void deliver(const std::function<void()>& action);

 private:
  struct Modal {
    Form* form;
    FormDialog* dialog;
    QEventLoop* loop;
  };

  void init(int& argc, char** argv);
  // Syncs every dialog with its model and shows or hides it as its form is shown or not.
  void redrawAll();
  void endFinishedModal();
  QWidget* topVisibleDialog() const;

  std::unique_ptr<QApplication> ownApp_;
  // Parent of the desktop's deferred work, so none of it outlives the desktop.
  std::unique_ptr<QObject> context_;
  std::vector<Modal> modals_;  // running modal shows, innermost last
  std::exception_ptr pending_;
  bool busy_ = false;
};

}  // namespace uikit::qt
