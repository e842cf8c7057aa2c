// FormDialog's keyboard, mouse, focus and frame events, turned into the model's user actions.
#include <QCloseEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>

#include "uikit/qt/form_dialog.h"
#include "uikit/qt/qt_desktop.h"
#include "uikit/user_input.h"

namespace uikit::qt {

void FormDialog::closeEvent(QCloseEvent* event) {
  // The form decides; if it unloads, the desktop ends the modal show and hides this dialog.
  event->ignore();
  desktop_.deliver([this] { closeFromFrame(form_); });
}

void FormDialog::reject() {
  desktop_.deliver([this] { closeFromFrame(form_); });
}

void FormDialog::keyPressEvent(QKeyEvent* event) {
  if (event->modifiers() == Qt::NoModifier || event->modifiers() == Qt::KeypadModifier) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
      auto* button = qobject_cast<QPushButton*>(focusWidget());
      if (!button || button->window() != this) {
        button = nullptr;
        for (const auto& c : form_.controls()) {
          auto* b = qobject_cast<QPushButton*>(widgetOf(*c));
          if (b && b->isVisible() && static_cast<const CommandButton&>(*c).Default) {
            button = b;
            break;
          }
        }
      }
      if (button && button->isEnabled() && button->isVisible())
        button->click();
      event->accept();
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

bool FormDialog::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (syncing_ || (type != QEvent::MouseButtonRelease && type != QEvent::FocusIn))
    return QDialog::eventFilter(watched, event);
  const auto it = controlOf_.find(watched);
  if (it == controlOf_.end())
    return QDialog::eventFilter(watched, event);
  Control& control = *it->second;
  auto* widget = static_cast<QWidget*>(watched);
  if (type == QEvent::MouseButtonRelease) {
    // Widgets without a click signal of their own: labels, pictures, frames.
    const ControlKind kind = control.kind();
    const bool passive =
        kind == ControlKind::Label || kind == ControlKind::Picture || kind == ControlKind::Frame;
    auto* mouse = static_cast<QMouseEvent*>(event);
    if (passive && control.Click && mouse->button() == Qt::LeftButton &&
        widget->rect().contains(mouse->position().toPoint())) {
      desktop_.deliver([&] { click(control); });
    }
  } else {
    // The keyboard moved the focus (Tab, an access key), or a click went into a text box: the
    // model hears of it. Other clicks reach the model as clicks, which move its focus anyway.
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    const bool keyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                          reason == Qt::ShortcutFocusReason;
    const bool typing = reason == Qt::MouseFocusReason && control.kind() == ControlKind::TextBox;
    if ((keyboard || typing) && form_.focused() != &control) {
      QPointer<QWidget> target = widget;
      // Queued: a handler's redraw must not move the focus inside the focus change itself.
      QMetaObject::invokeMethod(
          this,
          [this, target, &control] {
            if (!target || !target->hasFocus() || form_.focused() == &control)
              return;
            desktop_.deliver([&] {
              // The widget has the focus already; only a handler moving it on (or a refusal
              // sending it back) makes the redraw move the platform's focus.
              focusDrawn_ = &control;
              form_.SetFocus(control);
            });
          },
          Qt::QueuedConnection);
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace uikit::qt
