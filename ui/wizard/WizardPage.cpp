#include "ui/wizard/WizardPage.h"

#include <algorithm>
#include <cctype>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Reports.h"
#include "ui/wizard/SetRewrite.h"
#include "ui/wizard/frmCreateNewSet.h"
#include "ui/wizard/frmFinish.h"
#include "ui/wizard/frmSwitchSet.h"
#include "uikit/desktop.h"

namespace orvanta {

bool anotherMatchingSetExists() {
  const ComponentState& s = state();
  if (!s.bolAllowSetSwitching)
    return false;
  // When the active set is among the matches, a second match is needed for "another".
  return s.activeSetMatches ? s.matchingSetCount >= 2 : s.matchingSetCount != 0;
}

void closeWizard() {
  uikit::unloadAllForms();
}

bool newSetNameIsFree(const std::string& name) {
  const auto folded = [](std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
  };
  const std::string wanted = folded(name);
  bool taken = false;
  {
    auto db = dao::OpenDatabase(linkSetDatabase());
    auto rs = db->OpenRecordset("SELECT * From tblLinkedSets", dao::dbOpenSnapshot);
    for (; !rs->AtEOF() && !taken; rs->MoveNext()) {
      taken = folded(rs->Field("Name").AsString()) == wanted;
    }
  }
  if (taken) {
    uikit::MsgBox("There is already a link set defined with the name\r\n" + name,
                  uikit::Buttons::OK, uikit::Icon::Critical, "Link Set Error");
  }
  return !taken;
}

WizardPage::WizardPage(const std::string& formName, const std::string& caption,
                       const std::string& info)
    : uikit::Form(formName),
      Image1(add<uikit::Picture>("Image1", {120, 120, kSideWidth, kButtonTop - 240})),
      txtInfo(add<uikit::TextBox>("txtInfo", {kContentLeft, kInfoTop, kContentWidth, kInfoHeight})),
      Line1(add<uikit::Line>("Line1", {kContentLeft, kBodyTop - 120, kContentWidth, 0})) {
  Caption = caption;
  geometry = {0, 0, kFormWidth, kFormHeight};
  Image1.Image = "side";
  txtInfo.Text = info;
  txtInfo.MultiLine = true;
  txtInfo.Locked = true;
}

uikit::CommandButton& WizardPage::addBackButton() {
  auto& button =
      add<uikit::CommandButton>("cmdBack", {kContentLeft + kContentWidth - 2 * kButtonWidth - 120,
                                            kButtonTop, kButtonWidth, kButtonHeight});
  button.Caption = "<<  &Back";
  return button;
}

uikit::CommandButton& WizardPage::addNextButton(const std::string& caption,
                                                const std::string& controlName) {
  auto& button = add<uikit::CommandButton>(
      controlName,
      {kContentLeft + kContentWidth - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight});
  button.Caption = caption;
  button.Default = true;
  return button;
}

uikit::TextBox& WizardPage::addCallingFormField() {
  auto& field = add<uikit::TextBox>("txtCallingForm", {kContentLeft, kButtonTop, 1200, 285});
  field.Text = "CallingForm";
  field.Visible = false;
  return field;
}

void WizardPage::handOver(uikit::Form& next) {
  Hide();
  next.ShowModal();
}

void WizardPage::finish() {
  handOver(uikit::form<frmFinish>());
}

bool WizardPage::confirmIgnore(bool ignoreFlag) {
  if (uikit::MsgBox("Are you sure you want to ignore?", uikit::Buttons::YesNo,
                    uikit::Icon::Question, "Confirm Ignore") != uikit::Answer::Yes) {
    return false;
  }
  closeWizard();
  state().ignore = ignoreFlag;
  return true;
}

void WizardPage::runNext(const std::function<void()>& work) {
  try {
    work();
  } catch (const dao::Error& error) {
    reportEngineError("cmdNext_Click", error);
  }
}

void WizardPage::runNextModule(const std::function<void()>& work) {
  try {
    work();
  } catch (const dao::Error& error) {
    reportModuleError("cmdNext_Click", error);
  }
}

OptionPage::OptionPage(const std::string& formName, const std::string& caption,
                       const std::string& info, int frameHeight)
    : WizardPage(formName, caption, info),
      Frame1(add<uikit::Frame>("Frame1", {kContentLeft, kBodyTop, kContentWidth, frameHeight})),
      Image2(add<uikit::Picture>(
          "Image2", {kOptionLeft - kMarkerSize - 60, kOptionTop - 15, kMarkerSize, kMarkerSize},
          &Frame1)) {
  Frame1.Caption = "Select Option";
  Image2.Image = "marker";
  Image2.ToolTipText = "Best Choice";
}

void OptionPage::markBeside(const uikit::OptionButton& option) {
  Image2.geometry.left = option.geometry.left - kMarkerSize - 60;
  Image2.geometry.top = option.geometry.top - 15;
}

uikit::OptionButton& OptionPage::addOption(const std::string& controlName,
                                           const std::string& caption,
                                           const std::string& description, int top) {
  if (top < 0)
    top = nextOptionTop_;
  auto& option = add<uikit::OptionButton>(
      controlName, {kOptionLeft, top, kContentWidth - kOptionLeft - 120, kOptionHeight}, &Frame1);
  option.Caption = caption;
  option.ToolTipText = description;
  nextOptionTop_ = top + kOptionPitch;
  return option;
}

void OptionPage::goToCreateNewSet() {
  auto& next = uikit::form<frmCreateNewSet>();
  next.txtInfo.Visible = false;
  handOver(next);
}

void OptionPage::goToSwitchSet() {
  auto& next = uikit::form<frmSwitchSet>();
  next.txtCallingForm.Text = name();
  handOver(next);
}

void OptionPage::updateActiveSetFromCurrentLinks() {
  // Clearing the set and refilling it are one piece of work: a set left empty by a failed
  // refill would, at the next start, recommend removing every linked table.
  replaceActiveSetWithCurrentLinks();
  finish();
}

}  // namespace orvanta
