// The Qt driver on the offscreen platform: forms drawn with native widgets, user actions on the
// widgets reaching the models through user_input.h, redraws after every handler, hand-overs
// between pages, stacking of overlapping controls, the frame's close button, message boxes and
// the open-file dialog, each driven from timers inside the modal event loop as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <QTest>
#include <QtWidgets>

#include "tests/uikit/qt/qt_test_support.h"
#include "tests/uikit/test_forms.h"
#include "uikit/qt/qt_desktop.h"

namespace uikit::qt {
namespace {

using qt_test::child;
using qt_test::click;
using qt_test::screenshot;
using qt_test::when;
using uikit_test::events;
using uikit_test::Strings;

class QtDesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    events().clear();
    // A test that loses its way must fail, not hang: close whatever is open and unwind.
    QObject::connect(&watchdog, &QTimer::timeout, [this] {
      ADD_FAILURE() << "the dialogs were not driven to the end in time";
      watchdog.setInterval(100);
      QWidget* modal = QApplication::activeModalWidget();
      if (qobject_cast<QMessageBox*>(modal) || qobject_cast<QFileDialog*>(modal))
        static_cast<QDialog*>(modal)->done(0);
      desk.deliver([] { unloadAllForms(); });
    });
    watchdog.start(10000);
  }
  void TearDown() override {
    watchdog.stop();
    unloadAllForms();
    FormRegistry::current().collect();
  }

  QTimer watchdog;
  QtDesktop desk;
  ScopedDesktop use{desk};
};

TEST_F(QtDesktopTest, DrawsTheControlsAndUserActionsReachTheModelAndAreRedrawn) {
  auto& f = form<uikit_test::frmAll>();
  when("frmAll", [&](QWidget& d) {
    screenshot(d, "frmAll.png");
    auto& keep = child<QRadioButton>(d, "optKeep");
    auto& drop = child<QRadioButton>(d, "optDrop");
    auto& safe = child<QRadioButton>(d, "optSafe");
    auto& tables = child<QListWidget>(d, "lstTables");
    EXPECT_EQ(tables.item(0)->data(Qt::CheckStateRole), Qt::Unchecked);  // drawn, not unset
    // What sits in a disabled or hidden frame is disabled or hidden with it.
    EXPECT_FALSE(child<QCheckBox>(d, "chkGray").isEnabled() ||
                 child<QLabel>(d, "lblHidden").isVisibleTo(&d) ||
                 child<QPushButton>(d, "cmdHidden").isVisibleTo(&d));

    // Tab and the label's access key (to its buddy) move the focus, and the model hears of it.
    auto& name = child<QLineEdit>(d, "txtName");
    QTest::keyClick(&name, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(f.focused(), &f.txtNotes);
    QTest::keyClick(&d, Qt::Key_N, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_EQ(f.focused(), &f.txtName);
    QTest::keyClick(&name, Qt::Key_End);
    QTest::keyClicks(&name, "2");
    EXPECT_EQ(f.txtName.Text, "Main2");

    // Each container, a frame in a frame too, keeps its own choice. Qt takes a click on an
    // option's circle or text.
    for (const char* option : {"optDrop", "optFast", "optInB"})
      QTest::mouseClick(&child<QRadioButton>(d, option), Qt::LeftButton, {}, QPoint(6, 9));
    EXPECT_TRUE(f.optDrop.value() && !f.optKeep.value() && f.optFast.value() && !f.optSafe.value());
    EXPECT_TRUE(f.optInB.value() && drop.isChecked() && !safe.isChecked());
    QTest::mouseClick(&child<QCheckBox>(d, "chkAll"), Qt::LeftButton, {}, QPoint(6, 9));
    EXPECT_EQ(f.chkAll.Value, 0);

    tables.item(2)->setCheckState(Qt::Checked);  // what the view does on a click in the box
    QApplication::processEvents();
    EXPECT_TRUE(f.lstTables.Selected(2) && f.lstTables.ListIndex == 2);
    // Header click: the handler sorts by the clicked column and the rows and indicator follow.
    auto& links = child<QTreeWidget>(d, "lvwLinks");
    QHeaderView* header = links.header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    EXPECT_TRUE(f.lvwLinks.sortKey() == 1 && header->sortIndicatorSection() == 1);
    QTreeWidgetItem* orders = links.topLevelItem(1);
    ASSERT_EQ(orders->text(0), "Orders");
    QTest::mouseClick(links.viewport(), Qt::LeftButton, {}, links.visualItemRect(orders).center());
    QApplication::processEvents();
    EXPECT_EQ(f.lvwLinks.SelectedIndex(), 2);
    auto& tree = child<QTreeWidget>(d, "tvwFolders");
    QTreeWidgetItem* mdb = tree.topLevelItem(0)->child(0)->child(0);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(mdb).center());
    QApplication::processEvents();
    EXPECT_EQ(f.tvwFolders.SelectedKey, "C:\\Data\\be.mdb");
    tree.collapseItem(tree.topLevelItem(0));  // kept by the model, so no redraw undoes it

    // Enter in a text box presses no button; on a focused button it does. A change made from
    // code shows after the next handler, with what that handler changed.
    f.optKeep.setValue(true);
    QTest::keyClick(&name, Qt::Key_Return);
    EXPECT_EQ(d.windowTitle(), "Every control");
    child<QPushButton>(d, "cmdChange").setFocus();
    QTest::keyClick(&child<QPushButton>(d, "cmdChange"), Qt::Key_Return);
    EXPECT_EQ(d.windowTitle(), "Every control (changed)");
    EXPECT_TRUE(keep.isChecked() && !drop.isChecked());
    EXPECT_EQ(child<QLabel>(d, "lblTitle").text(), "Changed");
    EXPECT_FALSE(child<QLabel>(d, "lblTitle").autoFillBackground());  // no longer yellow
    EXPECT_EQ(tables.count(), 4);
    f.cmdChange.Default = true;  // now Enter in the text box presses it
    desk.deliver([] {});
    name.setFocus();
    QTest::keyClick(&name, Qt::Key_Return);
    EXPECT_EQ(tables.count(), 5);
    EXPECT_TRUE(!child<QCheckBox>(d, "chkAll").isEnabled() &&
                child<QPushButton>(d, "cmdHidden").isVisible());
    EXPECT_FALSE(f.tvwFolders.nodes()[0].expanded || tree.topLevelItem(0)->isExpanded());
    // A disabled control refuses its click in the model as on the screen.
    child<QCheckBox>(d, "chkAll").click();
    EXPECT_EQ(f.chkAll.Value, 0);

    // A row or cell too long for its room scrolls sideways and shows its whole text as tip.
    const std::string longText(120, 'x');
    f.lstSets.AddItem(longText);
    f.lvwLinks.AddItem("Suppliers", {longText});
    desk.deliver([] {});
    auto& sets = child<QListWidget>(d, "lstSets");
    QApplication::processEvents();
    EXPECT_GT(sets.horizontalScrollBar()->maximum(), 0);
    EXPECT_EQ(sets.item(2)->toolTip().toStdString(), longText);
    EXPECT_EQ(sets.item(0)->toolTip(), "");
    EXPECT_EQ(links.topLevelItem(3)->toolTip(1).toStdString(), longText);
    EXPECT_EQ(links.topLevelItem(3)->toolTip(0), "");

    f.cmdOK.Click();  // straight from code: no user action, no redraw, the show goes on
    EXPECT_TRUE(d.isVisible());
    desk.deliver([] {});
  });
  f.ShowModal();
  // The handler hid the form, which ended its modal show; its dialog is gone.
  EXPECT_EQ(events(), (Strings{"ItemCheck 2 on", "ColumnClick 2", "ItemClick Orders",
                               "NodeClick C:\\Data\\be.mdb", "cmdOK_Click"}));
  EXPECT_FALSE(f.visible() || desk.dialogOf(f));
  EXPECT_GT(std::filesystem::file_size(VANTREL_SCREENSHOT_DIR "/frmAll.png"), 1000u);
}

TEST_F(QtDesktopTest, HandOversShowOnePageAtATimeAndTheLastPageClosesThemAll) {
  // Each hand-over ends the page's show (and its dialog) before the next page's starts; the last
  // page is finished by its access key.
  const std::pair<QString, const char*> road[] = {{"frmFirst", "cmdNext"},
                                                  {"frmSecond", "cmdBack"},
                                                  {"frmFirst", "cmdNext"},
                                                  {"frmSecond", "cmdNext"},
                                                  {"frmThird", nullptr}};
  size_t shown = 0;
  int deepest = 0;
  std::function<void(QWidget&)> step = [&](QWidget& d) {
    deepest = std::max(deepest, FormRegistry::current().modalDepth());
    EXPECT_EQ(d.parentWidget(), nullptr);  // the page that handed over is gone
    const char* button = road[shown].second;
    if (++shown < std::size(road))
      when(road[shown].first, step);
    if (button)
      click(d, button);
    else
      QTest::keyClick(&d, Qt::Key_F, Qt::AltModifier);
  };
  when(road[0].first, step);
  form<uikit_test::frmFirst>().ShowModal();

  EXPECT_EQ(shown, std::size(road));
  EXPECT_EQ(deepest, 1);
  EXPECT_TRUE(FormRegistry::current().loadedForms().empty());
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}

TEST_F(QtDesktopTest, OverlappingControlsStackAsTheModelSays) {
  auto& f = form<uikit_test::Bench>();
  auto& back = f.add<TextBox>("txtBack", {120, 120, 1200, 600});
  f.add<TextBox>("txtFront", {120, 120, 1200, 600});
  f.add<CommandButton>("cmdRaise", {120, 900, 1200, 375}).Click = [&] { back.ZOrder(0); };
  when("frmBench", [&](QWidget& d) {
    const auto onTop = [&d] {
      QWidget* w = d.childAt(QPoint(20, 20));
      while (w && w->parentWidget() != &d)
        w = w->parentWidget();
      return w ? w->objectName().toStdString() : "";
    };
    EXPECT_EQ(onTop(), "txtFront");
    click(d, "cmdRaise");
    EXPECT_EQ(onTop(), "txtBack");
    desk.deliver([&] { f.Hide(); });
  });
  f.ShowModal();
}

TEST_F(QtDesktopTest, MessageBoxesAnswerAndTheFrameAndEscapeAskBeforeClosing) {
  auto& f = form<uikit_test::frmStubborn>();
  when("frmStubborn", [&](QWidget& d) {
    EXPECT_EQ(d.focusWidget(), &child<QPushButton>(d, "cmdAsk"));  // where Form_Activate put it
    when<QMessageBox>("", [&](QMessageBox& box) {
      EXPECT_EQ(box.parentWidget(), &d);
      QTest::mouseClick(box.button(QMessageBox::Ok), Qt::LeftButton);
    });
    click(d, "cmdAsk");
    EXPECT_EQ(f.answer, Answer::OK);
    // Escape on a box with Cancel answers Cancel.
    when<QMessageBox>("", [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    click(d, "cmdAsk");
    EXPECT_EQ(f.answer, Answer::Cancel);

    d.close();  // the frame's close button, refused
    EXPECT_TRUE(d.isVisible() && f.loaded());
    f.mayClose = true;
    QTest::keyClick(&d, Qt::Key_Escape);
  });
  f.ShowModal();
  EXPECT_FALSE(isLoaded<uikit_test::frmStubborn>());

  // Outside any form too, with the default title.
  when<QMessageBox>("", [](QMessageBox& box) {
    EXPECT_EQ(box.windowTitle(), kDefaultTitle);
    EXPECT_EQ(box.text(), "Retry?\nOr not.");
    QTest::keyClick(&box, Qt::Key_Return);  // the default button, the set's first
  });
  EXPECT_EQ(MsgBox("Retry?\r\nOr not.", Buttons::RetryCancel, Icon::Exclamation), Answer::Retry);
}

TEST_F(QtDesktopTest, OpenFileShowsTheFiltersFolderAndTitle) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "vantrel-qt-open";
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "be.mdb").string();
  std::ofstream(file).put('\n');

  auto& dlg = form<uikit_test::Bench>().add<CommonDialog>("dlgOpen");
  dlg.InitDir = dir.string();
  dlg.Filter = "Databases|*.mdb;*.accdb|All Files (*.*)|*.*";
  dlg.FilterIndex = 2;
  when<QFileDialog>("", [&](QFileDialog& w) {
    EXPECT_EQ(w.selectedNameFilter(), "All Files (*)");
    EXPECT_EQ(w.directory().absolutePath(), QString::fromStdString(dir.string()));
    w.selectFile(QString::fromStdString(file));
    static_cast<QDialog&>(w).accept();  // public there, as the OK button calls it
  });
  dlg.ShowOpen();
  EXPECT_EQ(dlg.FileName, file);

  when<QFileDialog>("", [](QFileDialog& w) { w.reject(); });
  dlg.ShowOpen();
  EXPECT_EQ(dlg.FileName, "");
}

TEST_F(QtDesktopTest, LongWorkShowsItsProgressAndAFailureLeavesThroughShowModal) {
  auto& f = form<uikit_test::frmAll>();
  std::vector<QString> seen;
  f.cmdChange.Click = [&] {
    QDialog* d = desk.dialogOf(f);
    f.sbStatus.Panels[0].text = "Scanning C:";
    f.sbStatus.Refresh();
    seen.push_back(d->findChild<QStatusBar*>("sbStatus")->findChild<QLabel*>()->text());
    f.txtName.Text = "step 2";
    desktop().doEvents();
    seen.push_back(d->findChild<QLineEdit*>("txtName")->text());
    throw std::runtime_error("handler failed");
  };
  when("frmAll", [&](QWidget& d) { click(d, "cmdChange"); });
  EXPECT_THROW(f.ShowModal(), std::runtime_error);
  EXPECT_EQ(seen, (std::vector<QString>{"Scanning C:", "step 2"}));
  EXPECT_FALSE(f.visible() || desk.dialogOf(f));
}

}  // namespace
}  // namespace uikit::qt
