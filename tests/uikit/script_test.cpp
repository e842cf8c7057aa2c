// The scripted driver: answers and expectations, failing at once when the script runs out, and
// the transcript.
#include <gtest/gtest.h>

#include "tests/uikit/test_forms.h"
#include "uikit/user_input.h"

namespace uikit_test {
namespace {

using uikit::Answer;
using uikit::Buttons;
using uikit::Icon;
using uikit::script::ScriptedDesktop;
using uikit::script::ScriptError;

using ScriptTest = ScriptedTest;

TEST_F(ScriptTest, AnswersDialogsAndRecordsTheTranscript) {
  std::vector<std::string> files;
  auto browse = [&](frmFirst& f) {
    uikit::script::click(f, "cmdBrowse");
    files.push_back(f.lblFile.Caption);
  };
  desk.onShow<frmFirst>("frmFirst", browse).onShow<frmFirst>("frmFirst", browse);
  desk.onShow("frmFirst", uikit::script::clicking("cmdIgnore"));
  desk.onShow("frmFirst", uikit::script::clicking("cmdIgnore"));
  desk.chooseFile("/data/be.mdb").cancelFile();
  desk.answer(Answer::No, "want to ignore", "Confirm Ignore");
  desk.answer(Answer::Yes);
  uikit::desktop().beep();

  uikit::form<frmFirst>().ShowModal();

  EXPECT_EQ(files, (std::vector<std::string>{"/data/be.mdb", ""}));
  EXPECT_EQ(desk.leftovers(), "");
  EXPECT_EQ(desk.beeps(), 1);
  EXPECT_EQ(
      desk.text(),
      "show frmFirst \"\"\n"
      "openfile \"Select Database\" dir=\"\" filter=\"All(*.*)|*.*\" -> \"/data/be.mdb\"\n"
      "openfile \"Select Database\" dir=\"\" filter=\"All(*.*)|*.*\" -> cancel\n"
      "msgbox \"Confirm Ignore\" question YesNo \"Are you sure you want to ignore?\" -> no\n"
      "msgbox \"Confirm Ignore\" question YesNo \"Are you sure you want to ignore?\" -> yes\n");
}

TEST_F(ScriptTest, MessageBoxAndDialogMismatchesFailTheTest) {
  desk.answer(Answer::OK, "something else");
  EXPECT_THROW(uikit::MsgBox("Unable to add x to the list"), ScriptError);
  EXPECT_NE(desk.failure().find("something else"), std::string::npos);

  ScriptedDesktop wrongButton;
  uikit::ScopedDesktop useWrongButton(wrongButton);
  wrongButton.answer(Answer::Cancel);  // not a button of an OK box
  EXPECT_THROW(uikit::MsgBox("Done"), ScriptError);

  ScriptedDesktop wrongTitle;
  uikit::ScopedDesktop useWrongTitle(wrongTitle);
  wrongTitle.answer(Answer::OK, "", "Vantrel");
  EXPECT_EQ(uikit::MsgBox("default title"), Answer::OK);
  wrongTitle.answer(Answer::OK, "", "Vantrel");
  EXPECT_THROW(uikit::MsgBox("x", Buttons::OK, Icon::None, "Other"), ScriptError);

  ScriptedDesktop nothingQueued;
  uikit::ScopedDesktop useNothing(nothingQueued);
  EXPECT_THROW(uikit::form<frmFirst>().cmdBrowse.Click(), ScriptError);  // no file queued
  EXPECT_THROW(uikit::MsgBox("nobody answers"), ScriptError);
}

// A page whose handler swallows every exception, as "errors ignored" code might, then goes on to
// show another page.
class frmSwallowing : public uikit::Form {
 public:
  frmSwallowing() : Form("frmSwallowing") {
    cmdNext.Click = [this] {
      Hide();
      try {
        uikit::form<frmHost::LoggedDialog>().ShowModal();
      } catch (...) {
      }
      uikit::form<frmHost>().ShowModal();
    };
  }
  uikit::CommandButton& cmdNext = add<uikit::CommandButton>("cmdNext");
};

TEST_F(ScriptTest, AFormWithNoActionLeftFailsAtOnceEvenWhenAHandlerSwallowsIt) {
  desk.onShow("frmSwallowing", uikit::script::clicking("cmdNext"));
  desk.onShow("frmHost", [](uikit::Form& f) { uikit::script::close(f); });
  // frmDialog has no action: its show fails and the handler swallows that. The failure is
  // sticky, so the next show fails too although frmHost has an action, and the error reaches
  // the test instead of the run going on as if nothing had happened.
  EXPECT_THROW(uikit::form<frmSwallowing>().ShowModal(), ScriptError);
  EXPECT_EQ(desk.failure(), "no action left for frmDialog \"\"");
  EXPECT_EQ(desk.leftovers(), "1 action for frmHost");
  EXPECT_EQ(uikit::FormRegistry::current().modalDepth(), 0);
  EXPECT_FALSE(uikit::form<frmSwallowing>().visible() ||
               uikit::form<frmHost::LoggedDialog>().visible());
}

TEST_F(ScriptTest, ActionHelpersFailLoudlyWhenTheScriptNoLongerFitsTheForm) {
  desk.onShow("frmFirst", uikit::script::clicking("cmdMissing"));
  EXPECT_THROW(uikit::form<frmFirst>().ShowModal(), ScriptError);
  EXPECT_EQ(desk.failure(), "frmFirst has no control cmdMissing");

  ScriptedDesktop again;
  uikit::ScopedDesktop useAgain(again);
  uikit::form<frmFirst>().cmdBrowse.Enabled = false;
  again.onShow("frmFirst", uikit::script::clicking("cmdBrowse"));
  again.onShow("frmFirst", [](uikit::Form& f) { uikit::script::clickRow(f, "cmdNext", 0); });
  EXPECT_THROW(uikit::form<frmFirst>().ShowModal(), ScriptError);
  EXPECT_EQ(again.failure(), "on frmFirst, click cmdBrowse was refused: cmdBrowse is disabled");
  EXPECT_EQ(again.leftovers(), "1 action for frmFirst");
}

}  // namespace
}  // namespace uikit_test
