// The Relink Manager, its legend and its scoring help as the Qt driver draws them on the
// offscreen platform, from a real front end whose back end was renamed: the status pictures
// reach the tree and the legend, the two layouts size the window, and a screenshot of each
// window lands next to the test program for a look.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <utility>

#include <QTest>
#include <QtWidgets>

#include "engine/ComponentState.h"
#include "engine/clsOrvanta.h"
#include "tests/support/Fixtures.h"
#include "uikit/qt/qt_desktop.h"

namespace orvanta {
namespace {

// Runs each step once the active modal window is the named form's dialog, in order. Each step
// waits on a timer of its own: a step that opens a modal window is still running while the
// next one has to fire, and a timer never fires inside its own handler.
class Steps {
 public:
  void then(QString form, std::function<void(QWidget&)> step) {
    steps_.emplace_back(std::move(form), std::move(step));
  }
  void start() {
    if (steps_.empty())
      return;
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [this, poll] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible() || modal->objectName() != steps_.front().first)
        return;
      if (!modal->isActiveWindow())
        return modal->activateWindow();
      poll->stop();
      poll->deleteLater();
      auto step = std::move(steps_.front().second);
      steps_.pop_front();
      start();
      step(*modal);
    });
    poll->start(5);
  }
  bool done() const { return steps_.empty(); }

 private:
  std::deque<std::pair<QString, std::function<void(QWidget&)>>> steps_;
};

void click(QWidget& dialog, const char* name) {
  auto* button = dialog.findChild<QPushButton*>(name);
  ASSERT_NE(button, nullptr) << name;
  QTest::mouseClick(button, Qt::LeftButton);
}

void screenshot(QWidget& w, const char* file) {
  const QString path = QStringLiteral(VANTREL_SCREENSHOT_DIR "/") + file;
  EXPECT_TRUE(w.grab().save(path)) << path.toStdString();
}

TEST(RelinkManagerQt, DrawsTheThreeWindowsWithTheStatusPictures) {
  testsupport::TempDir dir;
  const std::string fe = dir.file("app/fe.mdb");
  const std::string gone = dir.file("app/data/Sales.mdb");
  const std::string staff = dir.file("app/data/Staff.mdb");
  testsupport::makeBackEnd(dir.file("app/data/Sales-2024.mdb"), {"Customers", "Orders"});
  testsupport::makeBackEnd(staff, {"Employees"});
  testsupport::makeFrontEnd(fe);
  testsupport::addLinkSet(fe, "Office", "", true,
                          {{"Customers", gone}, {"Orders", gone}, {"Employees", staff}}, fe);

  uikit::qt::QtDesktop desk;
  uikit::ScopedDesktop use(desk);
  Steps steps;
  steps.then("frmLinkManager", [](QWidget& d) {
    EXPECT_EQ(d.height(), 6345 / 15);
    screenshot(d, "frmLinkManager.png");
    click(d, "cmdExpand");
    EXPECT_EQ(d.height(), 8670 / 15);
    auto* tree = d.findChild<QTreeWidget*>("treLinkStatus");
    ASSERT_NE(tree, nullptr);
    ASSERT_EQ(tree->topLevelItemCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->icon(0).pixmap(16, 12).size(), QSize(16, 12));
    tree->expandAll();
    screenshot(d, "frmLinkManager-expanded.png");
    click(d, "cmdLegend");
  });
  steps.then("frmLegend", [](QWidget& d) {
    for (const char* image : {"Image1", "Image2", "Image3", "Image4", "Image5"}) {
      auto* picture = d.findChild<QLabel*>(image);
      ASSERT_NE(picture, nullptr) << image;
      EXPECT_EQ(picture->pixmap().size(), QSize(16, 12)) << image;
    }
    screenshot(d, "frmLegend.png");
    click(d, "cmdOk");
  });
  steps.then("frmLinkManager", [](QWidget& d) { click(d, "cmdOpenScoring"); });
  steps.then("frmScoring", [](QWidget& d) {
    screenshot(d, "frmScoring.png");
    click(d, "cmdOk");
  });
  steps.then("frmLinkManager", [](QWidget& d) { click(d, "cmdCancel"); });
  steps.start();
  EXPECT_FALSE(OpenRelinkManager(fe));
  EXPECT_TRUE(steps.done());
}

}  // namespace
}  // namespace orvanta
