// The search dialog as the Qt driver draws it: every control inside the window and clear of the
// others, the explanation shown whole, and a Stop clicked while a search runs handled at once,
// because the search lets window events run. Screenshots land next to the test program.
#include <QtWidgets>

#include "search/frmSearch.h"
#include "tests/search/SearchSupport.h"
#include "uikit/qt/qt_desktop.h"
#include "uikit/user_input.h"

namespace orvanta {
namespace {

class SearchQtTest : public SearchTest {
 protected:
  static void screenshot(QWidget& w, const char* file) {
    const QString path = QStringLiteral(VANTREL_SCREENSHOT_DIR "/") + file;
    EXPECT_TRUE(w.grab().save(path)) << path.toStdString();
  }
  uikit::qt::QtDesktop desk;
  uikit::ScopedDesktop use{desk};
};

TEST_F(SearchQtTest, DrawnWholeAndStoppedWhileSearching) {
  make({"0.mdb", "a/1.mdb", "a/b/2.mdb"});
  drives.mounts = {{root(), "ext4"}};
  frmSearch& f = uikit::form<frmSearch>();
  bool ran = false;
  QTimer::singleShot(100, [&] {
    ran = true;
    QDialog* d = desk.dialogOf(f);
    ASSERT_TRUE(d);
    std::vector<std::pair<std::string, QRect>> placed;
    for (const auto& control : f.controls()) {
      auto* w = d->findChild<QWidget*>(QString::fromStdString(control->name()));
      if (!w || !w->isVisible())
        continue;
      EXPECT_TRUE(d->rect().contains(w->geometry())) << control->name();
      for (const auto& [name, rect] : placed)
        EXPECT_FALSE(rect.intersects(w->geometry())) << name << " and " << control->name();
      placed.emplace_back(control->name(), w->geometry());
    }
    auto* msg = d->findChild<QPlainTextEdit*>("txtMsg");
    ASSERT_TRUE(msg);
    EXPECT_EQ(msg->verticalScrollBar()->maximum(), 0);
    EXPECT_EQ(msg->horizontalScrollBar()->maximum(), 0);

    desk.deliver([&] { uikit::checkRow(f.LstDrives, 0); });
    QTimer::singleShot(0, [&] { desk.deliver([&] { uikit::click(f.cmdStop); }); });
    desk.deliver([&] { uikit::click(f.cmdSearch); });
    EXPECT_EQ(f.lstFiles.ListCount(), 0);  // stopped at the first folder
    desk.deliver([&] { uikit::click(f.cmdSearch); });
    EXPECT_EQ(f.lstFiles.ListCount(), 3);
    desk.deliver([&] { uikit::clickRow(f.lstFiles, 2); });
    screenshot(*d, "frmSearch.png");
    desk.deliver([&] { uikit::click(f.cmdCancel); });
  });
  f.ShowModal();
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace orvanta
