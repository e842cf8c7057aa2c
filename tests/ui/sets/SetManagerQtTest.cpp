// The Set Manager as the desktop driver draws it: every caption fits its control and no two
// controls of one container overlap. The picture is saved for a person to look at.
#include <QApplication>
#include <QtWidgets>

#include "tests/ui/sets/SetManagerFixture.h"
#include "uikit/qt/qt_desktop.h"
#include "uikit/user_input.h"

namespace orvanta {
namespace {

class SetManagerQt : public SetManagerTest {
 public:
  uikit::qt::QtDesktop qtDesk;
  uikit::ScopedDesktop useQt{qtDesk};
};

// The text a widget shows, "" for widgets without one.
QString shownText(QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w))
    return b->text().remove('&');
  if (auto* l = qobject_cast<QLabel*>(w))
    return l->text();
  if (auto* e = qobject_cast<QLineEdit*>(w))
    return e->text();
  return {};
}

TEST_F(SetManagerQt, EveryCaptionFitsAndNothingOverlaps) {
  testsupport::makeBackEnd(be, {"Order Details", "Customers"});
  buildWorld({{"Order Details", be}, {"Customers", be}}, {});
  addSets({"Copy of Main"});
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    auto* dialog = QApplication::activeModalWidget();
    if (!dialog || dialog->objectName() != "frmSetManager")
      return;
    poll.stop();
    auto& w = uikit::form<frmSetManager>();
    qtDesk.deliver([&] { uikit::click(w.cmdUpdateLinkSet); });
    EXPECT_TRUE(dialog->grab().save(VANTREL_SCREENSHOT_DIR "/frmSetManager.png"));
    for (QWidget* a : dialog->findChildren<QWidget*>()) {
      if (!a->isVisibleTo(dialog) || a->objectName().isEmpty())
        continue;
      const QString text = shownText(a);
      const int room = a->width() - (qobject_cast<QAbstractButton*>(a) ? 12 : 0);
      EXPECT_LE(a->fontMetrics().horizontalAdvance(text), room) << a->objectName().toStdString();
      for (QWidget* b : a->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (b != a && b->isVisibleTo(dialog) && !b->objectName().isEmpty() &&
            a->objectName() < b->objectName()) {
          EXPECT_FALSE(a->geometry().intersects(b->geometry()))
              << a->objectName().toStdString() << " and " << b->objectName().toStdString();
        }
      }
    }
    qtDesk.deliver([&] { uikit::closeFromFrame(w); });
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
