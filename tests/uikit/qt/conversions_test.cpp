// The driver's pure conversions and the display check, which need no windows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include <QApplication>
#include <QCursor>

#include "uikit/qt/conversions.h"
#include "uikit/qt/qt_desktop.h"

namespace uikit::qt {
namespace {

TEST(QtConversions, FileFiltersBecomeQtFilters) {
  // Filter, index, the Qt filters and the one selected.
  const std::tuple<std::string, int, QString, QString> cases[] = {
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
  for (const auto& [filter, index, qt, expectedSelected] : cases) {
    QString selected = "stale";
    EXPECT_EQ(qtFileFilter(filter, index, &selected), qt) << filter;
    EXPECT_EQ(selected, expectedSelected) << filter << " index " << index;
  }
}

TEST(QtConversions, TextsAndUnits) {
  for (auto [twips, pixels] : {std::pair{1440, 96}, {7, 0}, {8, 1}, {-15, -1}})
    EXPECT_EQ(twipsToPixels(twips), pixels) << twips;
  EXPECT_EQ(twipsToPixels(1440, 1.5), 144);
  EXPECT_EQ(twipsToPixels(5, 1.5), 1);  // 0.5 rounds up

  EXPECT_EQ(displayText("one\r\ntwo\rthree\nfour"), "one\ntwo\nthree\nfour");
  EXPECT_EQ(modelText("one\ntwo\r\nthree"), "one\r\ntwo\r\nthree");

  EXPECT_EQ(stripAccessKeys("&Next  >>"), "Next  >>");
  EXPECT_EQ(stripAccessKeys("R&&D &tables&"), "R&D tables&");
  EXPECT_TRUE(hasAccessKey("Choose &tables"));
  EXPECT_FALSE(hasAccessKey("R&&D") || hasAccessKey("trailing&"));
}

TEST(QtDisplay, AvailableOnlyWhereQtCanOpenWindows) {
  const std::string socket = ::testing::TempDir() + "vantrel-wayland-0";
  std::ofstream(socket).put('\n');
  using Value = std::optional<std::string>;
  auto set = [](const char* name, const Value& v) {
    v ? ::setenv(name, v->c_str(), 1) : ::unsetenv(name);
  };
  const char* names[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
  Value saved[3];
  for (int i = 0; i < 3; ++i)
    if (const char* v = std::getenv(names[i]))
      saved[i] = v;
  const Value none;
  // QT_QPA_PLATFORM, DISPLAY, WAYLAND_DISPLAY and whether Qt can open windows then.
  const std::tuple<Value, Value, Value, bool> cases[] = {
      {"offscreen", none, none, true},
      {"xcb", ":987", none, false},  // no X server socket for display 987
      {"xcb", "far.example:0", none, true},
      {"wayland;offscreen", none, none, true},
      {"wayland", none, socket, true},
      {"wayland", none, socket + "-missing", false},
      {"cocoa", ":0", none, false},
      {none, "", "", false},
      {none, none, socket, true},
  };
  for (const auto& [platform, display, wayland, available] : cases) {
    set(names[0], platform);
    set(names[1], display);
    set(names[2], wayland);
    EXPECT_EQ(displayAvailable(), available)
        << platform.value_or("-") << " " << display.value_or("-") << " " << wayland.value_or("-");
  }
  for (int i = 0; i < 3; ++i)
    set(names[i], saved[i]);
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
