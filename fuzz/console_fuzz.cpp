// The console driver reads commands and answers from a pipe that anyone may fill. Any input must
// end the session (input running out closes every window), print only what the protocol allows
// (no control character but the line break reaches the terminal), and never crash.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "uikit/console/console_desktop.h"
#include "uikit/desktop.h"
#include "uikit/form.h"

namespace {

// One control of each kind the commands reach, with handlers that open a message box, a file
// dialog and a second window, and one that refuses to close while its box is checked.
class frmFuzz : public uikit::Form {
 public:
  frmFuzz() : Form("frmFuzz") {
    Caption = "Fuzz\tform";
    lstMulti.MultiSelect = true;
    lstChecks.style = uikit::ListBox::Style::CheckBoxes;
    for (const char* s : {"alpha", "b\xff", "gamma\r\n"}) {
      lstMulti.AddItem(s);
      lstChecks.AddItem(s);
    }
    lvwItems.ColumnHeaders = {{"Name", 1000}, {"Score", 500}};
    lvwItems.AddItem("one", {"10"});
    lvwItems.AddItem("two", {"20"});
    lvwItems.ColumnClick = [this](int column) { lvwItems.setSortKey(column - 1); };
    tvwTree.AddNode("", "C:", "C:", "drive");
    tvwTree.AddNode("C:", "C:\\Data", "Data", "folder");
    cmdAsk.Click = [] {
      uikit::MsgBox("Continue?", uikit::Buttons::YesNoCancel, uikit::Icon::Question, "Ask");
    };
    cmdOpen.Click = [this] {
      dlgOpen.ShowOpen();
      txtName.Text = dlgOpen.FileName;
    };
    cmdOther.Click = [] { uikit::form<frmOther>().ShowModal(); };
  }
  void Form_QueryUnload(bool& cancel) override { cancel = chkStay.Value == 1; }
  class frmOther : public uikit::Form {
   public:
    frmOther() : Form("frmOther") {}
    uikit::CommandButton& cmdOK = add<uikit::CommandButton>("cmdOK", {0, 0, 100, 100});
  };
  uikit::TextBox& txtName = add<uikit::TextBox>("txtName", {0, 0, 1000, 300});
  uikit::ListBox& lstMulti = add<uikit::ListBox>("lstMulti", {0, 400, 1000, 900});
  uikit::ListBox& lstChecks = add<uikit::ListBox>("lstChecks", {1100, 400, 1000, 900});
  uikit::ListView& lvwItems = add<uikit::ListView>("lvwItems", {0, 1400, 2000, 900});
  uikit::TreeView& tvwTree = add<uikit::TreeView>("tvwTree", {0, 2400, 2000, 900});
  uikit::CheckBox& chkStay = add<uikit::CheckBox>("chkStay", {0, 3400, 1000, 300});
  uikit::CommandButton& cmdAsk = add<uikit::CommandButton>("cmdAsk", {0, 3800, 800, 300});
  uikit::CommandButton& cmdOpen = add<uikit::CommandButton>("cmdOpen", {900, 3800, 800, 300});
  uikit::CommandButton& cmdOther = add<uikit::CommandButton>("cmdOther", {1800, 3800, 800, 300});
  uikit::CommonDialog& dlgOpen = add<uikit::CommonDialog>("dlgOpen");
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::ostringstream out;
  {
    uikit::console::ConsoleDesktop console(in, out, {.echo = true, .patience = {}});
    uikit::ScopedDesktop use(console);
    try {
      uikit::form<frmFuzz>().ShowModal();
    } catch (const uikit::console::EndOfInputError&) {
    }
    uikit::unloadAllForms();
  }
  for (const char c : out.str()) {
    const auto u = static_cast<unsigned char>(c);
    if ((u < 0x20 && c != '\n') || u == 0x7f) {
      std::fprintf(stderr, "control character %02x in the output:\n%s\n", u, out.str().c_str());
      std::abort();
    }
  }
  return 0;
}
