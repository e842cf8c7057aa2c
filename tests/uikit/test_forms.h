// The forms every driver's tests share: a three-page chain that closes itself the way the wizard
// does, a window that will not close, a host with a dialog over it, a form with a control of
// every kind, and a bench for single controls; plus the fixture of the scripted tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "uikit/desktop.h"
#include "uikit/form.h"
#include "uikit/script/scripted_desktop.h"

namespace uikit_test {

using Strings = std::vector<std::string>;

// Lifecycle events of every test form, in order ("frmFirst load", "frmThird unload", ...).
inline std::vector<std::string>& events() {
  static std::vector<std::string> log;
  return log;
}

// A form with the handlers logged.
class LoggedForm : public uikit::Form {
 public:
  using Form::Form;
  void Form_Load() override { events().push_back(name() + " load"); }
  void Form_Activate() override { events().push_back(name() + " activate"); }
  void Form_Unload() override { events().push_back(name() + " unload"); }
};

// First page, like a wizard's situation page: an option group, a single-select list, a note and a
// file chosen with Browse. Ignore asks first and, confirmed, closes every window; Next hides the
// page and shows the second page.
class frmFirst : public LoggedForm {
 public:
  frmFirst() : LoggedForm("frmFirst") {
    geometry = {0, 0, 4500, 2400};
    optOne.setValue(true);
    for (const char* s : {"alpha", "beta", "gamma"})
      lstItems.AddItem(s);
    cmdBrowse.Click = [this] {
      dlg.DialogTitle = "Select Database";
      dlg.Filter = "All(*.*)|*.*";
      dlg.ShowOpen();
      lblFile.Caption = dlg.FileName;
    };
    cmdIgnore.Click = [] {
      if (uikit::MsgBox("Are you sure you want to ignore?", uikit::Buttons::YesNo,
                        uikit::Icon::Question, "Confirm Ignore") == uikit::Answer::Yes)
        uikit::unloadAllForms();
    };
    cmdNext.Click = [this] { cmdNext_Click(); };
  }
  uikit::Frame& Frame1 = add<uikit::Frame>("Frame1", {120, 120, 2000, 900});
  uikit::OptionButton& optOne = add<uikit::OptionButton>("optOne", {120, 240, 1700, 285}, &Frame1);
  uikit::OptionButton& optTwo = add<uikit::OptionButton>("optTwo", {120, 540, 1700, 285}, &Frame1);
  uikit::ListBox& lstItems = add<uikit::ListBox>("lstItems", {2280, 120, 2000, 900});
  uikit::TextBox& txtNote = add<uikit::TextBox>("txtNote", {120, 1140, 4160, 315});
  uikit::Label& lblFile = add<uikit::Label>("lblFile", {120, 1980, 4160, 285});
  uikit::CommandButton& cmdBrowse = add<uikit::CommandButton>("cmdBrowse", {120, 1560, 1200, 375});
  uikit::CommandButton& cmdIgnore = add<uikit::CommandButton>("cmdIgnore", {1560, 1560, 1200, 375});
  uikit::CommandButton& cmdNext = add<uikit::CommandButton>("cmdNext", {3000, 1560, 1200, 375});
  uikit::CommonDialog& dlg = add<uikit::CommonDialog>("CommonDialog1");
  std::string afterChain;
  void cmdNext_Click();
};

// Second page: Back hands over to the first page again, Next goes on.
class frmSecond : public LoggedForm {
 public:
  frmSecond() : LoggedForm("frmSecond") {
    cmdBack.Click = [this] {
      Hide();
      uikit::form<frmFirst>().ShowModal();
    };
    cmdNext.Click = [this] { cmdNext_Click(); };
  }
  uikit::CommandButton& cmdBack = add<uikit::CommandButton>("cmdBack", {1680, 1560, 1200, 375});
  uikit::CommandButton& cmdNext = add<uikit::CommandButton>("cmdNext", {3000, 1560, 1200, 375});
  void cmdNext_Click();
};

// Last page: Finish unloads every window from inside its own click, then keeps using its own
// members, as a handler may after closing the wizard.
class frmThird : public LoggedForm {
 public:
  frmThird() : LoggedForm("frmThird") {
    Caption = "Finished";
    cmdFinish.Caption = "&Finish";
    cmdFinish.Click = [this] {
      uikit::unloadAllForms();
      cmdFinish.Caption = Caption + " after unload";
    };
  }
  uikit::CommandButton& cmdFinish = add<uikit::CommandButton>("cmdFinish", {3000, 1560, 1200, 375});
};

inline void frmFirst::cmdNext_Click() {
  Hide();
  uikit::form<frmSecond>().ShowModal();
  // A hand-over returns at once: this runs before frmSecond shows, on the hidden page.
  afterChain = txtNote.Text + " / " + lstItems.Text();
}

inline void frmSecond::cmdNext_Click() {
  Hide();
  uikit::form<frmThird>().ShowModal();
}

// A window that refuses to close from its frame until it is told it may; its buttons ask, and
// Retry keeps asking "try again?" while the answer is yes. Ask has the focus when it is shown.
class frmStubborn : public uikit::Form {
 public:
  frmStubborn() : Form("frmStubborn") {
    cmdAsk.Click = [this] {
      answer = uikit::MsgBox("Save changes?", uikit::Buttons::OKCancel, uikit::Icon::Question,
                             "Changed");
    };
    cmdRetry.Click = [] {
      while (uikit::MsgBox("Is the back end back?", uikit::Buttons::YesNo) != uikit::Answer::Yes) {
      }
    };
  }
  void Form_Activate() override { cmdAsk.SetFocus(); }
  void Form_QueryUnload(bool& cancel) override { cancel = !mayClose; }
  bool mayClose = false;
  uikit::Answer answer = uikit::Answer::Cancel;
  uikit::CommandButton& cmdAsk = add<uikit::CommandButton>("cmdAsk", {120, 120, 1200, 375});
  uikit::CommandButton& cmdRetry = add<uikit::CommandButton>("cmdRetry", {1440, 120, 1200, 375});
};

// A window with a dialog shown over it (not hiding itself).
class frmHost : public LoggedForm {
 public:
  frmHost() : LoggedForm("frmHost") {
    cmdOpen.Click = [] { uikit::form<LoggedDialog>().ShowModal(); };
  }
  class LoggedDialog : public LoggedForm {
   public:
    LoggedDialog() : LoggedForm("frmDialog") {
      cmdOk.Click = [this] { Hide(); };
    }
    uikit::CommandButton& cmdOk = add<uikit::CommandButton>("cmdOk");
  };
  uikit::CommandButton& cmdOpen = add<uikit::CommandButton>("cmdOpen");
};

// A form with a control of every kind, laid out as a real window would be; the Qt tests draw it
// and the console tests print it.
class frmAll : public uikit::Form {
 public:
  frmAll() : Form("frmAll") {
    Caption = "Every control";
    geometry = {0, 0, 7600, 4800};
    lblTitle.Caption = "Choose the &name";
    lblTitle.BackColor = uikit::Color::Yellow;
    txtName.Text = "Main";
    txtNotes.MultiLine = true;
    txtNotes.Locked = true;
    txtNotes.Text = "First line \r\n\r\nlast line\r\n";
    fraChoice.Caption = "Select Option";
    optKeep.setValue(true);
    optInA.setValue(true);
    imgMarker.Image = "marker";
    imgMarker.ToolTipText = "Recommended";
    imgMarker.Click = [] { events().push_back("imgMarker_Click"); };
    optSafe.setValue(true);
    chkAll.Caption = "&All tables";  // Qt takes a click on the box or its text only
    chkAll.Value = 1;
    lstTables.style = uikit::ListBox::Style::CheckBoxes;
    for (const char* t : {"Customers", "Orders", "Products"})
      lstTables.AddItem(t);
    lstTables.SetSelected(1, true);
    lstTables.ItemCheck = [this](int i) {
      events().push_back("ItemCheck " + std::to_string(i) + (lstTables.Selected(i) ? " on" : ""));
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
    tvwFolders.AddNode("", "D:", "D:", "drive");  // printed after the whole of C:
    tvwFolders.SelectedKey = "D:";
    tvwFolders.AddNode("C:", "C:\\Data", "Data", "folder").expanded = true;
    tvwFolders.AddNode("C:\\Data", "C:\\Data\\be.mdb", "be.mdb", "db");
    tvwFolders.NodeClick = [](const std::string& key) { events().push_back("NodeClick " + key); };
    cmdChange.Click = [this] {
      // A handler touching several controls: the redraw after it must show them all.
      lblTitle.Caption = "Changed";
      lblTitle.BackColor = uikit::Color::Default;
      lstTables.AddItem("Suppliers");
      chkAll.Enabled = false;
      cmdHidden.Visible = true;
      Caption = "Every control (changed)";
    };
    cmdHidden.Visible = false;
    cmdOK.Click = [this] {
      events().push_back("cmdOK_Click");
      Hide();
    };
    sbStatus.Panels = {{"Ready", 2000}, {"3 tables", 0}};
    lstSets.MultiSelect = true;
    lstSets.AddItem("Main");
    lstSets.AddItem("Archive");
    lstSets.SetSelected(1, true);
    fraOff.Enabled = false;
    chkGray.Value = 2;
    fraHidden.Visible = false;
  }
  uikit::Label& lblTitle = add<uikit::Label>("lblTitle", {1320, 120, 3000, 255});
  uikit::TextBox& txtName = add<uikit::TextBox>("txtName", {1320, 420, 3000, 315});
  uikit::TextBox& txtNotes = add<uikit::TextBox>("txtNotes", {4500, 120, 2900, 615});
  uikit::Line& linSep = add<uikit::Line>("linSep", {1320, 870, 6080, 0});
  uikit::Frame& fraChoice = add<uikit::Frame>("fraChoice", {1320, 960, 2900, 1000});
  uikit::OptionButton& optKeep =
      add<uikit::OptionButton>("optKeep", {120, 240, 1300, 285}, &fraChoice);
  uikit::OptionButton& optDrop =
      add<uikit::OptionButton>("optDrop", {120, 570, 1300, 285}, &fraChoice);
  uikit::Frame& fraInner = add<uikit::Frame>("fraInner", {1500, 120, 1300, 800}, &fraChoice);
  uikit::OptionButton& optInA =
      add<uikit::OptionButton>("optInA", {100, 240, 1100, 285}, &fraInner);
  uikit::OptionButton& optInB =
      add<uikit::OptionButton>("optInB", {100, 500, 1100, 285}, &fraInner);
  uikit::Picture& imgMarker = add<uikit::Picture>("imgMarker", {1080, 1020, 240, 240});
  uikit::OptionButton& optFast = add<uikit::OptionButton>("optFast", {4500, 1020, 2000, 285});
  uikit::OptionButton& optSafe = add<uikit::OptionButton>("optSafe", {4500, 1320, 2000, 285});
  uikit::CheckBox& chkAll = add<uikit::CheckBox>("chkAll", {4500, 1620, 2000, 285});
  uikit::ListBox& lstTables = add<uikit::ListBox>("lstTables", {1320, 2040, 2900, 1000});
  uikit::ListView& lvwLinks = add<uikit::ListView>("lvwLinks", {4500, 2040, 2900, 1000});
  uikit::TreeView& tvwFolders = add<uikit::TreeView>("tvwFolders", {1320, 3120, 2900, 1080});
  uikit::ImageList& imlIcons = add<uikit::ImageList>("imlIcons");
  uikit::CommonDialog& dlgOpen = add<uikit::CommonDialog>("dlgOpen");
  uikit::CommandButton& cmdChange = add<uikit::CommandButton>("cmdChange", {4500, 3240, 1300, 375});
  uikit::CommandButton& cmdHidden = add<uikit::CommandButton>("cmdHidden", {4500, 3720, 1300, 375});
  uikit::CommandButton& cmdOK = add<uikit::CommandButton>("cmdOK", {6000, 3720, 1300, 375});
  uikit::StatusBar& sbStatus = add<uikit::StatusBar>("sbStatus");
  uikit::ListBox& lstSets = add<uikit::ListBox>("lstSets", {0, 1380, 1200, 700});
  uikit::Frame& fraOff = add<uikit::Frame>("fraOff", {0, 2160, 1200, 600});
  uikit::CheckBox& chkGray = add<uikit::CheckBox>("chkGray", {120, 240, 900, 285}, &fraOff);
  uikit::Frame& fraHidden = add<uikit::Frame>("fraHidden", {0, 2880, 1200, 600});
  uikit::Label& lblHidden = add<uikit::Label>("lblHidden", {120, 240, 900, 285}, &fraHidden);
};

// A form for trying single controls: add<T>(name, geometry, container) adds one.
class Bench : public uikit::Form {
 public:
  Bench() : Form("frmBench") {}
  using Form::add;
};

// A test under a scripted desktop that starts with an empty event log and ends by unloading and
// destroying every form, so each test begins with an empty window list.
class ScriptedTest : public ::testing::Test {
 protected:
  void SetUp() override { events().clear(); }
  void TearDown() override {
    uikit::unloadAllForms();
    uikit::FormRegistry::current().collect();
  }
  uikit::script::ScriptedDesktop desk;
  uikit::ScopedDesktop use{desk};
};

// Shows form modally under a scripted desktop, runs body as the user's one turn, and hides the
// form afterwards if body left it shown. Tests use it to act on controls as a user would.
inline void whileShown(uikit::Form& form, const std::function<void()>& body) {
  uikit::script::ScriptedDesktop desk;
  uikit::ScopedDesktop use(desk);
  desk.onShow(form.name(), [&](uikit::Form& f) {
    body();
    f.Hide();  // no effect when body hid or unloaded it
  });
  form.ShowModal();
}

}  // namespace uikit_test
