// What the Qt suites share: modal windows driven from timers that run inside their event loops,
// as a user would drive them, buttons clicked by name, screenshots saved next to the test program
// for a person to look at, the layout check every drawn window must pass, and the check that
// every designed text shows whole in its control with the dialog's real font metrics.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <type_traits>

#include <QTest>

#include <QtWidgets>
#include "uikit/qt/dialog_font.h"

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

// Every text of dialog's shown controls (its named widgets) shows whole: captions of
// buttons, options, check boxes and frames on their line, labels within their height once
// wrapped, list view headers in their columns, status bar panels in their width; a multi-line
// text box breaks only where its text does (each line fits the width) and needs no scrolling.
inline void expectTextsFit(QWidget& dialog, double scale) {
  const auto fail = [&](QWidget* w, const QString& text) {
    return (dialog.objectName() + "." + w->objectName() + ": \"" + text + "\"").toStdString();
  };
  for (QWidget* w : dialog.findChildren<QWidget*>()) {
    if (w->objectName().isEmpty() || !w->isVisibleTo(&dialog))
      continue;
    const QFontMetrics fm = w->fontMetrics();
    if (auto* b = qobject_cast<QPushButton*>(w)) {
      QStyleOptionButton opt;
      opt.initFrom(b);
      opt.text = b->text();
      const QRect room = b->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, b);
      const QSize need = fm.size(Qt::TextShowMnemonic, b->text());
      EXPECT_LE(need.width(), room.width()) << fail(w, b->text());
      EXPECT_LE(need.height(), room.height()) << fail(w, b->text());
    } else if (qobject_cast<QRadioButton*>(w) || qobject_cast<QCheckBox*>(w)) {
      const QSize need = w->sizeHint();
      EXPECT_LE(need.width(), w->width()) << fail(w, static_cast<QAbstractButton*>(w)->text());
      EXPECT_LE(fm.height(), w->height()) << fail(w, static_cast<QAbstractButton*>(w)->text());
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
      EXPECT_LE(fm.horizontalAdvance(g->title()) + 2 * fm.averageCharWidth(), g->width())
          << fail(w, g->title());
    } else if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty()) {
      const QRect room = l->contentsRect();
      const int flags = (l->wordWrap() ? Qt::TextWordWrap : 0) | Qt::TextShowMnemonic;
      const QRect need = fm.boundingRect(QRect(0, 0, room.width(), 100000), flags, l->text());
      EXPECT_LE(need.width(), room.width()) << fail(w, l->text());
      EXPECT_LE(need.height(), room.height()) << fail(w, l->text());
    } else if (auto* t = qobject_cast<QPlainTextEdit*>(w)) {
      const int room = t->viewport()->width() - 2 * t->document()->documentMargin();
      const QString text = t->toPlainText();
      // A designed line the classic font sets within the designed width must not wrap; longer
      // ones are paragraphs the box wraps. Spaces at the end of a line never make it wrap.
      const double designed = (t->width() - 8) / scale;
      for (const QString& line : text.split('\n')) {
        const QString shown = QString(line).remove(QRegularExpression("\\s+$"));
        if (shown.size() * uikit::qt::kClassicTextWidth <= designed) {
          EXPECT_LE(fm.horizontalAdvance(shown), room) << fail(w, line);
        }
      }
      EXPECT_EQ(t->verticalScrollBar()->maximum(), 0) << fail(w, text) << " scrolls";
    } else if (auto* v = qobject_cast<QTreeWidget*>(w); v && !v->isHeaderHidden()) {
      for (int c = 0; c < v->columnCount(); ++c) {
        const QString text = v->headerItem()->text(c);
        EXPECT_LE(v->header()->sectionSizeHint(c), v->columnWidth(c)) << fail(w, text);
      }
    } else if (auto* bar = qobject_cast<QStatusBar*>(w)) {
      for (QLabel* panel : bar->findChildren<QLabel*>())
        EXPECT_LE(fm.horizontalAdvance(panel->text()), panel->contentsRect().width())
            << fail(w, panel->text());
    }
  }
}

}  // namespace qt_test
