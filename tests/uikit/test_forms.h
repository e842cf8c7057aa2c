// A small family of forms for the toolkit's tests: a three-page chain that closes itself the way
// the wizard does, a host with a dialog over it, and a bench for single controls.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "uikit/desktop.h"
#include "uikit/form.h"
#include "uikit/script/scripted_desktop.h"

namespace uikit_test {

// Lifecycle events of every test form, in order ("frmFirst load", "frmThird unload", ...).
inline std::vector<std::string>& events() {
  static std::vector<std::string> log;
  return log;
}

// A form with the handlers logged.
class LoggedForm : public uikit::Form {
 public:
  using Form::Form;
  int activations = 0;
  void Form_Load() override { events().push_back(name() + " load"); }
  void Form_Activate() override {
    ++activations;
    events().push_back(name() + " activate");
  }
  void Form_Unload() override { events().push_back(name() + " unload"); }
};

// First page: an option group, a single-select list and a note. Next hides the page and shows the
// second page, like a wizard's situation page.
class frmFirst : public LoggedForm {
 public:
  frmFirst()
      : LoggedForm("frmFirst"),
        Frame1(add<uikit::Frame>("Frame1")),
        optOne(add<uikit::OptionButton>("optOne", {}, &Frame1)),
        optTwo(add<uikit::OptionButton>("optTwo", {}, &Frame1)),
        lstItems(add<uikit::ListBox>("lstItems")),
        txtNote(add<uikit::TextBox>("txtNote")),
        cmdNext(add<uikit::CommandButton>("cmdNext")) {
    Caption = "First page";
    optOne.setValue(true);
    for (const char* s : {"alpha", "beta", "gamma"})
      lstItems.AddItem(s);
    cmdNext.Click = [this] { cmdNext_Click(); };
  }
  uikit::Frame& Frame1;
  uikit::OptionButton& optOne;
  uikit::OptionButton& optTwo;
  uikit::ListBox& lstItems;
  uikit::TextBox& txtNote;
  uikit::CommandButton& cmdNext;
  std::string afterChain;

  void cmdNext_Click();
};

// Second page: Back returns to the first page (nesting another show), Next goes on.
class frmSecond : public LoggedForm {
 public:
  frmSecond()
      : LoggedForm("frmSecond"),
        cmdBack(add<uikit::CommandButton>("cmdBack")),
        cmdNext(add<uikit::CommandButton>("cmdNext")) {
    Caption = "Second page";
    cmdBack.Click = [this] {
      Hide();
      uikit::form<frmFirst>().ShowModal();
    };
    cmdNext.Click = [this] { cmdNext_Click(); };
  }
  uikit::CommandButton& cmdBack;
  uikit::CommandButton& cmdNext;
  void cmdNext_Click();
};

// Last page: Finish unloads every window from inside its own click, then keeps using its own
// members, as a handler may after closing the wizard.
class frmThird : public LoggedForm {
 public:
  frmThird() : LoggedForm("frmThird"), cmdFinish(add<uikit::CommandButton>("cmdFinish")) {
    Caption = "Finished";
    cmdFinish.Click = [this] {
      uikit::unloadAllForms();
      finishedCaption = Caption + " after unload";
      cmdFinish.Caption = "done";
    };
  }
  uikit::CommandButton& cmdFinish;
  std::string finishedCaption;
};

inline void frmFirst::cmdNext_Click() {
  Hide();
  uikit::form<frmSecond>().ShowModal();
  // Runs after the whole chain has unwound and every form was unloaded.
  afterChain = txtNote.Text + " / " + lstItems.Text();
}

inline void frmSecond::cmdNext_Click() {
  Hide();
  uikit::form<frmThird>().ShowModal();
}

// A window with a dialog shown over it (not hiding itself).
class frmHost : public LoggedForm {
 public:
  frmHost() : LoggedForm("frmHost"), cmdOpen(add<uikit::CommandButton>("cmdOpen")) {
    Caption = "Host";
    cmdOpen.Click = [] { uikit::form<LoggedDialog>().ShowModal(); };
  }
  class LoggedDialog : public LoggedForm {
   public:
    LoggedDialog() : LoggedForm("frmDialog"), cmdOk(add<uikit::CommandButton>("cmdOk")) {
      cmdOk.Click = [this] { Hide(); };
    }
    uikit::CommandButton& cmdOk;
  };
  uikit::CommandButton& cmdOpen;
};

// A form for trying single controls: make<T>() adds one.
class Bench : public uikit::Form {
 public:
  Bench() : Form("frmBench") { Caption = "Bench"; }
  template <class T>
  T& make(const std::string& name, uikit::Control* container = nullptr, uikit::Geometry g = {}) {
    return add<T>(name, g, container);
  }
};

// Shows form modally under a scripted desktop, runs body as the user's one turn, and hides the
// form afterwards if body left it shown. Tests use it to act on controls as a user would.
inline void whileShown(uikit::Form& form, const std::function<void(uikit::Form&)>& body) {
  uikit::script::ScriptedDesktop desk;
  uikit::ScopedDesktop use(desk);
  desk.onShow(form.name(), [&](uikit::Form& f) {
    body(f);
    if (f.loaded() && f.visible())
      f.Hide();
  });
  form.ShowModal();
}

}  // namespace uikit_test
