// The Relink Manager, its legend and its scoring help as the Qt driver draws them on the
// offscreen platform, from a real front end whose back end was renamed: the help windows laid out
// whole, the status pictures in the tree and the legend, the expanded layout growing the window,
// and a screenshot of it next to the test program for a look.
#include <gtest/gtest.h>

#include <string>

#include "orvanta/clsOrvanta.h"
#include "tests/support/Fixtures.h"
#include "tests/uikit/qt/qt_test_support.h"
#include "uikit/qt/qt_desktop.h"

namespace orvanta {
namespace {

using qt_test::click;
using qt_test::screenshot;
using qt_test::when;

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
  bool closed = false;
  when("frmLinkManager", [&](QWidget& d) {
    const int collapsed = d.height();
    click(d, "cmdExpand");
    EXPECT_GT(d.height(), collapsed);
    auto& tree = qt_test::child<QTreeWidget>(d, "treLinkStatus");
    ASSERT_EQ(tree.topLevelItemCount(), 2);
    EXPECT_EQ(tree.topLevelItem(0)->icon(0).pixmap(16, 12).size(), QSize(16, 12));
    tree.expandAll();
    screenshot(d, "frmLinkManager-expanded.png");
    when("frmLegend", [&](QWidget& legend) {
      for (const char* image : {"Image1", "Image2", "Image3", "Image4", "Image5"}) {
        const auto& picture = qt_test::child<QLabel>(legend, image);
        EXPECT_EQ(picture.pixmap().size(), picture.size()) << image;
      }
      qt_test::expectLaidOut(legend);
      when("frmLinkManager", [&](QWidget& again) {
        when("frmScoring", [&](QWidget& help) {
          qt_test::expectLaidOut(help);
          when("frmLinkManager", [&](QWidget& last) {
            closed = true;
            click(last, "cmdCancel");
          });
          click(help, "cmdOk");
        });
        click(again, "cmdOpenScoring");
      });
      click(legend, "cmdOk");
    });
    click(d, "cmdLegend");
  });
  EXPECT_FALSE(OpenRelinkManager(fe));
  EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace orvanta
