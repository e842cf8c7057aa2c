// What the Qt suites share: modal windows driven from timers that run inside their event loops,
// as a user would drive them, buttons clicked by name, screenshots saved next to the test program
// for a person to look at, and the layout check every drawn window must pass.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <type_traits>

#include <QTest>
#include <QtWidgets>

namespace qt_test {

// Runs step once the active modal window is a W named name (any name when empty): a form's
// dialog is named after the form. It waits for the window to be activated too, since keys and
// focus go to the active window only, as with a user. A step that opens the next window queues
// the step for it first.
template <class W = QWidget>
void when(const QString& name, std::type_identity_t<std::function<void(W&)>> step) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, name, step] {
    auto* modal = qobject_cast<W*>(QApplication::activeModalWidget());
    if (!modal || !modal->isVisible() || (!name.isEmpty() && modal->objectName() != name))
      return;
    // A file dialog may be drawn by the platform and never become the active Qt window.
    if (!modal->isActiveWindow() && !qobject_cast<QFileDialog*>(modal))
      return modal->activateWindow();  // what a window manager does with a new dialog
    poll->stop();
    poll->deleteLater();
    step(*modal);
  });
  poll->start(5);
}

template <class W>
W& child(QWidget& dialog, const char* name) {
  W* w = dialog.findChild<W*>(name);
  return w ? *w : throw std::runtime_error(std::string("no widget ") + name);
}

inline void click(QWidget& dialog, const char* button) {
  QTest::mouseClick(&child<QPushButton>(dialog, button), Qt::LeftButton);
}

#ifdef VANTREL_SCREENSHOT_DIR
inline void screenshot(QWidget& w, const char* file) {
  const QString path = QStringLiteral(VANTREL_SCREENSHOT_DIR "/") + file;
  EXPECT_TRUE(w.grab().save(path)) << path.toStdString();
}
#endif

// Every visible control of dialog (its named widgets) lies inside its container, shows its
// caption whole on one line unless it wraps, and overlaps no visible control beside it.
inline void expectLaidOut(QWidget& dialog) {
  for (QWidget* a : dialog.findChildren<QWidget*>()) {
    if (!a->isVisibleTo(&dialog) || a->objectName().isEmpty())
      continue;
    const std::string name = a->objectName().toStdString();
    EXPECT_TRUE(a->parentWidget()->rect().contains(a->geometry())) << name << " sticks out";
    QString text;
    if (auto* b = qobject_cast<QAbstractButton*>(a))
      text = b->text().remove('&') + "xx";  // room for the button's frame
    else if (auto* l = qobject_cast<QLabel*>(a); l && !l->wordWrap())
      text = l->text();
    EXPECT_LE(a->fontMetrics().horizontalAdvance(text), a->width()) << name << " is clipped";
    for (QWidget* b : a->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (a->objectName() < b->objectName() && b->isVisibleTo(&dialog)) {
        EXPECT_FALSE(a->geometry().intersects(b->geometry()))
            << name << " and " << b->objectName().toStdString();
      }
    }
  }
}

}  // namespace qt_test
