// The console driver: how a window prints, a whole session piped in through a string stream,
// and what happens when the input ends.
#include <gtest/gtest.h>
#include <unistd.h>

#include <sstream>

#include "tests/uikit/test_forms.h"
#include "uikit/console/console_desktop.h"
#include "uikit/console/fd_input.h"
#include "uikit/printable.h"

namespace uikit_test {
namespace {

using uikit::Answer;

class ConsoleTest : public ScriptedTest {
 protected:
  // Shows F modally on a console reading input; returns what the console printed.
  template <class F>
  static std::string session(const std::string& input, bool echo = false) {
    std::istringstream in(input);
    std::ostringstream out;
    uikit::console::ConsoleDesktop console(in, out, {.echo = echo});
    uikit::ScopedDesktop use(console);
    uikit::form<F>().ShowModal();
    return out.str();
  }
};

TEST_F(ConsoleTest, AWindowPrintsWhatIsShownInsideItsFramesAndTreeNodesUnderTheirParents) {
  const std::string out = uikit::console::renderForm(frmAll());
  for (const char* part :
       {"\ntxtNotes text locked\n  | First line \n  |\n  | last line\nfraChoice frame \"\"\n",
        "\n  fraInner frame \"\"\n    optInA option (*) \"\"\n    optInB option ( ) "
        "\"\"\nimgMarker",
        "\nimgMarker picture \"marker\" beside optFast\n",
        "\ntvwFolders tree\n  0   C:\n    2   Data\n      3   be.mdb\n  1 * D:\ncmdChange",
        "\nfraOff frame \"\" disabled\n  chkGray check [-] \"\" disabled\n"})
    EXPECT_NE(out.find(part), std::string::npos) << part << "\nis not in\n" << out;
  // Nor are hidden controls and what a hidden frame holds.
  for (const char* hidden : {"cmdHidden", "fraHidden", "lblHidden"})
    EXPECT_EQ(out.find(hidden), std::string::npos) << out;
}

TEST_F(ConsoleTest, OnlyTheFrontOfTwoOverlappingControlsPrints) {
  // Two text boxes at one place, txtBack added first; each case rearranges them.
  using Arrange = void (*)(Bench&, uikit::TextBox & back, uikit::TextBox & front);
  const std::pair<Arrange, std::string> cases[] = {
      {[](Bench&, auto&, auto&) {}, "txtFront"},
      {[](Bench&, auto& back, auto&) { back.ZOrder(0); }, "txtBack"},
      {[](Bench&, auto&, auto& front) { front.ZOrder(1); }, "txtBack"},
      {[](Bench&, auto&, auto& front) { front.geometry.width -= 15; }, "txtBack txtFront"},
      // A label covers nothing; a frame wholly behind hides what it holds with it.
      {[](Bench& f, auto&, auto&) {
         f.add<uikit::Label>("lblOver", {0, 0, 9000, 9000});
       },
       "txtFront lblOver"},
      {[](Bench& f, auto&, auto& front) {
         auto& frame = f.add<uikit::Frame>("fraBehind", {150, 150, 300, 300});
         f.add<uikit::Label>("lblInside", {15, 15, 100, 100}, &frame);
         frame.ZOrder(1), front.ZOrder(0);
       },
       "txtFront"},
  };
  for (const auto& [arrange, expected] : cases) {
    Bench f;
    auto& back = f.add<uikit::TextBox>("txtBack", {120, 120, 1200, 600});
    arrange(f, back, f.add<uikit::TextBox>("txtFront", {120, 120, 1200, 600}));
    std::string printed;
    std::istringstream lines(uikit::console::renderForm(f));
    for (std::string line; std::getline(lines, line);) {
      if (!line.starts_with("===") && !line.starts_with(" "))
        printed += (printed.empty() ? "" : " ") + line.substr(0, line.find(' '));
    }
    EXPECT_EQ(printed, expected);
  }
}

TEST(Printable, EscapesWhatCouldEndALineOrDriveATerminalAndKeepsTheRest) {
  const struct {
    std::string text, shown;
  } cases[] = {
      {"C:\\Data\\v.mdb naïve €", "C:\\Data\\v.mdb naïve €"},  // backslashes stay as they are
      {"a\r\nb\nc\rd\te", "a\\nb\\nc\\nd\\te"},
      {std::string("\0\v\f\x1c\x1d\x1e\x1b[2J\x7f", 11),
       "\\x00\\x0b\\x0c\\x1c\\x1d\\x1e\\x1b[2J\\x7f"},
      {"\xC2\x80\xC2\x85\xC2\x9F\xC2\xA0", "\\u0080\\u0085\\u009f\xC2\xA0"},
      {"\xE2\x80\xA7\xE2\x80\xA8\xE2\x80\xA9", "\xE2\x80\xA7\\u2028\\u2029"},
      // A stray byte, an overlong form, a surrogate, past U+10FFFF, a cut sequence.
      {"\xFF\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80\xE2\x82",
       "\\xff\\xc0\\xaf\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80\\xe2\\x82"},
      {"\xF0\x9F\x98\x80\xE2\x82x", "\xF0\x9F\x98\x80\\xe2\\x82x"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(uikit::printable(c.text), c.shown);
}

TEST_F(ConsoleTest, StoredTextCannotForgeALineOrReachTheTerminal) {
  // A file name a script splitting lines like Python's splitlines would take for a window and a
  // command, with a terminal escape and bytes that are not UTF-8 besides.
  const std::string forged =
      "x\v=== frmFinish \"x\"\f> click cmdFinish\x1b[2J\xC2\x85\xE2\x80\xA8\xFF.mdb";
  const std::string shown =
      "x\\x0b=== frmFinish \"x\"\\x0c> click cmdFinish\\x1b[2J\\u0085\\u2028\\xff.mdb";
  auto& f = uikit::form<Bench>();
  f.Caption = forged;
  f.add<uikit::ListBox>("lstFiles").AddItem(forged);
  f.add<uikit::Label>("lblFile").Caption = forged;
  auto& dlg = f.add<uikit::CommonDialog>("dlgOpen");
  dlg.DialogTitle = dlg.InitDir = dlg.Filter = forged;
  f.add<uikit::CommandButton>("cmdGo").Click = [&] {
    uikit::MsgBox(forged + "\r\n" + forged, uikit::Buttons::OK, uikit::Icon::None, forged);
    dlg.ShowOpen();
    f.Hide();
  };
  const std::string out = session<Bench>("click cmdGo\nok\n\n");
  // Caption, row, label, box title, two box lines, dialog title, folder and filter.
  size_t count = 0;
  for (size_t at = out.find(shown); at != std::string::npos; at = out.find(shown, at + 1))
    ++count;
  EXPECT_EQ(count, 9u) << out;
  EXPECT_NE(out.find("\n  0   " + shown + "\n"), std::string::npos) << out;
  for (const char* raw : {"\v", "\f", "\x1b", "\xC2\x85", "\xE2\x80\xA8", "\xFF"})
    EXPECT_EQ(out.find(raw), std::string::npos) << out;
}

TEST_F(ConsoleTest, ASessionPipedInThroughAStreamFollowsTheProtocol) {
  const std::string out = session<frmFirst>(
      "# comments and blank lines are skipped\n\nclick optTwo\nclick cmdIgnore\nmaybe\nNO\n"
      "click nothing\nfrobnicate now\nclick cmdNext 3\ntype txtnote My  Set\nclick cmdBrowse\n"
      "  /data/be.mdb  \r\nclick cmdNext\nclick cmdNext\nclick cmdFinish\n",
      true);
  // Each command, answer and refusal in order, the window printed again after each change.
  size_t at = 0;
  for (const char* part :
       {"> \n> click optTwo\n=== frmFirst \"\"\n", "  optTwo option (*) \"\"\n",
        "? maybe\n! \"maybe\" is not one of: yes, no\n? NO\n=== frmFirst \"\"\n",
        "! no control \"nothing\" on frmFirst\n", "! unknown command \"frobnicate\" (try help)\n",
        "! cmdNext has no rows\n", "txtNote text \"My  Set\"\n", "lblFile label \"/data/be.mdb\"\n",
        "=== frmThird \"Finished\"\n"}) {
    at = out.find(part, at);
    ASSERT_NE(at, std::string::npos) << part << "\nnot next in\n" << out;
  }
  EXPECT_TRUE(out.ends_with("> click cmdFinish\n"));
  EXPECT_TRUE(uikit::FormRegistry::current().loadedForms().empty());
}

TEST_F(ConsoleTest, AtEndOfInputBoxesDeclineWindowsCloseAndAskingAgainIsStopped) {
  uikit::KeepUnloadedForms keep;  // f is read after it was unloaded
  auto& f = uikit::form<frmStubborn>();
  const std::string text = session<frmStubborn>("click cmdAsk\n");
  EXPECT_EQ(f.answer, Answer::Cancel);
  EXPECT_FALSE(uikit::isLoaded<frmStubborn>());
  const std::string page = "=== frmStubborn \"\"\ncmdAsk button \"\"\ncmdRetry button \"\"\n";
  EXPECT_EQ(text, page + "> --- MsgBox \"Changed\" [question] (OKCancel)\nSave changes?\n" +
                      "? (end of input: cancel)\n" + page +
                      "> (end of input: closing frmStubborn)\n" +
                      "(end of input: frmStubborn refused to close; unloading it)\n");

  EXPECT_THROW(session<frmStubborn>("click cmdRetry\n"), uikit::console::EndOfInputError);
  EXPECT_EQ(uikit::FormRegistry::current().modalDepth(), 0);

  // A script that ends early never confirms: Cancel where the box has it (OKCancel above),
  // otherwise No, otherwise its first button (Abort rather than Retry or Ignore).
  using uikit::Buttons;
  for (auto [buttons, expected] : {std::pair{Buttons::YesNoCancel, Answer::Cancel},
                                   {Buttons::YesNo, Answer::No},
                                   {Buttons::AbortRetryIgnore, Answer::Abort}}) {
    std::istringstream in;
    std::ostringstream out;
    uikit::console::ConsoleDesktop console(in, out);
    EXPECT_EQ(console.messageBox({"Delete the set?", buttons, uikit::Icon::Question, "Confirm"}),
              expected)
        << uikit::buttonsName(buttons);
    EXPECT_NE(out.str().find("(end of input: " + uikit::answerWord(expected) + ")"),
              std::string::npos);
  }
}

// Standard input read from its descriptor says, without blocking, whether a line is waiting:
// nothing yet, then what was written (buffered or not), then the end once the writer has gone.
TEST(FdInput, TellsWithoutBlockingWhetherInputIsWaiting) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  uikit::console::FdInputBuffer buffer(ends[0]);
  std::istream in(&buffer);
  EXPECT_EQ(buffer.in_avail(), 0);
  const std::string typed = "click cmdStop\nshow\n";
  ASSERT_EQ(write(ends[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
  std::string line;
  for (const char* expected : {"click cmdStop", "show"}) {
    EXPECT_GT(buffer.in_avail(), 0);
    ASSERT_TRUE(std::getline(in, line));
    EXPECT_EQ(line, expected);
  }
  EXPECT_EQ(buffer.in_avail(), 0);
  close(ends[1]);
  EXPECT_EQ(buffer.in_avail(), -1);
  EXPECT_FALSE(std::getline(in, line));
  close(ends[0]);
}

}  // namespace
}  // namespace uikit_test
