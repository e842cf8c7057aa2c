// The search dialog as the Qt driver draws it: a Stop clicked while a search runs is handled at
// once, because the search lets window events run. (That it fits is the window-fit test's.) The
// screenshot lands next to the test program.
#include <QtWidgets>

#include "search/frmSearch.h"
#include "tests/search/SearchSupport.h"
#include "tests/uikit/qt/qt_test_support.h"
#include "uikit/qt/qt_desktop.h"
#include "uikit/user_input.h"

namespace orvanta {
namespace {

TEST_F(SearchTest, StoppedWhileSearching) {
  uikit::qt::QtDesktop desk;
  uikit::ScopedDesktop use{desk};
  make({"0.mdb", "a/1.mdb", "a/b/2.mdb"});
  drives.mounts = {{root(), "ext4"}};
  frmSearch& f = uikit::form<frmSearch>();
  bool ran = false;
  qt_test::when("frmSearch", [&](QWidget& d) {
    ran = true;
    desk.deliver([&] { uikit::checkRow(f.LstDrives, 0); });
    QTimer::singleShot(0, [&] { desk.deliver([&] { uikit::click(f.cmdStop); }); });
    desk.deliver([&] { uikit::click(f.cmdSearch); });
    EXPECT_EQ(f.lstFiles.ListCount(), 0);  // stopped at the first folder
    desk.deliver([&] { uikit::click(f.cmdSearch); });
    EXPECT_EQ(f.lstFiles.ListCount(), 3);
    desk.deliver([&] { uikit::clickRow(f.lstFiles, 2); });
    qt_test::screenshot(d, "frmSearch.png");
    desk.deliver([&] { uikit::click(f.cmdCancel); });
  });
  f.ShowModal();
  EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace orvanta
