// The scripted driver: a Desktop for tests. A test says in advance what the user does when a
// given form is shown, how each message box is answered and which file each open-file dialog
// returns, runs the code under test, and reads back a transcript of everything that was shown.
//
//   script::ScriptedDesktop desk;
//   uikit::ScopedDesktop use(desk);
//   desk.onShow("frmWizard1", script::clicking("cmdNext"));
//   desk.onShow<frmFixSet>("frmFixSet", [](frmFixSet& page) {
//     script::clickRow(page, "lstDatabases", 0);
//     script::click(page, "cmdNext");
//   });
//   desk.answer(uikit::Answer::Yes, "Are you sure", "Confirm Ignore");
//   desk.chooseFile("/tmp/be.mdb");
//   ...run the code...
//   EXPECT_EQ(desk.leftovers(), "");
//   EXPECT_EQ(desk.shownForms(), (std::vector<std::string>{"frmWizard1", "frmFixSet"}));
//
// Modal shows: while the shown form stays visible and loaded, the driver takes the next action
// queued for that form's name and runs it; each action is one turn of the user. When the queue
// is empty the driver throws ScriptError naming the form, so a test fails at once instead of
// hanging. A message box or file dialog with nothing queued throws the same way.
//
// Failures are sticky: after the first ScriptError every later modal show, message box and
// dialog throws again, so the failure gets out of a chain of nested modal shows even when a
// handler on the way swallows exceptions with catch (...). failure() keeps the first message.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "uikit/desktop.h"
#include "uikit/form.h"

namespace uikit::script {

// A test's script did not match what the code did.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One line of the transcript.
struct Entry {
  enum class Kind { Show, MessageBox, OpenFile };
  Kind kind = Kind::Show;
  // Show: the form's name and its caption when it was shown.
  std::string form;
  std::string caption;
  // MessageBox: the box and the answer given.
  MessageBox box;
  Answer answer = Answer::OK;
  // OpenFile: the dialog's title, initial directory and filter, and the path returned ("" for
  // a cancel).
  std::string title;
  std::string initDir;
  std::string filter;
  std::string file;
};

class ScriptedDesktop : public Desktop {
 public:
  using Action = std::function<void(Form&)>;

  // Queues one turn of the user for the next time form formName is shown (or for its next turn
  // while it stays shown). Actions for one form run in the order they were queued.
  ScriptedDesktop& onShow(const std::string& formName, Action action);
  // The same with the form's own type: onShow<frmFixSet>("frmFixSet", [](frmFixSet& f) {...}).
  // A form of another type under that name is a ScriptError.
  template <class F>
  ScriptedDesktop& onShow(const std::string& formName, std::function<void(F&)> action) {
    return onShow(formName, [formName, action](Form& form) {
      auto* typed = dynamic_cast<F*>(&form);
      if (!typed)
        throw ScriptError("form " + formName + " is not of the scripted type");
      action(*typed);
    });
  }

  // Queues the answer to the next message box. When expectedText is not empty the box's text
  // must contain it; when expectedTitle is not empty the title must equal it. The answer must
  // be one of the box's buttons. Any mismatch is a ScriptError.
  ScriptedDesktop& answer(Answer answer, std::string expectedText = "",
                          std::string expectedTitle = "");
  // Queues the path the next open-file dialog returns; "" cancels it.
  ScriptedDesktop& chooseFile(std::string path);
  ScriptedDesktop& cancelFile() { return chooseFile(""); }
  // Called on every doEvents (long work letting events run): a test clicks Stop from here.
  void onDoEvents(std::function<void()> hook) { doEventsHook_ = std::move(hook); }

  // Desktop.
  void runModal(Form& form) override;
  Answer messageBox(const MessageBox& box) override;
  std::string openFile(const CommonDialog& dialog) override;
  void setBusy(bool busy) override;
  void beep() override { ++beeps_; }
  void doEvents() override;
  void refresh(Control& /*control*/) override { ++refreshes_; }

  // What happened.
  const std::vector<Entry>& transcript() const { return transcript_; }
  // The transcript as text, one line an entry (texts escaped by uikit::printable, so a line
  // break inside one shows as \n):
  //   show frmWizard1 "Vantrel Wizard - Select Vantrel Option"
  //   msgbox "Confirm Ignore" question YesNo "Are you sure you want to ignore?" -> yes
  //   openfile "Select Database" dir="" filter="All(*.*)|*.*" -> "/tmp/be.mdb"   (or -> cancel)
  std::string text() const;
  // Names of the forms shown, in order; the message boxes shown, in order.
  std::vector<std::string> shownForms() const;
  std::vector<MessageBox> messages() const;
  int beeps() const { return beeps_; }
  bool busy() const { return busy_; }
  int busyChanges() const { return busyChanges_; }
  int doEventsCalls() const { return doEventsCalls_; }
  int refreshes() const { return refreshes_; }

  // The first script failure, "" when none.
  const std::string& failure() const { return failure_; }
  // What the script queued and the code never asked for, "" when everything was used, e.g.
  // "2 actions for frmFixSet; 1 message box answer".
  std::string leftovers() const;

 private:
  struct Reply {
    Answer answer;
    std::string text;
    std::string title;
  };
  [[noreturn]] void fail(const std::string& message);
  void throwIfFailed() const;

  std::map<std::string, std::deque<Action>> actions_;
  std::deque<Reply> replies_;
  std::deque<std::string> files_;
  std::function<void()> doEventsHook_;
  std::vector<Entry> transcript_;
  std::string failure_;
  int beeps_ = 0;
  bool busy_ = false;
  int busyChanges_ = 0;
  int doEventsCalls_ = 0;
  int refreshes_ = 0;
};

// Helpers for actions: what a user does, by control name. Each throws ScriptError when the
// control does not exist, is of the wrong kind, or the toolkit refuses the input (hidden,
// disabled, not the active window, no such row), so a script that no longer fits the form
// fails loudly instead of silently doing nothing.
void click(Form& form, const std::string& control);
void clickRow(Form& form, const std::string& list, int index);
void checkRow(Form& form, const std::string& list, int index);
void type(Form& form, const std::string& textBox, const std::string& text);
void columnClick(Form& form, const std::string& listView, int column);
void clickItem(Form& form, const std::string& listView, int index1);
void clickNode(Form& form, const std::string& treeView, const std::string& key);
void close(Form& form);

// An action that clicks one control: desk.onShow("frmFinish", script::clicking("cmdFinish")).
ScriptedDesktop::Action clicking(std::string control);

}  // namespace uikit::script
