// The driver's pure conversions and the display check, which need no windows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include <QApplication>
#include <QCursor>

#include "uikit/qt/conversions.h"
#include "uikit/qt/qt_desktop.h"

namespace uikit::qt {
namespace {

TEST(QtConversions, FileFiltersBecomeQtFilters) {
  struct Case {
    std::string filter;
    int index;
    QString qt;
    QString selected;
  };
  const Case cases[] = {
      {"Databases|*.mdb;*.accdb|All(*.*)|*.*", 1, "Databases (*.mdb *.accdb);;All (*)",
       "Databases (*.mdb *.accdb)"},
      {"Databases|*.mdb;*.accdb|All(*.*)|*.*", 2, "Databases (*.mdb *.accdb);;All (*)", "All (*)"},
      // The description's own parentheses would be read as the patterns: they go.
      {"Access (*.mdb)|*.mdb", 1, "Access (*.mdb)", "Access (*.mdb)"},
      {"Back ends (old)|*.mdb ; *.bak", 1, "Back ends (*.mdb *.bak)", "Back ends (*.mdb *.bak)"},
      {"|*.mdb", 1, "*.mdb (*.mdb)", "*.mdb (*.mdb)"},
      // Incomplete or empty pairs are dropped; the index still counts the classic pairs.
      {"Nothing||Databases|*.mdb|Dangling", 2, "Databases (*.mdb)", "Databases (*.mdb)"},
      {"", 1, "", ""},
      {"Databases|*.mdb", 5, "Databases (*.mdb)", ""},
  };
  for (const Case& c : cases) {
    QString selected = "stale";
    EXPECT_EQ(qtFileFilter(c.filter, c.index, &selected), c.qt) << c.filter;
    EXPECT_EQ(selected, c.selected) << c.filter << " index " << c.index;
  }
}

TEST(QtConversions, TextsAndUnits) {
  EXPECT_EQ(twipsToPixels(1440), 96);
  EXPECT_EQ(twipsToPixels(7), 0);
  EXPECT_EQ(twipsToPixels(8), 1);
  EXPECT_EQ(twipsToPixels(-15), -1);

  EXPECT_EQ(displayText("one\r\ntwo\rthree\nfour"), "one\ntwo\nthree\nfour");
  EXPECT_EQ(modelText("one\ntwo\r\nthree"), "one\r\ntwo\r\nthree");

  EXPECT_EQ(stripAccessKeys("&Next  >>"), "Next  >>");
  EXPECT_EQ(stripAccessKeys("R&&D &tables&"), "R&D tables&");
  EXPECT_TRUE(hasAccessKey("Choose &tables"));
  EXPECT_FALSE(hasAccessKey("R&&D"));
  EXPECT_FALSE(hasAccessKey("trailing&"));
}

// Sets environment variables for one case and restores them afterwards.
class Env {
 public:
  void set(const char* name, std::optional<std::string> value) {
    const char* old = std::getenv(name);
    saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
    apply(name, value);
  }
  ~Env() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it)
      apply(it->first, it->second);
  }

 private:
  static void apply(const char* name, const std::optional<std::string>& value) {
    if (value)
      ::setenv(name, value->c_str(), 1);
    else
      ::unsetenv(name);
  }
  std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST(QtDisplay, AvailableOnlyWhereQtCanOpenWindows) {
  const std::string socket = ::testing::TempDir() + "vantrel-wayland-0";
  std::ofstream(socket).put('\n');
  struct Case {
    std::optional<std::string> platform, display, wayland;
    bool available;
  };
  const std::optional<std::string> none;
  const Case cases[] = {
      {"offscreen", none, none, true},
      {"xcb", ":987", none, false},  // no X server socket for display 987
      {"xcb", "far.example:0", none, true},
      {"wayland;offscreen", none, none, true},
      {"wayland", none, socket, true},
      {"wayland", none, socket + "-missing", false},
      {"cocoa", ":0", none, false},
      {none, none, none, false},
      {none, "", "", false},
      {none, none, socket, true},
  };
  for (const Case& c : cases) {
    Env env;
    env.set("QT_QPA_PLATFORM", c.platform);
    env.set("DISPLAY", c.display);
    env.set("WAYLAND_DISPLAY", c.wayland);
    EXPECT_EQ(displayAvailable(), c.available)
        << c.platform.value_or("-") << " " << c.display.value_or("-") << " "
        << c.wayland.value_or("-");
  }
}

TEST(QtDesktopBasics, BusyCursorDoesNotStack) {
  QtDesktop desk;
  desk.setBusy(true);
  desk.setBusy(true);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  desk.setBusy(false);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  desk.setBusy(false);  // no cursor of somebody else's is taken away
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace uikit::qt
