// The Set Manager as the desktop driver draws it, in edit mode: every caption fits its control
// and no two controls of one container overlap. The picture is saved for a person to look at.
#include <QApplication>
#include <QtWidgets>

#include "tests/ui/sets/SetManagerFixture.h"
#include "uikit/qt/qt_desktop.h"
#include "uikit/user_input.h"

namespace orvanta {
namespace {

TEST_F(SetManagerTest, DrawnWithoutClippingOrOverlaps) {
  uikit::qt::QtDesktop qt;
  uikit::ScopedDesktop useQt(qt);
  buildWorld({{"Order Details", be}, {"Customers", be}}, {});
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (!dialog)
      return;
    poll.stop();
    auto& w = uikit::form<frmSetManager>();
    qt.deliver([&] { uikit::click(w.cmdUpdateLinkSet); });
    EXPECT_TRUE(dialog->grab().save(VANTREL_SCREENSHOT_DIR "/frmSetManager.png"));
    for (QWidget* a : dialog->findChildren<QWidget*>()) {
      if (!a->isVisibleTo(dialog) || a->objectName().isEmpty())
        continue;
      QString text;
      if (auto* b = qobject_cast<QAbstractButton*>(a))
        text = b->text().remove('&') + "xx";  // room for the button's frame
      else if (auto* l = qobject_cast<QLabel*>(a))
        text = l->text();
      EXPECT_LE(a->fontMetrics().horizontalAdvance(text), a->width())
          << a->objectName().toStdString();
      for (QWidget* b : a->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (a->objectName() < b->objectName() && b->isVisibleTo(dialog)) {
          EXPECT_FALSE(a->geometry().intersects(b->geometry())) << a->objectName().toStdString();
        }
      }
    }
    qt.deliver([&] { uikit::closeFromFrame(w); });
  });
  poll.start(10);
  clsOrvanta().OpenSetManager(fe);
}

}  // namespace
}  // namespace orvanta

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
