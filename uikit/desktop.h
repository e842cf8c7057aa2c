// The Desktop: everything a windowing platform does for the component, behind one interface.
// Window models and engine procedures call it for modal shows, message boxes, the open-file
// dialog, the busy pointer, beeps and letting pending events run; they never know which driver
// (scripted, console or Qt) is behind it.
//
// Threading: each thread has its own current desktop (setDesktop). A thread that never set one
// gets a NullDesktop-like default that refuses modal shows with std::logic_error, so a missing
// set-up fails loudly instead of hanging.
#pragma once

#include <string>

#include "uikit/controls.h"

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

// The default button of each set (the first one): what a message box answers when the user
// cannot be asked (end of input, window closed).
Answer defaultAnswer(Buttons buttons);
// Words for transcripts and console prompts: "ok", "yes", ...; "OK", "YesNo", "question", ...
std::string answerWord(Answer answer);
std::string buttonsName(Buttons buttons);
std::string iconName(Icon icon);

class Desktop {
 public:
  virtual ~Desktop() = default;

  // Presents the form and runs the user's interaction until the form is hidden or unloaded.
  // Called by Form::ShowModal after the form has been made visible and activated.
  virtual void runModal(Form& form) = 0;
  // Shows a message box and returns the button pressed.
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

Desktop& desktop();
// Makes desktop the current thread's desktop (nullptr restores the default). The caller keeps
// ownership and must keep it alive while it is current.
void setDesktop(Desktop* desktop);

// Classic message box: MsgBox(text, buttons, icon, title). An empty title gets kDefaultTitle.
Answer MsgBox(const std::string& text, Buttons buttons = Buttons::OK, Icon icon = Icon::None,
              const std::string& title = "");

// The line break inside message texts: carriage return and line feed.
inline constexpr const char* vbCrLf = "\r\n";

}  // namespace uikit
