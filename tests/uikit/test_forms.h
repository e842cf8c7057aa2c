// The forms every driver's tests share: a three-page chain that closes itself the way the wizard
// does, a window that will not close, a host with a dialog over it, a form with the controls a
// real window holds, and a bench for single controls; plus the fixture of the scripted tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "uikit/desktop.h"
#include "uikit/form.h"
#include "uikit/script/scripted_desktop.h"

namespace uikit_test {

using Strings = std::vector<std::string>;
using Opt = uikit::OptionButton;
using Button = uikit::CommandButton;

// What the test forms' handlers saw, in order ("frmFirst load", "cmdOK_Click", ...).
inline Strings& events() {
  static Strings log;
  return log;
}

class LoggedForm : public uikit::Form {
 public:
  using Form::Form;
  void Form_Load() override { events().push_back(name() + " load"); }
  void Form_Activate() override { events().push_back(name() + " activate"); }
  void Form_Unload() override { events().push_back(name() + " unload"); }
};

// A page's hand-over to the next, as the wizard's pages do it: hide, then show the next modally.
template <class F>
void handOver(uikit::Form& from) {
  from.Hide();
  uikit::form<F>().ShowModal();
}

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
  Button& cmdFinish = add<Button>("cmdFinish", {3000, 1560, 1200, 375});
};

// First page, like a wizard's situation page: an option group, a list, a note and a file chosen
// with Browse. Ignore asks first and, confirmed, closes every window; Next hands over to the
// second page.
class frmFirst : public LoggedForm {
 public:
  frmFirst() : LoggedForm("frmFirst") {
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
  Opt& optOne = add<Opt>("optOne", {120, 240, 1700, 285}, &Frame1);
  Opt& optTwo = add<Opt>("optTwo", {120, 540, 1700, 285}, &Frame1);
  uikit::ListBox& lstItems = add<uikit::ListBox>("lstItems", {2280, 120, 2000, 900});
  uikit::TextBox& txtNote = add<uikit::TextBox>("txtNote", {120, 1140, 4160, 315});
  uikit::Label& lblFile = add<uikit::Label>("lblFile", {120, 1980, 4160, 285});
  Button& cmdBrowse = add<Button>("cmdBrowse", {120, 1560, 1200, 375});
  Button& cmdIgnore = add<Button>("cmdIgnore", {1560, 1560, 1200, 375});
  Button& cmdNext = add<Button>("cmdNext", {3000, 1560, 1200, 375});
  uikit::CommonDialog& dlg = add<uikit::CommonDialog>("CommonDialog1");
  std::string afterChain;
  void cmdNext_Click();
};

// Second page: Back hands over to the first page again, Next to the last.
class frmSecond : public LoggedForm {
 public:
  frmSecond() : LoggedForm("frmSecond") {
    cmdBack.Click = [this] { handOver<frmFirst>(*this); };
    cmdNext.Click = [this] { handOver<frmThird>(*this); };
  }
  Button& cmdBack = add<Button>("cmdBack", {1680, 1560, 1200, 375});
  Button& cmdNext = add<Button>("cmdNext", {3000, 1560, 1200, 375});
};

inline void frmFirst::cmdNext_Click() {
  handOver<frmSecond>(*this);
  // A hand-over returns at once: this runs before frmSecond shows, on the hidden page.
  afterChain = txtNote.Text + " / " + lstItems.Text();
}

// A window that refuses to close from its frame until it is told it may; Ask asks, and Retry
// keeps asking "try again?" while the answer is yes. Ask has the focus when it is shown.
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
  Button& cmdAsk = add<Button>("cmdAsk", {120, 120, 1200, 375});
  Button& cmdRetry = add<Button>("cmdRetry", {1440, 120, 1200, 375});
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
    Button& cmdOk = add<Button>("cmdOk");
  };
  Button& cmdOpen = add<Button>("cmdOpen");
};

// A form with the controls of a real window, laid out as it would be: options grouped by
// their frames, a frame in a frame, a disabled and a hidden frame, a hidden button. The Qt tests
// draw it and the console tests print it; its handlers log what the user did.
class frmAll : public uikit::Form {
 public:
  frmAll() : Form("frmAll") {
    Caption = "Every control";
    geometry = {0, 0, 7600, 4800};
    lblTitle.Caption = "Choose the &name";
    lblTitle.BackColor = uikit::Color::Yellow;
    txtName.Text = "Main";
    txtNotes.MultiLine = txtNotes.Locked = true;
    txtNotes.Text = "First line \r\n\r\nlast line\r\n";
    for (auto* o : {&optKeep, &optInA, &optSafe})
      o->setValue(true);
    imgMarker.Image = "marker";
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
    for (auto [table, file] :
         {std::pair{"Orders", "b.mdb"}, {"Customers", "c.mdb"}, {"Products", "a.mdb"}})
      lvwLinks.AddItem(table, {file});
    lvwLinks.setSorted(true);
    lvwLinks.ColumnClick = [this](int column) {
      events().push_back("ColumnClick " + std::to_string(column));
      lvwLinks.setSortKey(column - 1);
    };
    lvwLinks.ItemClick = [this](int i) {
      events().push_back("ItemClick " + lvwLinks.Item(i).text);
    };
    tvwFolders.AddNode("", "C:", "C:").expanded = true;
    tvwFolders.AddNode("", "D:", "D:");  // printed after the whole of C:
    tvwFolders.SelectedKey = "D:";
    tvwFolders.AddNode("C:", "C:\\Data", "Data").expanded = true;
    tvwFolders.AddNode("C:\\Data", "C:\\Data\\be.mdb", "be.mdb");
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
    fraOff.Enabled = fraHidden.Visible = false;
    chkGray.Value = 2;
  }
  uikit::Label& lblTitle = add<uikit::Label>("lblTitle", {1320, 120, 3000, 255});
  uikit::TextBox& txtName = add<uikit::TextBox>("txtName", {1320, 420, 3000, 315});
  uikit::TextBox& txtNotes = add<uikit::TextBox>("txtNotes", {4500, 120, 2900, 615});
  uikit::Frame& fraChoice = add<uikit::Frame>("fraChoice", {1320, 960, 2900, 1000});
  Opt& optKeep = add<Opt>("optKeep", {120, 240, 1300, 285}, &fraChoice);
  Opt& optDrop = add<Opt>("optDrop", {120, 570, 1300, 285}, &fraChoice);
  uikit::Frame& fraInner = add<uikit::Frame>("fraInner", {1500, 120, 1300, 800}, &fraChoice);
  Opt& optInA = add<Opt>("optInA", {100, 240, 1100, 285}, &fraInner);
  Opt& optInB = add<Opt>("optInB", {100, 500, 1100, 285}, &fraInner);
  uikit::Picture& imgMarker = add<uikit::Picture>("imgMarker", {1080, 1020, 240, 240});
  Opt& optFast = add<Opt>("optFast", {4500, 1020, 2000, 285});
  Opt& optSafe = add<Opt>("optSafe", {4500, 1320, 2000, 285});
  uikit::CheckBox& chkAll = add<uikit::CheckBox>("chkAll", {4500, 1620, 2000, 285});
  uikit::ListBox& lstTables = add<uikit::ListBox>("lstTables", {1320, 2040, 2900, 1000});
  uikit::ListView& lvwLinks = add<uikit::ListView>("lvwLinks", {4500, 2040, 2900, 1000});
  uikit::TreeView& tvwFolders = add<uikit::TreeView>("tvwFolders", {1320, 3120, 2900, 1080});
  Button& cmdChange = add<Button>("cmdChange", {4500, 3240, 1300, 375});
  Button& cmdHidden = add<Button>("cmdHidden", {4500, 3720, 1300, 375});
  Button& cmdOK = add<Button>("cmdOK", {6000, 3720, 1300, 375});
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
