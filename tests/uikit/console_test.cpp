// The console driver: how a window prints, a whole session piped in through a string stream,
// and what happens when the input ends.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/uikit/test_forms.h"
#include "uikit/console/console_desktop.h"

namespace uikit_test {
namespace {

using uikit::Answer;
using uikit::Buttons;
using uikit::Icon;
using uikit::console::ConsoleDesktop;

class ConsoleTest : public ::testing::Test {
 protected:
  void TearDown() override {
    uikit::unloadAllForms();
    uikit::FormRegistry::current().collect();
  }
};

TEST_F(ConsoleTest, EveryKindOfControlPrintsItsState) {
  Bench b;
  auto& info = b.make<uikit::TextBox>("txtInfo");
  info.Text = "First line \r\n\r\nlast line\r\n";
  info.Locked = true;
  auto& frame = b.make<uikit::Frame>("Frame1");
  frame.Caption = "Select Option";
  auto& marker = b.make<uikit::Picture>("Image2", &frame, {120, 285, 300, 300});
  marker.Image = "marker";
  marker.ToolTipText = "Best Choice";
  auto& o1 = b.make<uikit::OptionButton>("optFix", &frame, {480, 300, 3000, 300});
  o1.Caption = "Fix";
  o1.setValue(true);
  b.make<uikit::OptionButton>("optIgnore", &frame, {480, 700, 3000, 300}).Caption = "Ignore";
  auto& off = b.make<uikit::Frame>("fraOff");
  off.Enabled = false;
  b.make<uikit::CheckBox>("chkAll", &off).Value = 2;
  auto& hidden = b.make<uikit::Frame>("fraHidden");
  hidden.Visible = false;
  b.make<uikit::Label>("lblInsideHidden", &hidden);
  b.make<uikit::TextBox>("txtCallingForm").Visible = false;
  b.make<uikit::Line>("Line1");
  b.make<uikit::CommonDialog>("CommonDialog1");
  auto& multi = b.make<uikit::ListBox>("lstDatabases");
  multi.MultiSelect = true;
  multi.AddItem("C:\\a.mdb");
  multi.AddItem("C:\\b.mdb");
  multi.SetSelected(1, true);
  auto& checks = b.make<uikit::ListBox>("lstTables");
  checks.style = uikit::ListBox::Style::CheckBoxes;
  checks.AddItem("Orders (C:\\a.mdb)");
  checks.SetSelected(0, true);
  checks.AddItem("Customers ()");
  b.make<uikit::ListBox>("lstEmpty");
  auto& view = b.make<uikit::ListView>("lsvStore");
  view.ColumnHeaders = {{"Database Path", 0}, {"Score", 0}};
  view.setSortKey(1);
  view.setSortOrder(uikit::ListView::SortOrder::Descending);
  view.setSorted(true);
  view.AddItem("C:\\b.mdb", {"40"});
  view.AddItem("C:\\a.mdb", {"85"});
  view.SetSelectedItem(2);
  auto& tree = b.make<uikit::TreeView>("treLinkStatus");
  tree.AddNode("", "C:\\be.mdb", "C:\\be.mdb", "Fail");
  tree.AddNode("", "C:\\other.mdb", "C:\\other.mdb");
  tree.AddNode("C:\\be.mdb", "", "Orders", "Pass");
  tree.SelectedKey = "C:\\other.mdb";
  auto& status = b.make<uikit::StatusBar>("sbrStatus");
  status.Panels = {{"C:\\Data", 0}, {"", 0}};
  auto& label = b.make<uikit::Label>("lblSatisfied");
  label.Caption = "All satisfied";
  label.BackColor = uikit::Color::Yellow;

  EXPECT_EQ(uikit::console::renderForm(b),
            "=== frmBench \"Bench\"\n"
            "txtInfo text locked\n"
            "  | First line \n"
            "  |\n"
            "  | last line\n"
            "Frame1 frame \"Select Option\"\n"
            "  Image2 picture \"marker\" tip=\"Best Choice\" beside optFix\n"
            "  optFix option (*) \"Fix\"\n"
            "  optIgnore option ( ) \"Ignore\"\n"
            "fraOff frame \"\" disabled\n"
            "  chkAll check [-] \"\" disabled\n"
            "lstDatabases list multi\n"
            "  0   C:\\a.mdb\n"
            "  1 * C:\\b.mdb\n"
            "lstTables list checkboxes\n"
            "  0 [x] Orders (C:\\a.mdb)\n"
            "  1 [ ] Customers ()\n"
            "lstEmpty list\n"
            "  (empty)\n"
            "lsvStore listview sorted by column 2 descending\n"
            "  columns 1 \"Database Path\" 2 \"Score\"\n"
            "  1   C:\\a.mdb | 85\n"
            "  2 * C:\\b.mdb | 40\n"
            "treLinkStatus tree\n"
            "  0   [Fail] C:\\be.mdb\n"
            "    2   [Pass] Orders\n"
            "  1 * C:\\other.mdb\n"
            "sbrStatus status \"C:\\Data\" \"\"\n"
            "lblSatisfied label \"All satisfied\" yellow\n");
}

// A two-page flow for a whole session.
class frmConsoleDone : public uikit::Form {
 public:
  frmConsoleDone()
      : Form("frmConsoleDone"),
        lblDone(add<uikit::Label>("lblDone")),
        cmdFinish(add<uikit::CommandButton>("cmdFinish")) {
    Caption = "Finished";
    lblDone.Caption = "All table links\r\nhave been established!\r\n";
    cmdFinish.Caption = "&Finish";
    cmdFinish.Click = [] { uikit::unloadAllForms(); };
  }
  uikit::Label& lblDone;
  uikit::CommandButton& cmdFinish;
};

class frmConsolePage : public uikit::Form {
 public:
  frmConsolePage()
      : Form("frmConsolePage"),
        Frame1(add<uikit::Frame>("Frame1")),
        optFix(add<uikit::OptionButton>("optFix", {}, &Frame1)),
        optIgnore(add<uikit::OptionButton>("optIgnore", {}, &Frame1)),
        txtName(add<uikit::TextBox>("txtName")),
        lblFile(add<uikit::Label>("lblFile")),
        cmdBrowse(add<uikit::CommandButton>("cmdBrowse")),
        cmdNext(add<uikit::CommandButton>("cmdNext")),
        CommonDialog1(add<uikit::CommonDialog>("CommonDialog1")) {
    Caption = "Console Page";
    Frame1.Caption = "Select Option";
    optFix.Caption = "Fix";
    optFix.setValue(true);
    optIgnore.Caption = "Ignore";
    txtName.Text = "Default";
    cmdBrowse.Caption = "Bro&wse";
    cmdNext.Caption = "&Next  >>";
    cmdBrowse.Click = [this] {
      CommonDialog1.DialogTitle = "Select Database";
      CommonDialog1.Filter = "All(*.*)|*.*";
      CommonDialog1.ShowOpen();
      lblFile.Caption = CommonDialog1.FileName;
    };
    cmdNext.Click = [this] {
      if (optIgnore.value()) {
        if (uikit::MsgBox("Are you sure you want to ignore?", Buttons::YesNo, Icon::Question,
                          "Confirm Ignore") == Answer::Yes) {
          uikit::unloadAllForms();
        }
        return;
      }
      Hide();
      uikit::form<frmConsoleDone>().ShowModal();
    };
  }
  uikit::Frame& Frame1;
  uikit::OptionButton& optFix;
  uikit::OptionButton& optIgnore;
  uikit::TextBox& txtName;
  uikit::Label& lblFile;
  uikit::CommandButton& cmdBrowse;
  uikit::CommandButton& cmdNext;
  uikit::CommonDialog& CommonDialog1;
};

std::string page(bool fix, const std::string& name, const std::string& file) {
  return std::string("=== frmConsolePage \"Console Page\"\n") + "Frame1 frame \"Select Option\"\n" +
         "  optFix option " + (fix ? "(*)" : "( )") + " \"Fix\"\n" + "  optIgnore option " +
         (fix ? "( )" : "(*)") + " \"Ignore\"\n" + "txtName text \"" + name + "\"\n" +
         "lblFile label \"" + file + "\"\n" + "cmdBrowse button \"Bro&wse\"\n" +
         "cmdNext button \"&Next  >>\"\n";
}

TEST_F(ConsoleTest, ASessionPipedInThroughAStreamFollowsTheProtocol) {
  std::istringstream in(
      "# comments and blank lines are skipped\n"
      "\n"
      "click optIgnore\n"
      "click cmdNext\n"
      "maybe\n"
      "NO\n"
      "click nothing\n"
      "frobnicate now\n"
      "click cmdNext 3\n"
      "type txtname My  Set\n"
      "click cmdBrowse\n"
      "  /data/be.mdb  \r\n"
      "click optFix\n"
      "click cmdNext\n"
      "click cmdFinish\n");
  std::ostringstream out;
  ConsoleDesktop console(in, out, {.echo = true});
  uikit::ScopedDesktop use(console);

  uikit::form<frmConsolePage>().ShowModal();

  const std::string expected = page(true, "Default", "") +
                               "> # comments and blank lines are skipped\n"
                               "> \n"
                               "> click optIgnore\n" +
                               page(false, "Default", "") +
                               "> click cmdNext\n"
                               "--- MsgBox \"Confirm Ignore\" [question] (YesNo)\n"
                               "Are you sure you want to ignore?\n"
                               "? maybe\n"
                               "! \"maybe\" is not one of: yes, no\n"
                               "? NO\n" +
                               page(false, "Default", "") +
                               "> click nothing\n"
                               "! no control \"nothing\" on frmConsolePage\n"
                               "> frobnicate now\n"
                               "! unknown command \"frobnicate\" (try help)\n"
                               "> click cmdNext 3\n"
                               "! cmdNext has no rows\n"
                               "> type txtname My  Set\n" +
                               page(false, "My  Set", "") +
                               "> click cmdBrowse\n"
                               "--- OpenFile \"Select Database\" dir=\"\" filter=\"All(*.*)|*.*\"\n"
                               "?   /data/be.mdb  \n" +
                               page(false, "My  Set", "/data/be.mdb") + "> click optFix\n" +
                               page(true, "My  Set", "/data/be.mdb") +
                               "> click cmdNext\n"
                               "=== frmConsoleDone \"Finished\"\n"
                               "lblDone label\n"
                               "  | All table links\n"
                               "  | have been established!\n"
                               "cmdFinish button \"&Finish\"\n"
                               "> click cmdFinish\n";
  EXPECT_EQ(out.str(), expected);
  EXPECT_TRUE(uikit::FormRegistry::current().loadedForms().empty());
}

// Refuses to close from its frame; asks a question; and one button keeps asking "try again?".
class frmStubbornConsole : public uikit::Form {
 public:
  frmStubbornConsole()
      : Form("frmStubbornConsole"),
        cmdAsk(add<uikit::CommandButton>("cmdAsk")),
        cmdRetry(add<uikit::CommandButton>("cmdRetry")) {
    Caption = "Stubborn";
    cmdAsk.Click = [this] {
      answer = uikit::MsgBox("Save changes?", Buttons::OKCancel, Icon::Question, "Changed");
    };
    cmdRetry.Click = [] {
      while (uikit::MsgBox("Try another database?", Buttons::YesNo) == Answer::Yes) {
      }
    };
  }
  void Form_QueryUnload(bool& cancel) override { cancel = true; }
  uikit::CommandButton& cmdAsk;
  uikit::CommandButton& cmdRetry;
  Answer answer = Answer::Cancel;
};

TEST_F(ConsoleTest, AtEndOfInputBoxesTakeTheirDefaultAndWindowsClose) {
  std::istringstream in("click cmdAsk\n");
  std::ostringstream out;
  ConsoleDesktop console(in, out);
  uikit::ScopedDesktop use(console);
  uikit::KeepUnloadedForms keep;  // f is read after it was unloaded
  auto& f = uikit::form<frmStubbornConsole>();
  f.ShowModal();
  EXPECT_EQ(f.answer, Answer::OK);
  EXPECT_FALSE(uikit::isLoaded<frmStubbornConsole>());
  const std::string text = out.str();
  EXPECT_NE(text.find("? (end of input: ok)\n"), std::string::npos) << text;
  EXPECT_NE(text.find("> (end of input: closing frmStubbornConsole)\n"
                      "(end of input: frmStubbornConsole refused to close; unloading it)\n"),
            std::string::npos)
      << text;
  EXPECT_TRUE(console.endOfInput());
}

TEST_F(ConsoleTest, CodeThatKeepsAskingAfterEndOfInputIsStopped) {
  std::istringstream in("click cmdRetry\n");
  std::ostringstream out;
  ConsoleDesktop console(in, out);
  uikit::ScopedDesktop use(console);
  EXPECT_THROW(uikit::form<frmStubbornConsole>().ShowModal(), uikit::console::EndOfInputError);
  EXPECT_EQ(uikit::FormRegistry::current().modalDepth(), 0);
}

}  // namespace
}  // namespace uikit_test
