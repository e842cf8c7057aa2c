#include "uikit/qt/qt_desktop.h"

#include <stdexcept>

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "uikit/qt/conversions.h"
#include "uikit/qt/dialog_font.h"
#include "uikit/qt/form_dialog.h"
#include "uikit/qt/pictures.h"

namespace uikit::qt {
namespace {

QMessageBox::StandardButton standardButton(Answer a) {
  switch (a) {
    case Answer::OK:
      return QMessageBox::Ok;
    case Answer::Cancel:
      return QMessageBox::Cancel;
    case Answer::Abort:
      return QMessageBox::Abort;
    case Answer::Retry:
      return QMessageBox::Retry;
    case Answer::Ignore:
      return QMessageBox::Ignore;
    case Answer::Yes:
      return QMessageBox::Yes;
    case Answer::No:
      return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon messageIcon(Icon icon) {
  switch (icon) {
    case Icon::Critical:
      return QMessageBox::Critical;
    case Icon::Question:
      return QMessageBox::Question;
    case Icon::Exclamation:
      return QMessageBox::Warning;
    case Icon::Information:
      return QMessageBox::Information;
    case Icon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

QtDesktop::QtDesktop() {
  // Qt keeps a reference to argc, so the program's stand-in command line lives forever.
  static int argc = 1;
  static char name[] = "vantrel";
  static char* argv[] = {name, nullptr};
  init(argc, argv);
}

QtDesktop::QtDesktop(int& argc, char** argv) {
  init(argc, argv);
}

void QtDesktop::init(int& argc, char** argv) {
  if (QCoreApplication* app = QCoreApplication::instance()) {
    if (!qobject_cast<QApplication*>(app))
      throw std::logic_error("the Qt desktop needs a QApplication, not a QCoreApplication");
  } else {
    ownApp_ = std::make_unique<QApplication>(argc, argv);
    QApplication::setWindowIcon(appIcon());
  }
  // Hiding the last dialog of a chain must not end the program's event processing.
  QApplication::setQuitOnLastWindowClosed(false);
  context_ = std::make_unique<QObject>();
}

QtDesktop::~QtDesktop() {
  if (busy_)
    QApplication::restoreOverrideCursor();
  context_.reset();
}

void QtDesktop::runModal(Form& form) {
  // Hide the dialogs of forms a handler hid before this show, so the new dialog's parent is a
  // window the user still sees.
  redrawAll();
  // While an exception waits to leave the show below, nothing new starts.
  if (pending_ || !form.loaded() || !form.visible())
    return;
  auto dialog = std::make_unique<FormDialog>(*this, form, topVisibleDialog());
  QEventLoop loop;
  modals_.push_back(Modal{&form, dialog.get(), &loop});
  redrawAll();  // shows the new dialog
  if (form.loaded() && form.visible())
    loop.exec();
  modals_.pop_back();
  dialog->hide();
  dialog.reset();
  if (!modals_.empty()) {
    // The caller (Form::ShowModal) reactivates the window below, which may change models; the
    // redraw and the check of the show below run once it has.
    QTimer::singleShot(0, context_.get(), [this] {
      redrawAll();
      endFinishedModal();
    });
  }
  // A handler of this show threw: the exception leaves through ShowModal like any other, so a
  // handler further out may catch it, or it unwinds the next show out as well.
  if (pending_)
    std::rethrow_exception(std::exchange(pending_, nullptr));
}

void QtDesktop::deliver(const std::function<void()>& action) {
  try {
    action();
  } catch (...) {
    // Qt cannot carry an exception through its event loop: park it and end the innermost modal
    // show, whose runModal throws it on.
    if (!pending_)
      pending_ = std::current_exception();
    if (!modals_.empty())
      modals_.back().loop->exit();
  }
  redrawAll();
  endFinishedModal();
}

void QtDesktop::redrawAll() {
  for (std::size_t i = 0; i < modals_.size(); ++i) {
    const Modal& m = modals_[i];
    m.dialog->sync();
    // A form may run more than one show (hidden, then shown again inside a later one): only its
    // innermost dialog is on screen.
    bool shown = m.form->loaded() && m.form->visible();
    for (std::size_t j = i + 1; j < modals_.size() && shown; ++j)
      if (modals_[j].form == m.form)
        shown = false;
    if (m.dialog->isVisible() != shown)
      m.dialog->setVisible(shown);
  }
}

void QtDesktop::endFinishedModal() {
  if (modals_.empty())
    return;
  const Modal& top = modals_.back();
  if (!top.form->loaded() || !top.form->visible())
    top.loop->exit();
}

QWidget* QtDesktop::topVisibleDialog() const {
  for (auto it = modals_.rbegin(); it != modals_.rend(); ++it)
    if (it->dialog->isVisible())
      return it->dialog;
  return nullptr;
}

QDialog* QtDesktop::dialogOf(const Form& form) const {
  for (auto it = modals_.rbegin(); it != modals_.rend(); ++it)
    if (it->form == &form)
      return it->dialog;
  return nullptr;
}

Answer QtDesktop::messageBox(const MessageBox& box) {
  redrawAll();  // what the user sees behind the box is the models' state now
  const QString title = QString::fromStdString(box.title.empty() ? kDefaultTitle : box.title);
  QMessageBox dialog(messageIcon(box.icon), title, displayText(box.text), QMessageBox::NoButton,
                     topVisibleDialog());
  dialog.setTextFormat(Qt::PlainText);
  dialog.setFont(dialogFont());
  dialog.setWindowIcon(appIcon());
  for (Answer a : buttonAnswers(box.buttons))
    dialog.addButton(standardButton(a));
  dialog.setDefaultButton(standardButton(defaultAnswer(box.buttons)));
  dialog.exec();
  const std::vector<Answer> answers = buttonAnswers(box.buttons);
  if (QAbstractButton* clicked = dialog.clickedButton()) {
    const QMessageBox::StandardButton which = dialog.standardButton(clicked);
    for (Answer a : answers)
      if (standardButton(a) == which)
        return a;
  }
  return unattendedAnswer(box.buttons);
}

std::string QtDesktop::openFile(const CommonDialog& dialog) {
  redrawAll();
  QString selected;
  const QString filter = qtFileFilter(dialog.Filter, dialog.FilterIndex, &selected);
  const QString title = dialog.DialogTitle.empty() ? QStringLiteral("Open")
                                                   : QString::fromStdString(dialog.DialogTitle);
  QString start = QString::fromStdString(dialog.InitDir);
  if (!dialog.FileName.empty())
    start = QDir(start).filePath(QString::fromStdString(dialog.FileName));
  const QString path =
      QFileDialog::getOpenFileName(topVisibleDialog(), title, start, filter, &selected);
  return path.toStdString();
}

void QtDesktop::setBusy(bool busy) {
  if (busy == busy_)
    return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(Qt::WaitCursor);
  else
    QApplication::restoreOverrideCursor();
}

void QtDesktop::beep() {
  QApplication::beep();
}

void QtDesktop::doEvents() {
  redrawAll();
  QCoreApplication::processEvents();
}

void QtDesktop::refresh(Control& control) {
  for (auto it = modals_.rbegin(); it != modals_.rend(); ++it) {
    if (it->form == &control.form()) {
      it->dialog->syncControl(control);
      return;
    }
  }
}

}  // namespace uikit::qt
