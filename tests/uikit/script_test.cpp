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

class ScriptTest : public ::testing::Test {
 protected:
  void TearDown() override {
    uikit::unloadAllForms();
    uikit::FormRegistry::current().collect();
  }
  ScriptedDesktop desk;
  uikit::ScopedDesktop use{desk};
};

// A page that confirms before closing, and browses for a file.
class frmAsk : public uikit::Form {
 public:
  frmAsk()
      : Form("frmAsk"),
        cmdIgnore(add<uikit::CommandButton>("cmdIgnore")),
        cmdBrowse(add<uikit::CommandButton>("cmdBrowse")),
        dlg(add<uikit::CommonDialog>("CommonDialog1")) {
    Caption = "Ask";
    cmdIgnore.Click = [this] {
      if (uikit::MsgBox("Are you sure you want to ignore?", Buttons::YesNo, Icon::Question,
                        "Confirm Ignore") == Answer::Yes) {
        uikit::unloadAllForms();
      }
    };
    cmdBrowse.Click = [this] {
      dlg.DialogTitle = "Select Database";
      dlg.Filter = "All(*.*)|*.*";
      dlg.ShowOpen();
      files.push_back(dlg.FileName);
    };
  }
  uikit::CommandButton& cmdIgnore;
  uikit::CommandButton& cmdBrowse;
  uikit::CommonDialog& dlg;
  std::vector<std::string> files;
};

TEST_F(ScriptTest, AnswersDialogsAndRecordsTheTranscript) {
  std::vector<std::string> files;
  desk.onShow("frmAsk", uikit::script::clicking("cmdBrowse"));
  desk.onShow("frmAsk", uikit::script::clicking("cmdBrowse"));
  desk.onShow("frmAsk", uikit::script::clicking("cmdIgnore"));
  desk.onShow<frmAsk>("frmAsk", [&](frmAsk& f) {
    files = f.files;
    uikit::script::click(f, "cmdIgnore");
  });
  desk.chooseFile("/data/be.mdb").cancelFile();
  desk.answer(Answer::No, "want to ignore", "Confirm Ignore");
  desk.answer(Answer::Yes);
  uikit::desktop().beep();

  uikit::form<frmAsk>().ShowModal();

  EXPECT_EQ(files, (std::vector<std::string>{"/data/be.mdb", ""}));
  EXPECT_EQ(desk.leftovers(), "");
  EXPECT_EQ(desk.beeps(), 1);
  EXPECT_EQ(
      desk.text(),
      "show frmAsk \"Ask\"\n"
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
  EXPECT_THROW(uikit::form<frmAsk>().cmdBrowse.Click(), ScriptError);  // no file queued
  EXPECT_THROW(uikit::MsgBox("nobody answers"), ScriptError);
}

// A page whose handler swallows every exception, as "errors ignored" code might, then goes on to
// show another page.
class frmSwallowing : public uikit::Form {
 public:
  frmSwallowing() : Form("frmSwallowing"), cmdNext(add<uikit::CommandButton>("cmdNext")) {
    cmdNext.Click = [this] {
      Hide();
      try {
        uikit::form<frmHost::LoggedDialog>().ShowModal();
      } catch (...) {
      }
      uikit::form<frmHost>().ShowModal();
    };
  }
  uikit::CommandButton& cmdNext;
};

TEST_F(ScriptTest, AFormWithNoActionLeftFailsAtOnceEvenWhenAHandlerSwallowsIt) {
  desk.onShow("frmSwallowing", uikit::script::clicking("cmdNext"));
  desk.onShow("frmHost", [](uikit::Form& f) { uikit::script::close(f); });
  // frmDialog has no action: its show fails and the handler swallows that. The failure is
  // sticky, so the next show fails too although frmHost has an action, and the error reaches
  // the test instead of the run going on as if nothing had happened.
  try {
    uikit::form<frmSwallowing>().ShowModal();
    FAIL() << "expected a ScriptError";
  } catch (const ScriptError& e) {
    EXPECT_NE(std::string(e.what()).find("frmDialog"), std::string::npos) << e.what();
  }
  EXPECT_EQ(desk.failure(), "no action left for frmDialog \"\"");
  EXPECT_EQ(desk.leftovers(), "1 action for frmHost");
  EXPECT_EQ(uikit::FormRegistry::current().modalDepth(), 0);
  EXPECT_FALSE(uikit::form<frmSwallowing>().visible());
  EXPECT_FALSE(uikit::form<frmHost::LoggedDialog>().visible());
}

TEST_F(ScriptTest, ActionHelpersFailLoudlyWhenTheScriptNoLongerFitsTheForm) {
  desk.onShow("frmAsk", [](uikit::Form& f) { uikit::script::click(f, "cmdMissing"); });
  EXPECT_THROW(uikit::form<frmAsk>().ShowModal(), ScriptError);

  ScriptedDesktop again;
  uikit::ScopedDesktop useAgain(again);
  auto& f = uikit::form<frmAsk>();
  f.cmdBrowse.Enabled = false;
  again.onShow("frmAsk", uikit::script::clicking("cmdBrowse"));
  again.onShow("frmAsk", [](uikit::Form& f) { uikit::script::clickRow(f, "cmdIgnore", 0); });
  try {
    f.ShowModal();
    FAIL();
  } catch (const ScriptError& e) {
    EXPECT_EQ(std::string(e.what()),
              "on frmAsk, click cmdBrowse was refused: cmdBrowse is disabled");
  }
  EXPECT_EQ(again.leftovers(), "1 action for frmAsk");
}

}  // namespace
}  // namespace uikit_test
