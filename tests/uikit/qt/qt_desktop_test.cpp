// The Qt driver on the offscreen platform: forms drawn with native widgets, user actions on the
// widgets reaching the models through user_input.h, redraws after every handler, nested modal
// shows, the frame's close button, message boxes and the open-file dialog. Each test drives the
// dialogs from timers that run inside the modal event loop, as a user would.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include "uikit/desktop.h"
#include "uikit/form.h"
#include "uikit/qt/qt_desktop.h"

namespace uikit::qt {
namespace {

std::vector<std::string>& events() {
  static std::vector<std::string> log;
  return log;
}

// A form with a control of every kind, laid out as a real window would be.
class frmAll : public Form {
 public:
  frmAll()
      : Form("frmAll"),
        imgSide(add<Picture>("imgSide", {0, 0, 1200, 4200})),
        lblTitle(add<Label>("lblTitle", {1320, 120, 3000, 255})),
        txtName(add<TextBox>("txtName", {1320, 420, 3000, 315})),
        txtNotes(add<TextBox>("txtNotes", {4500, 120, 2900, 615})),
        linSep(add<Line>("linSep", {1320, 870, 6080, 0})),
        fraChoice(add<Frame>("fraChoice", {1320, 960, 2900, 1000})),
        optKeep(add<OptionButton>("optKeep", {120, 240, 2600, 285}, &fraChoice)),
        optDrop(add<OptionButton>("optDrop", {120, 570, 2600, 285}, &fraChoice)),
        imgMarker(add<Picture>("imgMarker", {1080, 1020, 240, 240})),
        optFast(add<OptionButton>("optFast", {4500, 1020, 2000, 285})),
        optSafe(add<OptionButton>("optSafe", {4500, 1320, 2000, 285})),
        chkAll(add<CheckBox>("chkAll", {4500, 1620, 2000, 285})),
        lstTables(add<ListBox>("lstTables", {1320, 2040, 2900, 1000})),
        lvwLinks(add<ListView>("lvwLinks", {4500, 2040, 2900, 1000})),
        tvwFolders(add<TreeView>("tvwFolders", {1320, 3120, 2900, 1080})),
        imlIcons(add<ImageList>("imlIcons")),
        dlgOpen(add<CommonDialog>("dlgOpen")),
        cmdChange(add<CommandButton>("cmdChange", {4500, 3240, 1300, 375})),
        cmdHidden(add<CommandButton>("cmdHidden", {4500, 3720, 1300, 375})),
        cmdOK(add<CommandButton>("cmdOK", {6000, 3720, 1300, 375})),
        sbStatus(add<StatusBar>("sbStatus")) {
    Caption = "Every control";
    geometry = {0, 0, 7600, 4800};
    imgSide.Image = "side";
    lblTitle.Caption = "Choose the &name";
    lblTitle.BackColor = Color::Yellow;
    lblTitle.ToolTipText = "The name of the set";
    txtName.Text = "Main";
    txtNotes.MultiLine = true;
    txtNotes.Locked = true;
    txtNotes.Text = "First line\r\nSecond line";
    fraChoice.Caption = "Select Option";
    optKeep.Caption = "&Keep the links";
    optDrop.Caption = "&Drop the links";
    optKeep.setValue(true);
    imgMarker.Image = "marker";
    imgMarker.ToolTipText = "Recommended";
    imgMarker.Click = [] { events().push_back("imgMarker_Click"); };
    optFast.Caption = "Fast";
    optSafe.Caption = "Safe";
    optSafe.setValue(true);
    chkAll.Caption = "&All tables";
    chkAll.Value = 1;
    lstTables.style = ListBox::Style::CheckBoxes;
    for (const char* t : {"Customers", "Orders", "Products"})
      lstTables.AddItem(t);
    lstTables.SetSelected(1, true);
    lstTables.ItemCheck = [this](int i) {
      events().push_back("ItemCheck " + std::to_string(i) + " " +
                         (lstTables.Selected(i) ? "on" : "off"));
    };
    lvwLinks.ColumnHeaders = {{"Table", 1300}, {"Back end", 1500}};
    lvwLinks.AddItem("Orders", {"b.mdb"});
    lvwLinks.AddItem("Customers", {"c.mdb"});
    lvwLinks.AddItem("Products", {"a.mdb"});
    lvwLinks.setSorted(true);
    lvwLinks.ColumnClick = [this](int column) {
      events().push_back("ColumnClick " + std::to_string(column));
      lvwLinks.setSortKey(column - 1);
    };
    lvwLinks.ItemClick = [this](int i) {
      events().push_back("ItemClick " + lvwLinks.Item(i).text);
    };
    imlIcons.ListImages = {{"drive", "drive"}, {"folder", "folder"}, {"db", "document"}};
    tvwFolders.ImageList = "imlIcons";
    tvwFolders.AddNode("", "C:", "C:", "drive").expanded = true;
    tvwFolders.AddNode("C:", "C:\\Data", "Data", "folder").expanded = true;
    tvwFolders.AddNode("C:\\Data", "C:\\Data\\be.mdb", "be.mdb", "db");
    tvwFolders.NodeClick = [](const std::string& key) { events().push_back("NodeClick " + key); };
    cmdChange.Caption = "&Change";
    cmdChange.Click = [this] {
      // A handler touching several controls: the redraw after it must show them all.
      lblTitle.Caption = "Changed";
      lblTitle.BackColor = Color::Default;
      lstTables.AddItem("Suppliers");
      chkAll.Enabled = false;
      cmdHidden.Visible = true;
      Caption = "Every control (changed)";
    };
    cmdHidden.Caption = "Hidden";
    cmdHidden.Visible = false;
    cmdOK.Caption = "&OK";
    cmdOK.Click = [this] {
      events().push_back("cmdOK_Click");
      Hide();
    };
    sbStatus.Panels = {{"Ready", 2000}, {"3 tables", 0}};
  }
  Picture& imgSide;
  Label& lblTitle;
  TextBox &txtName, &txtNotes;
  Line& linSep;
  Frame& fraChoice;
  OptionButton &optKeep, &optDrop;
  Picture& imgMarker;
  OptionButton &optFast, &optSafe;
  CheckBox& chkAll;
  ListBox& lstTables;
  ListView& lvwLinks;
  TreeView& tvwFolders;
  ImageList& imlIcons;
  CommonDialog& dlgOpen;
  CommandButton &cmdChange, &cmdHidden, &cmdOK;
  StatusBar& sbStatus;
};

// Two wizard-like pages: Next hides the first and shows the second modally inside its handler.
class frmPage2 : public Form {
 public:
  frmPage2()
      : Form("frmPage2"), cmdFinish(add<CommandButton>("cmdFinish", {3000, 1500, 1200, 375})) {
    Caption = "Page 2";
    geometry = {0, 0, 4500, 2400};
    cmdFinish.Caption = "&Finish";
    cmdFinish.Click = [this] {
      events().push_back("Finish");
      unloadAllForms();
    };
  }
  void Form_Activate() override { events().push_back("Page2 activate"); }
  CommandButton& cmdFinish;
};

class frmPage1 : public Form {
 public:
  frmPage1() : Form("frmPage1"), cmdNext(add<CommandButton>("cmdNext", {3000, 1500, 1200, 375})) {
    Caption = "Page 1";
    geometry = {0, 0, 4500, 2400};
    cmdNext.Caption = "&Next  >>";
    cmdNext.Click = [this] {
      Hide();
      form<frmPage2>().ShowModal();
      events().push_back("Page1 handler returned");
    };
  }
  CommandButton& cmdNext;
};

// A form whose frame close is refused once, and whose buttons ask questions or fail.
class frmAsk : public Form {
 public:
  frmAsk()
      : Form("frmAsk"),
        txtAnswer(add<TextBox>("txtAnswer", {120, 120, 2400, 315})),
        cmdAsk(add<CommandButton>("cmdAsk", {120, 600, 1200, 375})),
        cmdFail(add<CommandButton>("cmdFail", {1440, 600, 1200, 375})),
        sbStatus(add<StatusBar>("sbStatus", {0, 1200, 4000, 300})) {
    Caption = "Questions";
    cmdAsk.Caption = "&Ask";
    cmdAsk.Click = [this] {
      txtAnswer.Text = answerWord(
          MsgBox("Link now?\r\nThe tables move.", Buttons::YesNoCancel, Icon::Question, "Relink"));
    };
    cmdFail.Caption = "Fail";
    cmdFail.Click = [] { throw std::runtime_error("handler failed"); };
    sbStatus.Panels = {{"", 0}};
  }
  void Form_Activate() override { cmdAsk.SetFocus(); }
  void Form_QueryUnload(bool& cancel) override {
    cancel = refuseClose;
    events().push_back(refuseClose ? "close refused" : "close allowed");
    refuseClose = false;
  }
  bool refuseClose = true;
  TextBox& txtAnswer;
  CommandButton &cmdAsk, &cmdFail;
  StatusBar& sbStatus;
};

class QtDesktopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    events().clear();
    // A test that loses its way must fail, not hang: close whatever is open and unwind.
    watchdog.setInterval(10000);
    QObject::connect(&watchdog, &QTimer::timeout, [this] {
      ADD_FAILURE() << "the dialogs were not driven to the end in time";
      watchdog.setInterval(100);
      QWidget* modal = QApplication::activeModalWidget();
      if (qobject_cast<QMessageBox*>(modal) || qobject_cast<QFileDialog*>(modal))
        static_cast<QDialog*>(modal)->done(0);
      desk.deliver([] { unloadAllForms(); });
    });
    watchdog.start();
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
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, name, step] {
      auto* modal = qobject_cast<W*>(QApplication::activeModalWidget());
      if (!modal || !modal->isVisible() || (!name.isEmpty() && modal->objectName() != name))
        return;
      // A file dialog may be drawn by the platform and never become the active Qt window.
      if (!modal->isActiveWindow() && !qobject_cast<QFileDialog*>(modal)) {
        modal->activateWindow();  // what a window manager does with a new dialog
        return;
      }
      poll->stop();
      poll->deleteLater();
      step(*modal);
    });
    poll->start();
  }

  static void screenshot(QWidget& w, const char* file) {
    const QString path = QStringLiteral(VANTREL_SCREENSHOT_DIR "/") + file;
    EXPECT_TRUE(w.grab().save(path)) << path.toStdString();
  }

  template <class W>
  static W& child(QWidget& dialog, const char* name) {
    W* w = dialog.findChild<W*>(name);
    if (!w)
      throw std::runtime_error(std::string("no widget ") + name);
    return *w;
  }

  QTimer watchdog;
  QtDesktop desk;
  ScopedDesktop use{desk};
};

TEST_F(QtDesktopTest, DrawsEveryControlKindWithNativeWidgets) {
  auto& f = form<frmAll>();
  when("frmAll", [&](QWidget& d) {
    EXPECT_EQ(d.windowTitle(), "Every control");
    EXPECT_EQ(d.size(), QSize(507, 320));  // 15 twips a pixel, rounded
    screenshot(d, "frmAll.png");

    auto& title = child<QLabel>(d, "lblTitle");
    EXPECT_EQ(title.geometry(), QRect(88, 8, 200, 17));
    EXPECT_EQ(title.text(), "Choose the &name");  // access key drawn by Qt, focus to its buddy
    EXPECT_EQ(title.buddy(), &child<QLineEdit>(d, "txtName"));
    EXPECT_EQ(title.toolTip(), "The name of the set");
    EXPECT_EQ(title.palette().color(QPalette::Window), QColor(Qt::yellow));
    EXPECT_TRUE(title.autoFillBackground());

    EXPECT_EQ(child<QLineEdit>(d, "txtName").text(), "Main");
    auto& notes = child<QPlainTextEdit>(d, "txtNotes");
    EXPECT_EQ(notes.toPlainText(), "First line\nSecond line");
    EXPECT_TRUE(notes.isReadOnly());

    // Options inside the frame are its children, placed relative to it, and grouped apart from
    // the options on the form.
    auto& keep = child<QRadioButton>(d, "optKeep");
    auto& safe = child<QRadioButton>(d, "optSafe");
    EXPECT_EQ(keep.parentWidget(), &child<QGroupBox>(d, "fraChoice"));
    EXPECT_EQ(keep.pos(), QPoint(8, 16));
    EXPECT_EQ(child<QGroupBox>(d, "fraChoice").title(), "Select Option");
    EXPECT_TRUE(keep.isChecked());
    EXPECT_TRUE(safe.isChecked());
    EXPECT_NE(keep.group(), safe.group());
    EXPECT_EQ(keep.group(), child<QRadioButton>(d, "optDrop").group());

    EXPECT_EQ(child<QCheckBox>(d, "chkAll").checkState(), Qt::Checked);
    auto& marker = child<QLabel>(d, "imgMarker");
    EXPECT_EQ(marker.toolTip(), "Recommended");
    EXPECT_EQ(marker.pixmap().size(), QSize(16, 16));
    auto& line = child<QFrame>(d, "linSep");
    EXPECT_EQ(line.frameShape(), QFrame::HLine);

    auto& tables = child<QListWidget>(d, "lstTables");
    ASSERT_EQ(tables.count(), 3);
    EXPECT_EQ(tables.item(0)->data(Qt::CheckStateRole), Qt::Unchecked);  // drawn, not unset
    EXPECT_EQ(tables.item(1)->checkState(), Qt::Checked);

    auto& links = child<QTreeWidget>(d, "lvwLinks");
    EXPECT_EQ(links.headerItem()->text(0), "Table");
    EXPECT_EQ(links.headerItem()->text(1), "Back end");
    EXPECT_EQ(links.columnWidth(1), 100);
    EXPECT_TRUE(links.header()->isSortIndicatorShown());
    EXPECT_EQ(links.header()->sortIndicatorSection(), 0);
    ASSERT_EQ(links.topLevelItemCount(), 3);
    EXPECT_EQ(links.topLevelItem(0)->text(0), "Customers");
    EXPECT_EQ(links.topLevelItem(0)->text(1), "c.mdb");

    auto& tree = child<QTreeWidget>(d, "tvwFolders");
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    QTreeWidgetItem* data = tree.topLevelItem(0)->child(0);
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->isExpanded());
    ASSERT_EQ(data->childCount(), 1);
    EXPECT_EQ(data->child(0)->text(0), "be.mdb");
    EXPECT_FALSE(data->icon(0).isNull());

    // The status bar docks at the bottom, one label per panel.
    auto& bar = child<QStatusBar>(d, "sbStatus");
    EXPECT_EQ(bar.geometry().bottom(), d.height() - 1);
    EXPECT_EQ(bar.findChildren<QLabel*>().size(), 2);

    EXPECT_FALSE(child<QPushButton>(d, "cmdHidden").isVisibleTo(&d));
    EXPECT_EQ(child<QPushButton>(d, "cmdOK").text(), "&OK");
    EXPECT_EQ(d.findChild<QWidget*>("imlIcons"), nullptr);
    EXPECT_EQ(d.findChild<QWidget*>("dlgOpen"), nullptr);

    QTest::mouseClick(&child<QPushButton>(d, "cmdOK"), Qt::LeftButton);
  });
  f.ShowModal();
  // The handler hid the form, which ended its modal show; its dialog is gone.
  EXPECT_EQ(events(), std::vector<std::string>{"cmdOK_Click"});
  EXPECT_FALSE(f.visible());
  EXPECT_EQ(desk.dialogOf(f), nullptr);
  EXPECT_TRUE(std::filesystem::file_size(VANTREL_SCREENSHOT_DIR "/frmAll.png") > 1000);
}

TEST_F(QtDesktopTest, ButtonsOptionsAndTextReachTheModelAndEverythingIsRedrawn) {
  auto& f = form<frmAll>();
  when("frmAll", [&](QWidget& d) {
    // Tab and the label's access key (to its buddy) move the focus, and the model hears of it.
    QTest::keyClick(&child<QLineEdit>(d, "txtName"), Qt::Key_Tab);
    QApplication::processEvents();
    EXPECT_EQ(f.focused(), &f.txtNotes);
    QTest::keyClick(&d, Qt::Key_N, Qt::AltModifier);
    QApplication::processEvents();
    EXPECT_EQ(f.focused(), &f.txtName);
    // Focus by access key selects the text, as Qt does; typing goes after it here.
    QTest::keyClick(&child<QLineEdit>(d, "txtName"), Qt::Key_End);
    QTest::keyClicks(&child<QLineEdit>(d, "txtName"), "2");
    EXPECT_EQ(f.txtName.Text, "Main2");
    EXPECT_EQ(f.focused(), &f.txtName);

    // Each container keeps its own choice.
    // Qt takes a click on an option's circle or text, not on the empty room right of it.
    const QPoint circle(6, 9);
    QTest::mouseClick(&child<QRadioButton>(d, "optDrop"), Qt::LeftButton, {}, circle);
    EXPECT_TRUE(f.optDrop.value());
    EXPECT_FALSE(f.optKeep.value());
    EXPECT_TRUE(f.optSafe.value());
    EXPECT_TRUE(child<QRadioButton>(d, "optSafe").isChecked());
    QTest::mouseClick(&child<QRadioButton>(d, "optFast"), Qt::LeftButton, {}, circle);
    EXPECT_TRUE(f.optFast.value() && !f.optSafe.value() && f.optDrop.value());
    EXPECT_FALSE(child<QRadioButton>(d, "optSafe").isChecked());
    EXPECT_TRUE(child<QRadioButton>(d, "optDrop").isChecked());

    QTest::mouseClick(&child<QCheckBox>(d, "chkAll"), Qt::LeftButton);
    EXPECT_EQ(f.chkAll.Value, 0);

    // A selection made from code shows after the next handler; then a handler changing
    // several controls and the caption.
    f.optKeep.setValue(true);
    QTest::mouseClick(&child<QPushButton>(d, "cmdChange"), Qt::LeftButton);
    EXPECT_TRUE(child<QRadioButton>(d, "optKeep").isChecked());
    EXPECT_FALSE(child<QRadioButton>(d, "optDrop").isChecked());
    EXPECT_EQ(d.windowTitle(), "Every control (changed)");
    auto& title = child<QLabel>(d, "lblTitle");
    EXPECT_EQ(title.text(), "Changed");
    EXPECT_FALSE(title.autoFillBackground());
    EXPECT_EQ(child<QListWidget>(d, "lstTables").count(), 4);
    EXPECT_FALSE(child<QCheckBox>(d, "chkAll").isEnabled());
    EXPECT_TRUE(child<QPushButton>(d, "cmdHidden").isVisible());
    screenshot(d, "frmAll-changed.png");

    QTest::mouseClick(&child<QLabel>(d, "imgMarker"), Qt::LeftButton);

    // A disabled control refuses its click in the model as on the screen.
    child<QCheckBox>(d, "chkAll").click();
    EXPECT_EQ(f.chkAll.Value, 0);

    // Enter in a text box presses no button; on a focused button it does.
    auto& ok = child<QPushButton>(d, "cmdOK");
    QTest::keyClick(&child<QLineEdit>(d, "txtName"), Qt::Key_Return);
    EXPECT_EQ(events(), std::vector<std::string>{"imgMarker_Click"});
    ok.setFocus();
    QTest::keyClick(&ok, Qt::Key_Return);
  });
  f.ShowModal();
  EXPECT_EQ(events(), (std::vector<std::string>{"imgMarker_Click", "cmdOK_Click"}));
}

TEST_F(QtDesktopTest, ListsListViewsAndTreesReportTheUsersChoice) {
  auto& f = form<frmAll>();
  when("frmAll", [&](QWidget& d) {
    auto& tables = child<QListWidget>(d, "lstTables");
    tables.item(2)->setCheckState(Qt::Checked);  // what the view does on a click in the box
    QApplication::processEvents();
    EXPECT_TRUE(f.lstTables.Selected(2));
    EXPECT_EQ(f.lstTables.ListIndex, 2);

    // Header click: the handler sorts by the clicked column and the rows and indicator follow.
    auto& links = child<QTreeWidget>(d, "lvwLinks");
    QHeaderView* header = links.header();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(1) + 10, header->height() / 2));
    EXPECT_EQ(f.lvwLinks.sortKey(), 1);
    EXPECT_EQ(header->sortIndicatorSection(), 1);
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
    QTest::mouseClick(&child<QPushButton>(d, "cmdChange"), Qt::LeftButton);
    EXPECT_FALSE(f.tvwFolders.nodes()[0].expanded);
    EXPECT_FALSE(tree.topLevelItem(0)->isExpanded());

    f.cmdOK.Click();  // straight from code: no user action, no redraw, the show goes on
    EXPECT_TRUE(d.isVisible());
    desk.deliver([] {});
  });
  f.ShowModal();
  EXPECT_EQ(events(),
            (std::vector<std::string>{"ItemCheck 2 on", "ColumnClick 2", "ItemClick Orders",
                                      "NodeClick C:\\Data\\be.mdb", "cmdOK_Click"}));
}

TEST_F(QtDesktopTest, NestedPagesUnwindWhenTheInnermostClosesThemAll) {
  auto& first = form<frmPage1>();
  QDialog* firstDialog = nullptr;
  when("frmPage1", [&](QWidget& d) {
    firstDialog = desk.dialogOf(first);
    EXPECT_EQ(firstDialog, &d);
    when("frmPage2", [&](QWidget& d2) {
      // The page that handed over is hidden; the new one has no hidden parent to hang on.
      EXPECT_FALSE(firstDialog->isVisible());
      EXPECT_EQ(d2.parentWidget(), nullptr);
      EXPECT_EQ(d2.windowTitle(), "Page 2");
      screenshot(d2, "frmPage2.png");
      QTest::keyClick(&d2, Qt::Key_F, Qt::AltModifier);  // the access key of "&Finish"
    });
    QTest::mouseClick(&child<QPushButton>(d, "cmdNext"), Qt::LeftButton);
  });
  first.ShowModal();
  EXPECT_EQ(events(),
            (std::vector<std::string>{"Page2 activate", "Finish", "Page1 handler returned"}));
  EXPECT_FALSE(isLoaded<frmPage1>());
  EXPECT_FALSE(isLoaded<frmPage2>());
  for (QWidget* w : QApplication::topLevelWidgets())
    EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}

TEST_F(QtDesktopTest, TheFrameAndEscapeAskTheFormBeforeClosing) {
  auto& f = form<frmAsk>();
  when("frmAsk", [&](QWidget& d) {
    EXPECT_EQ(d.focusWidget(), &child<QPushButton>(d, "cmdAsk"));  // where Form_Activate put it
    d.close();  // the frame's close button: refused once
    EXPECT_TRUE(d.isVisible());
    EXPECT_TRUE(f.loaded());
    QTest::keyClick(&d, Qt::Key_Escape);
  });
  f.ShowModal();
  EXPECT_EQ(events(), (std::vector<std::string>{"close refused", "close allowed"}));
  EXPECT_FALSE(isLoaded<frmAsk>());
}

TEST_F(QtDesktopTest, MessageBoxesAnswerWithTheButtonPressed) {
  auto& f = form<frmAsk>();
  f.refuseClose = false;
  when("frmAsk", [&](QWidget& d) {
    when<QMessageBox>("", [&](QMessageBox& w) {
      QMessageBox* box = &w;
      EXPECT_EQ(box->text(), "Link now?\nThe tables move.");
      EXPECT_EQ(box->windowTitle(), "Relink");
      EXPECT_EQ(box->icon(), QMessageBox::Question);
      EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
      EXPECT_EQ(box->parentWidget(), &d);
      screenshot(*box, "msgbox.png");
      QTest::mouseClick(box->button(QMessageBox::No), Qt::LeftButton);
    });
    QTest::mouseClick(&child<QPushButton>(d, "cmdAsk"), Qt::LeftButton);
    // The answer the handler wrote is on screen as soon as the handler is done.
    EXPECT_EQ(child<QLineEdit>(d, "txtAnswer").text(), "no");

    // Escape on a box with Cancel answers Cancel.
    when<QMessageBox>("", [](QMessageBox& w) { QTest::keyClick(&w, Qt::Key_Escape); });
    QTest::mouseClick(&child<QPushButton>(d, "cmdAsk"), Qt::LeftButton);
    EXPECT_EQ(f.txtAnswer.Text, "cancel");
    d.close();
  });
  f.ShowModal();

  // Outside any form too, with the default title.
  when<QMessageBox>("", [](QMessageBox& w) {
    EXPECT_EQ(w.windowTitle(), kDefaultTitle);
    QTest::keyClick(&w, Qt::Key_Return);  // the default button, the set's first
  });
  EXPECT_EQ(MsgBox("Retry?", Buttons::RetryCancel, Icon::Exclamation), Answer::Retry);
}

TEST_F(QtDesktopTest, OpenFileShowsTheFiltersFolderAndTitle) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "vantrel-qt-open";
  std::filesystem::create_directories(dir);
  const std::string file = (dir / "be.mdb").string();
  std::ofstream(file).put('\n');

  auto& f = form<frmAll>();
  f.dlgOpen.DialogTitle = "Locate the back end";
  f.dlgOpen.InitDir = dir.string();
  f.dlgOpen.Filter = "Databases|*.mdb;*.accdb|All Files (*.*)|*.*";
  f.dlgOpen.FilterIndex = 2;
  when<QFileDialog>("", [&](QFileDialog& w) {
    QFileDialog* dialog = &w;
    EXPECT_EQ(dialog->windowTitle(), "Locate the back end");
    EXPECT_EQ(dialog->nameFilters(), (QStringList{"Databases (*.mdb *.accdb)", "All Files (*)"}));
    EXPECT_EQ(dialog->selectedNameFilter(), "All Files (*)");
    EXPECT_EQ(dialog->directory().absolutePath(), QString::fromStdString(dir.string()));
    dialog->selectFile(QString::fromStdString(file));
    static_cast<QDialog*>(dialog)->accept();  // public there, as the OK button calls it
  });
  f.dlgOpen.ShowOpen();
  EXPECT_EQ(f.dlgOpen.FileName, file);

  when<QFileDialog>("", [](QFileDialog& w) { w.reject(); });
  f.dlgOpen.ShowOpen();
  EXPECT_EQ(f.dlgOpen.FileName, "");
}

TEST_F(QtDesktopTest, AHandlersFailureLeavesThroughShowModal) {
  auto& f = form<frmAsk>();
  when("frmAsk",
       [&](QWidget& d) { QTest::mouseClick(&child<QPushButton>(d, "cmdFail"), Qt::LeftButton); });
  EXPECT_THROW(f.ShowModal(), std::runtime_error);
  EXPECT_FALSE(f.visible());
  EXPECT_EQ(desk.dialogOf(f), nullptr);
}

TEST_F(QtDesktopTest, LongWorkShowsItsProgressBeforeTheHandlerEnds) {
  auto& f = form<frmAsk>();
  f.refuseClose = false;
  std::vector<QString> seen;
  f.cmdAsk.Click = [&] {
    QDialog* d = desk.dialogOf(f);
    f.sbStatus.Panels[0].text = "Scanning C:";
    f.sbStatus.Refresh();
    seen.push_back(d->findChild<QStatusBar*>("sbStatus")->findChild<QLabel*>()->text());
    f.txtAnswer.Text = "step 2";
    desktop().doEvents();
    seen.push_back(d->findChild<QLineEdit*>("txtAnswer")->text());
  };
  when("frmAsk", [&](QWidget& d) {
    QTest::mouseClick(&child<QPushButton>(d, "cmdAsk"), Qt::LeftButton);
    d.close();
  });
  f.ShowModal();
  EXPECT_EQ(seen, (std::vector<QString>{"Scanning C:", "step 2"}));
}

}  // namespace
}  // namespace uikit::qt
