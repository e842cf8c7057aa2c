// The scripted driver fails the test, at once and for good, when its script no longer fits the
// windows; the window tests everywhere rely on it for answers and files.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/uikit/test_forms.h"
#include "uikit/user_input.h"

namespace uikit_test {
namespace {

using uikit::Answer;
using uikit::script::ScriptedDesktop;
using uikit::script::ScriptError;

using ScriptTest = ScriptedTest;

// What a script that no longer fits the windows fails with, each on a fresh script since the
// first failure sticks.
std::string failure(const std::function<void(ScriptedDesktop&)>& script) {
  ScriptedDesktop desk;
  uikit::ScopedDesktop use(desk);
  script(desk);
  EXPECT_THROW(uikit::form<frmFirst>().ShowModal(), ScriptError);
  uikit::unloadAllForms();
  return desk.failure();
}

TEST_F(ScriptTest, AScriptThatNoLongerFitsTheWindowsFailsTheTest) {
  using uikit::script::clicking;
  const auto answering = [](Answer answer, const char* text, const char* title) {
    return [=](ScriptedDesktop& d) {
      d.answer(answer, text, title).onShow("frmFirst", clicking("cmdIgnore"));
    };
  };
  EXPECT_EQ(failure(answering(Answer::Yes, "something else", "")),
            "expected a message box saying \"something else\", got \"Confirm Ignore\" question "
            "YesNo \"Are you sure you want to ignore?\"");
  EXPECT_TRUE(failure(answering(Answer::OK, "", "")).starts_with("answer ok is not a button"));
  EXPECT_TRUE(
      failure(answering(Answer::Yes, "", "Other")).starts_with("expected a message box titled"));
  EXPECT_TRUE(failure([](auto& d) {
                d.onShow("frmFirst", clicking("cmdIgnore"));
              }).starts_with("no answer left"));
  EXPECT_EQ(failure([](auto& d) { d.onShow("frmFirst", clicking("cmdBrowse")); }),
            "no file left for the open-file dialog \"Select Database\"");
  EXPECT_EQ(failure([](auto& d) { d.onShow("frmFirst", clicking("cmdMissing")); }),
            "frmFirst has no control cmdMissing");
  uikit::form<frmFirst>().cmdBrowse.Enabled = false;
  EXPECT_EQ(failure([](auto& d) { d.onShow("frmFirst", clicking("cmdBrowse")); }),
            "on frmFirst, click cmdBrowse was refused: cmdBrowse is disabled");
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

}  // namespace
}  // namespace uikit_test
