// The Set Manager as the desktop driver draws it, in edit mode: laid out whole, and its picture
// saved for a person to look at.
#include "tests/ui/sets/SetManagerFixture.h"
#include "tests/uikit/qt/qt_test_support.h"
#include "uikit/qt/qt_desktop.h"
#include "uikit/user_input.h"

namespace orvanta {
namespace {

TEST_F(SetManagerTest, DrawnWithoutClippingOrOverlaps) {
  uikit::qt::QtDesktop qt;
  uikit::ScopedDesktop useQt(qt);
  buildWorld({{"Order Details", be}, {"Customers", be}}, {});
  qt_test::when("frmSetManager", [&](QWidget& dialog) {
    auto& w = uikit::form<frmSetManager>();
    qt.deliver([&] { uikit::click(w.cmdUpdateLinkSet); });
    qt_test::screenshot(dialog, "frmSetManager.png");
    qt_test::expectLaidOut(dialog);
    qt.deliver([&] { uikit::closeFromFrame(w); });
  });
  clsOrvanta().OpenSetManager(fe);
}

}  // namespace
}  // namespace orvanta
