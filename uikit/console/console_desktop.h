// The console driver: a Desktop that prints each shown window and each message box as text and
// reads the user's commands and answers one a line. It serves terminals, pipes and scripts, and
// end-to-end tests drive it through string streams. Scripts and tests rely on the protocol
// below: extend it, do not change it.
//
// WINDOWS. A modal show prints the window, then the prompt "> ":
//
//   === <form name> "<caption>"
//   <one line per visible control, in the form's control order>
//   >
//
// A control line is "<name> <kind>", the state, then flags. Children of a frame are indented two
// spaces per level. Hidden controls, everything inside a hidden frame, lines, image lists and
// common dialogs are not printed; nor is a control lying wholly behind a text box, list or tree
// in front of it (Control::coveredByFront), since the user sees only the front one.
//
//   lblSet label "Set"
//   txtSetName text "Default" locked
//   cmdNext button "&Next  >>"
//   optFix option (*) "Fix Current Link Set"          "( )" when not selected
//   chkSelectAll check [x] "Select All"               "[ ]" unchecked, "[-]" grayed
//   Frame1 frame "Select Option"
//   Image2 picture "marker" tip="Best Choice" beside optFixSet
//   sbrSearchStatus status "C:\Data" ""              one quoted text per panel
//
// Flags: "disabled" (the control or a frame around it is disabled), "locked" (read-only text
// box), "yellow", "white" or "buttonface" (background colour). A picture shows its tool tip as
// tip="..." and "beside NAME" for the control level with its middle to its right (the wizard's
// recommended-option marker).
//
// ESCAPES. Every text the driver prints (values, rows, captions, titles, message-box lines, the
// open-file line, refusals and echoed input) goes through uikit::printable: a tab prints as \t,
// a line break inside one-line text as \n, other control characters and DEL as \xHH, C1
// controls and U+2028/U+2029 as \uHHHH, and bytes that are not UTF-8 as \xHH. A backslash
// prints as itself, so Windows paths read as they are. No text can start a line of its own or
// reach the terminal as a control sequence.
//
// A text or caption holding line breaks (CR LF, LF or CR) prints no value on the control line;
// its lines follow, indented two more spaces, as "| <line>" ("|" alone for an empty line). A
// final line break is not shown:
//
//   txtInfo text locked
//     | One or more of the links defined in your Active Link Set are no longer valid. Hover over
//     | an option below and a detailed description will appear.
//
// Lists print a header line, then one line per row indented two more spaces, "(empty)" for none.
// List boxes ("list", plus "multi" or "checkboxes") number rows from 0, "*" marking a selected
// row, "[x]"/"[ ]" a check:
//
//   lstDatabases list multi          lstTables list checkboxes
//     0 * C:\a.mdb                     0 [x] Orders (C:\be.mdb)
//     1   C:\b.mdb                     1 [ ] Customers ()
//
// A list view numbers items from 1 as the control does, sub-items after " | ", and a columns line
// first (numbered from 1, as the column command counts):
//
//   lsvDatabases listview sorted by column 2 descending
//     columns 1 "Database Path" 2 "Score" 3 "Needed Tables"
//     1 * C:\x.mdb | 85 | 3 of 3
//
// A tree view prints each node under its parent, indented two spaces a level, numbered by its
// place in the tree's node list (from 0), "*" for the selected node, the image key in brackets:
//
//   treLinkStatus tree
//     0   [Fail] C:\be.mdb
//       2   [Pass] Orders
//
// COMMANDS, one a line; blank lines and lines starting with # are ignored. Names match exactly,
// or ignoring case when only one control matches.
//
//   click NAME          button, option button, check box, or a control with a click handler
//   click NAME INDEX    list box row (from 0): toggles it in a multi-select list, selects it
//                       otherwise, then fires the list's Click; list view item (from 1):
//                       selects it, fires ItemClick; tree node (as numbered): fires NodeClick
//   check NAME INDEX    toggles a check-box list row, firing ItemCheck
//   type NAME TEXT      sets a text box's text to everything after the one space that follows
//                       NAME (trailing blanks dropped)
//   column NAME INDEX   clicks a list view's column header (from 1)
//   close               closes the window from its frame (Form_QueryUnload may refuse)
//   show                prints the window again
//   tip NAME            prints "<name> tip "<tool tip>""
//   wait                does nothing; see LONG WORK for what it is for
//   help                lists the commands
//
// A refused or unknown command prints one line "! <reason>" and changes nothing, then the prompt.
// A command that worked prints the window again (when it is still shown), then the prompt;
// windows and boxes it showed meanwhile print themselves first.
//
// MESSAGE BOXES print
//
//   --- MsgBox "<title>" [<icon>] (<buttons>)        e.g. --- MsgBox "Confirm Ignore" [question]
//   (YesNo) <the text, line by line; a final line break is not shown>
//   ?
//
// and read one button word: ok, cancel, yes, no, abort, retry, ignore (any letter case). A word
// that is not one of the box's buttons prints "! "<word>" is not one of: yes, no" and asks again.
// Icons: none, critical, question, exclamation, information. Buttons: OK, OKCancel,
// AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel.
//
// OPEN-FILE DIALOGS print
//
//   --- OpenFile "<title>" dir="<initial directory>" filter="<filter>"
//   ?
//
// and read a path (surrounding blanks removed); an empty line cancels. A beep prints "(beep)".
//
// END OF INPUT. A message box declines: Cancel when it has that button, otherwise No, otherwise
// its first button (a notice's OK), so a script that ends early never confirms a change:
// "(end of input: <word>)"; a dialog is cancelled: "(end of input: cancel)"; a shown window is
// closed from its frame: "(end of input: closing <form name>)", and if Form_QueryUnload refuses
// it is unloaded anyway: "(end of input: <form name> refused to close; unloading it)" on the
// next line. The others follow their prompt on the same line. Code that keeps asking after the
// end (a question repeated until it is answered Yes) is stopped after kMaxPromptsAfterEnd
// prompts by EndOfInputError, so a closed pipe can never make the program loop forever.
//
// LONG WORK. A handler that works for a while (a drive search) lets events run through
// doEvents. Once the work has run for Options::patience since the last line was read, doEvents
// reads the command lines already waiting on the input, without blocking, and carries them out
// on the active window as the prompt would (printing "> " and the line first when echoing), so
// "click cmdStop" typed or piped during a search stops it. Work shorter than that never sees
// the lines after it. A "wait" line read there holds the rest back until the work is over: a
// script that wants a long search to finish before its next command puts "wait" after the
// command that starts it. A status bar refreshed during long work prints its control line,
// at most once per patience:
//
//   sbrSearchStatus status "/home/ann/Documents"
//
// ECHO. With Options::echo the driver writes each line it reads after its prompt, so a piped
// session's output reads like a terminal session. The program turns it on when its input is not
// a terminal (a terminal echoes by itself).
#pragma once

#include <chrono>
#include <iosfwd>
#include <stdexcept>
#include <string>

#include "uikit/desktop.h"
#include "uikit/form.h"

namespace uikit::console {

inline constexpr int kMaxPromptsAfterEnd = 100;

// Thrown when the code keeps prompting after the end of input.
class EndOfInputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Options {
  bool echo = false;
  // How long work runs before doEvents reads waiting lines and progress is printed, and the
  // least time between two progress lines. Zero: at every chance (tests).
  std::chrono::milliseconds patience{250};
};

class ConsoleDesktop : public Desktop {
 public:
  ConsoleDesktop(std::istream& in, std::ostream& out, Options options = {});

  void runModal(Form& form) override;
  Answer messageBox(const MessageBox& box) override;
  std::string openFile(const CommonDialog& dialog) override;
  void beep() override;
  void doEvents() override;
  void refresh(Control& control) override;

  // True once the input has ended.
  bool endOfInput() const { return ended_; }

 private:
  bool readLine(std::string& line);
  void afterEnd();
  // Runs one command line on form; true when it changed something worth printing again.
  bool execute(Form& form, const std::string& line);

  using Clock = std::chrono::steady_clock;
  std::istream& in_;
  std::ostream& out_;
  Options options_;
  bool ended_ = false;
  int promptsAfterEnd_ = 0;
  Clock::time_point lastRead_ = Clock::now();  // the work since then is the current work
  Clock::time_point lastProgress_{};
  std::string lastProgressLine_;
  bool inEvents_ = false;   // doEvents is carrying out a line
  bool holdInput_ = false;  // a "wait" arrived during the current work
};

// The window as a modal show prints it, without the prompt.
std::string renderForm(const Form& form);

}  // namespace uikit::console
