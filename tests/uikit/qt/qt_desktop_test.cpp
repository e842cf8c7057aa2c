// The Qt driver on the offscreen platform: forms drawn with native widgets, user actions on the
// widgets reaching the models through user_input.h, redraws after every handler, hand-overs
// between pages, stacking of overlapping controls, the frame's close button, message boxes and
// the open-file dialog. Each test drives the
// dialogs from timers that run inside the modal event loop, as a user would, and saves a
// screenshot of every form it shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include <QTest>
#include <QtWidgets>

#include "tests/uikit/test_forms.h"
#include "uikit/qt/qt_desktop.h"

namespace uikit::qt {
namespace {

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

  // Runs step once the active modal window is a W named name (any name when empty): a form's
  // dialog is named after the form. It waits for the window to be activated too, since keys and
  // focus go to the active window only, as with a user.
  template <class W = QWidget>
  static void when(const QString& name, std::type_identity_t<std::function<void(W&)>> step) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, name, step] {
      auto* modal = qobject_cast<W*>(QApplication::activeModalWidget());
      if (!modal || !modal->isVisible() || (!name.isEmpty() && modal->objectName() != name))
        return;
      // A file dialog may be drawn by the platform and never become the active Qt window.
      if (!modal->isActiveWindow() && !qobject_cast<QFileDialog*>(modal))
        return modal->activateWindow();  // what a window manager does with a new dialog
      poll->stop();
      poll->deleteLater();
      step(*modal);
    });
    poll->start(5);
  }

  static void screenshot(QWidget& w, const char* file) {
    const QString path = QStringLiteral(VANTREL_SCREENSHOT_DIR "/") + file;
    EXPECT_TRUE(w.grab().save(path)) << path.toStdString();
  }

  template <class W>
  static W& child(QWidget& dialog, const char* name) {
    W* w = dialog.findChild<W*>(name);
    return w ? *w : throw std::runtime_error(std::string("no widget ") + name);
  }
  static void click(QWidget& dialog, const char* button) {
    QTest::mouseClick(&child<QPushButton>(dialog, button), Qt::LeftButton);
  }

  QTimer watchdog;
  QtDesktop desk;
  ScopedDesktop use{desk};
};

TEST_F(QtDesktopTest, DrawsEveryControlKindAndUserActionsReachTheModelAndAreRedrawn) {
  auto& f = form<uikit_test::frmAll>();
  when("frmAll", [&](QWidget& d) {
    EXPECT_EQ(d.size(), QSize(507, 320));  // 15 twips a pixel, rounded
    screenshot(d, "frmAll.png");

    auto& title = child<QLabel>(d, "lblTitle");
    EXPECT_EQ(title.text(), "Choose the &name");  // access key drawn by Qt, focus to its buddy
    EXPECT_EQ(title.palette().color(QPalette::Window), QColor(Qt::yellow));
    EXPECT_TRUE(title.autoFillBackground());
    // Asked for by name, the dialog face is the theme's button colour, painted.
    f.lblTitle.BackColor = Color::ButtonFace;
    desk.refresh(f.lblTitle);
    EXPECT_EQ(title.palette().color(QPalette::Window), title.palette().color(QPalette::Button));
    EXPECT_TRUE(title.autoFillBackground());
    f.lblTitle.BackColor = Color::Yellow;
    desk.refresh(f.lblTitle);
    EXPECT_EQ(child<QPlainTextEdit>(d, "txtNotes").toPlainText(), "First line \n\nlast line\n");
    EXPECT_TRUE(child<QPlainTextEdit>(d, "txtNotes").isReadOnly());

    // Options inside the frame are its children, placed relative to it, and grouped apart from
    // the options on the form.
    auto& keep = child<QRadioButton>(d, "optKeep");
    auto& safe = child<QRadioButton>(d, "optSafe");
    EXPECT_EQ(keep.parentWidget(), &child<QGroupBox>(d, "fraChoice"));
    EXPECT_EQ(keep.pos(), QPoint(8, 16));
    EXPECT_TRUE(keep.isChecked() && safe.isChecked());
    EXPECT_NE(keep.group(), safe.group());
    EXPECT_EQ(keep.group(), child<QRadioButton>(d, "optDrop").group());
    EXPECT_NE(keep.group(), child<QRadioButton>(d, "optInA").group());  // a frame in the frame

    EXPECT_EQ(child<QCheckBox>(d, "chkAll").checkState(), Qt::Checked);
    auto& marker = child<QLabel>(d, "imgMarker");
    EXPECT_EQ(marker.toolTip(), "Recommended");
    EXPECT_EQ(marker.pixmap().size(), QSize(16, 16));
    EXPECT_EQ(child<QFrame>(d, "linSep").frameShape(), QFrame::HLine);

    auto& tables = child<QListWidget>(d, "lstTables");
    ASSERT_EQ(tables.count(), 3);
    EXPECT_EQ(tables.item(0)->data(Qt::CheckStateRole), Qt::Unchecked);  // drawn, not unset
    EXPECT_EQ(tables.item(1)->checkState(), Qt::Checked);

    auto& links = child<QTreeWidget>(d, "lvwLinks");
    EXPECT_EQ(links.headerItem()->text(1), "Back end");
    EXPECT_EQ(links.columnWidth(1), 100);
    EXPECT_TRUE(links.header()->isSortIndicatorShown() &&
                links.header()->sortIndicatorSection() == 0);
    ASSERT_EQ(links.topLevelItemCount(), 3);
    EXPECT_EQ(links.topLevelItem(0)->text(1), "c.mdb");  // "Customers" sorts first

    auto& tree = child<QTreeWidget>(d, "tvwFolders");
    ASSERT_EQ(tree.topLevelItemCount(), 2);
    QTreeWidgetItem* data = tree.topLevelItem(0)->child(0);
    ASSERT_TRUE(data && data->childCount() == 1);
    EXPECT_TRUE(data->isExpanded() && !data->icon(0).isNull());
    EXPECT_EQ(data->child(0)->text(0), "be.mdb");

    // The status bar docks at the bottom, one label per panel.
    auto& bar = child<QStatusBar>(d, "sbStatus");
    EXPECT_EQ(bar.geometry().bottom(), d.height() - 1);
    EXPECT_EQ(bar.findChildren<QLabel*>().size(), 2);
    EXPECT_FALSE(child<QPushButton>(d, "cmdHidden").isVisibleTo(&d));
    // What sits in a disabled or hidden frame is disabled or hidden with it.
    EXPECT_FALSE(child<QCheckBox>(d, "chkGray").isEnabled() ||
                 child<QLabel>(d, "lblHidden").isVisibleTo(&d));
    EXPECT_EQ(child<QListWidget>(d, "lstSets").selectionMode(), QAbstractItemView::MultiSelection);
    EXPECT_FALSE(d.findChild<QWidget*>("imlIcons") || d.findChild<QWidget*>("dlgOpen"));

    // Tab and the label's access key (to its buddy) move the focus, and the model hears of it.
    auto& name = child<QLineEdit>(d, "txtName");
    QTest::keyClick(&name, Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(f.focused(), &f.txtNotes);
    QTest::keyClick(&d, Qt::Key_N, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_EQ(f.focused(), &f.txtName);
    // Focus by access key selects the text, as Qt does; typing goes after it here.
    QTest::keyClick(&name, Qt::Key_End);
    QTest::keyClicks(&name, "2");
    EXPECT_EQ(f.txtName.Text, "Main2");

    // Each container keeps its own choice. Qt takes a click on an option's circle or text, not
    // on the empty room right of it.
    const QPoint circle(6, 9);
    QTest::mouseClick(&child<QRadioButton>(d, "optDrop"), Qt::LeftButton, {}, circle);
    EXPECT_TRUE(f.optDrop.value() && !f.optKeep.value() && f.optSafe.value() && safe.isChecked());
    QTest::mouseClick(&child<QRadioButton>(d, "optFast"), Qt::LeftButton, {}, circle);
    EXPECT_TRUE(f.optFast.value() && !f.optSafe.value() && f.optDrop.value());
    EXPECT_TRUE(!safe.isChecked() && child<QRadioButton>(d, "optDrop").isChecked());
    QTest::mouseClick(&child<QCheckBox>(d, "chkAll"), Qt::LeftButton);
    EXPECT_EQ(f.chkAll.Value, 0);

    // A selection made from code shows after the next handler; then a handler changing
    // several controls and the caption.
    f.optKeep.setValue(true);
    click(d, "cmdChange");
    EXPECT_TRUE(keep.isChecked() && !child<QRadioButton>(d, "optDrop").isChecked());
    EXPECT_EQ(d.windowTitle(), "Every control (changed)");
    EXPECT_EQ(title.text(), "Changed");
    EXPECT_FALSE(title.autoFillBackground());
    EXPECT_EQ(tables.count(), 4);
    EXPECT_TRUE(!child<QCheckBox>(d, "chkAll").isEnabled() &&
                child<QPushButton>(d, "cmdHidden").isVisible());
    screenshot(d, "frmAll-changed.png");

    QTest::mouseClick(&marker, Qt::LeftButton);
    // A disabled control refuses its click in the model as on the screen.
    child<QCheckBox>(d, "chkAll").click();
    EXPECT_EQ(f.chkAll.Value, 0);

    // Enter in a text box presses no button; on a focused button it does.
    auto& ok = child<QPushButton>(d, "cmdOK");
    QTest::keyClick(&name, Qt::Key_Return);
    EXPECT_EQ(events(), Strings{"imgMarker_Click"});
    ok.setFocus();
    QTest::keyClick(&ok, Qt::Key_Return);
  });
  f.ShowModal();
  // The handler hid the form, which ended its modal show; its dialog is gone.
  EXPECT_EQ(events(), (Strings{"imgMarker_Click", "cmdOK_Click"}));
  EXPECT_FALSE(f.visible() || desk.dialogOf(f));
  EXPECT_GT(std::filesystem::file_size(VANTREL_SCREENSHOT_DIR "/frmAll.png"), 1000u);
}

TEST_F(QtDesktopTest, ListsListViewsAndTreesReportTheUsersChoice) {
  auto& f = form<uikit_test::frmAll>();
  when("frmAll", [&](QWidget& d) {
    auto& tables = child<QListWidget>(d, "lstTables");
    tables.item(2)->setCheckState(Qt::Checked);  // what the view does on a click in the box
    QApplication::processEvents();
    EXPECT_TRUE(f.lstTables.Selected(2) && f.lstTables.ListIndex == 2);

    // Header click: the handler sorts by the clicked column and the rows and indicator follow.
    auto& links = child<QTreeWidget>(d, "lvwLinks");
    QHeaderView* header = links.header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    EXPECT_TRUE(f.lvwLinks.sortKey() == 1 && header->sortIndicatorSection() == 1);
    EXPECT_EQ(links.topLevelItem(0)->text(1), "a.mdb");

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
    // The user's collapsing is kept by the model, so the next redraw does not undo it.
    tree.collapseItem(tree.topLevelItem(0));
    click(d, "cmdChange");
    EXPECT_FALSE(f.tvwFolders.nodes()[0].expanded || tree.topLevelItem(0)->isExpanded());

    f.cmdOK.Click();  // straight from code: no user action, no redraw, the show goes on
    EXPECT_TRUE(d.isVisible());
    desk.deliver([] {});
  });
  f.ShowModal();
  EXPECT_EQ(events(), (Strings{"ItemCheck 2 on", "ColumnClick 2", "ItemClick Orders",
                               "NodeClick C:\\Data\\be.mdb", "cmdOK_Click"}));
}

TEST_F(QtDesktopTest, HandOversShowOnePageAtATimeAndTheLastPageClosesThemAll) {
  // Back and Next many times over: each hand-over ends the page's show (and its dialog) before
  // the next page's starts.
  constexpr int kRoundTrips = 60;
  auto& first = form<uikit_test::frmFirst>();
  int trips = 0;
  int deepest = 0;
  const auto look = [&] { deepest = std::max(deepest, FormRegistry::current().modalDepth()); };
  std::function<void(QWidget&)> onFirst, onSecond;
  onFirst = [&](QWidget& d1) {
    look();
    if (trips == 0)
      screenshot(d1, "frmFirst.png");
    when("frmSecond", onSecond);
    click(d1, "cmdNext");
    EXPECT_EQ(first.afterChain, " / ");  // the handler went on before the next page showed
  };
  onSecond = [&](QWidget& d2) {
    look();
    EXPECT_EQ(d2.parentWidget(), nullptr);  // the page that handed over is gone
    if (++trips < kRoundTrips) {
      when("frmFirst", onFirst);
      return click(d2, "cmdBack");
    }
    screenshot(d2, "frmSecond.png");
    when("frmThird", [&](QWidget& d3) {
      look();
      screenshot(d3, "frmThird.png");
      QTest::keyClick(&d3, Qt::Key_F, Qt::AltModifier);  // the access key of "&Finish"
    });
    click(d2, "cmdNext");
  };
  when("frmFirst", onFirst);
  first.ShowModal();

  EXPECT_EQ(trips, kRoundTrips);
  EXPECT_EQ(deepest, 1);
  Strings expected{"frmFirst load", "frmFirst activate", "frmSecond load", "frmSecond activate"};
  for (int i = 1; i < kRoundTrips; ++i)
    expected.insert(expected.end(), {"frmFirst activate", "frmSecond activate"});
  expected.insert(expected.end(), {"frmThird load", "frmThird activate", "frmFirst unload",
                                   "frmSecond unload", "frmThird unload"});
  EXPECT_EQ(events(), expected);
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
    screenshot(d, "frmStubborn.png");
    EXPECT_EQ(d.focusWidget(), &child<QPushButton>(d, "cmdAsk"));  // where Form_Activate put it
    when<QMessageBox>("", [&](QMessageBox& box) {
      EXPECT_EQ(box.text(), "Save changes?");
      EXPECT_EQ(box.windowTitle(), "Changed");
      EXPECT_EQ(box.icon(), QMessageBox::Question);
      EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
      EXPECT_EQ(box.defaultButton(), box.button(QMessageBox::Ok));
      EXPECT_EQ(box.parentWidget(), &d);
      screenshot(box, "msgbox.png");
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

  auto& dlg = form<uikit_test::frmAll>().dlgOpen;
  dlg.DialogTitle = "Locate the back end";
  dlg.InitDir = dir.string();
  dlg.Filter = "Databases|*.mdb;*.accdb|All Files (*.*)|*.*";
  dlg.FilterIndex = 2;
  when<QFileDialog>("", [&](QFileDialog& w) {
    EXPECT_EQ(w.windowTitle(), "Locate the back end");
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
