// The Desktop: everything a windowing platform does for the component, behind one interface.
// Window models and engine procedures call it for modal shows, message boxes, the open-file
// dialog, the busy pointer, beeps and letting pending events run; they never know which driver
// (scripted, console or Qt) is behind it.
//
// Threading: each thread has its own current desktop (setDesktop). A thread that never set one
// gets a default that refuses modal shows, message boxes and file dialogs with std::logic_error,
// so a missing set-up fails loudly instead of hanging or answering on the user's behalf.
//
// Tests that want to inject a fault into one call subclass DesktopWrapper and override just that
// call; the rest goes to the real driver.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Beside this header, both in the source tree and where it is installed (orvanta/uikit/).
#include "controls.h"

namespace uikit {

class Form;

enum class Buttons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
// Button identifiers, with the classic numbering.
enum class Answer { OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

// The title a message box gets when the caller gives none.
inline constexpr const char* kDefaultTitle = "Vantrel";

struct MessageBox {
  std::string text;
  Buttons buttons = Buttons::OK;
  Icon icon = Icon::None;
  std::string title;  // never empty once MsgBox has filled in the default
};

// The default button of each set (the first one), the one Enter presses.
Answer defaultAnswer(Buttons buttons);
// What a message box answers when the user cannot be asked (input ended, box closed from its
// frame): Cancel if the set has it, otherwise No, otherwise its first button. A question that
// goes unanswered never confirms a change.
Answer unattendedAnswer(Buttons buttons);
// The buttons of a set, left to right.
std::vector<Answer> buttonAnswers(Buttons buttons);
// Words for transcripts and console prompts: "ok", "yes", ...; "OK", "YesNo", "question", ...
std::string answerWord(Answer answer);
std::string buttonsName(Buttons buttons);
std::string iconName(Icon icon);
// The answer a word names ("yes", "No", "CANCEL"), ignoring case; nullopt for anything else.
std::optional<Answer> answerFromWord(std::string_view word);

class Desktop {
 public:
  Desktop() = default;
  virtual ~Desktop() = default;
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  // Presents the form and runs the user's interaction until the form is hidden or unloaded.
  // Called by Form::ShowModal after the form has been made visible and activated. May throw
  // (a scripted run out of actions); Form::ShowModal keeps its bookkeeping straight and lets
  // the exception through.
  virtual void runModal(Form& form) = 0;
  // Shows a message box and returns the button pressed, always one of box.buttons' answers.
  virtual Answer messageBox(const MessageBox& box) = 0;
  // Asks for a file to open. Returns the chosen path, or "" when cancelled.
  virtual std::string openFile(const CommonDialog& dialog) = 0;

  // The busy (hourglass) pointer, on while work runs.
  virtual void setBusy(bool /*busy*/) {}
  virtual void beep() {}
  // Lets pending window events run during long work (a Stop button must get its click).
  virtual void doEvents() {}
  // A control's state changed outside a handler the driver is running (for example a status
  // bar refreshed during long work): redraw it now if the driver can.
  virtual void refresh(Control& /*control*/) {}
};

// Forwards every call to another desktop.
class DesktopWrapper : public Desktop {
 public:
  explicit DesktopWrapper(Desktop& target) : target_(target) {}
  Desktop& target() const { return target_; }

  void runModal(Form& form) override { target_.runModal(form); }
  Answer messageBox(const MessageBox& box) override { return target_.messageBox(box); }
  std::string openFile(const CommonDialog& dialog) override { return target_.openFile(dialog); }
  void setBusy(bool busy) override { target_.setBusy(busy); }
  void beep() override { target_.beep(); }
  void doEvents() override { target_.doEvents(); }
  void refresh(Control& control) override { target_.refresh(control); }

 private:
  Desktop& target_;
};

Desktop& desktop();
// Makes desktop the current thread's desktop (nullptr restores the default). The caller keeps
// ownership and must keep it alive while it is current.
void setDesktop(Desktop* desktop);

// Makes a desktop current for a scope and restores the previous one at its end.
class ScopedDesktop {
 public:
  explicit ScopedDesktop(Desktop& desktop);
  ~ScopedDesktop();
  ScopedDesktop(const ScopedDesktop&) = delete;
  ScopedDesktop& operator=(const ScopedDesktop&) = delete;

 private:
  Desktop* previous_;
};

// The busy (hourglass) pointer for a scope: on when made, off again however the scope is left.
class BusyPointer {
 public:
  BusyPointer() { desktop().setBusy(true); }
  ~BusyPointer() { desktop().setBusy(false); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;
};

// Classic message box: MsgBox(text, buttons, icon, title). An empty title gets kDefaultTitle.
Answer MsgBox(const std::string& text, Buttons buttons = Buttons::OK, Icon icon = Icon::None,
              const std::string& title = "");

// The line break inside message texts: carriage return and line feed.
inline constexpr const char* vbCrLf = "\r\n";

}  // namespace uikit
