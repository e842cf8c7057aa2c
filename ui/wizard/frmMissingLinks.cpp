#include "ui/wizard/frmMissingLinks.h"

#include "engine/ComponentState.h"
#include "ui/wizard/SetRewrite.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/desktop.h"

namespace orvanta {

frmMissingLinks::frmMissingLinks()
    : OptionPage("frmMissingLinks", "Vantrel Wizard - Missing Links",
                 "You have chosen to continue without resolving all your missing links.  You can "
                 "\r\nchoose to create a new link set without the missing links and set it active, "
                 "remove the \r\nmissing links from the current link set and update, or you can "
                 "ignore and continue on.  \r\nIf you choose to ignore you will be directed to the "
                 "Vantrel Wizard the next time you \r\nlaunch your application. Click 'Next' to "
                 "continue.\r\n",
                 3000),
      optCreateSet(
          addOption("optCreateSet", "Create a new link set without the missing links", "")),
      Label1(
          add<uikit::Label>("Label1", {kOptionLeft + 240, kOptionTop + 375, 1200, 255}, &Frame1)),
      txtSetName(add<uikit::TextBox>("txtSetName",
                                     {kOptionLeft + 1500, kOptionTop + 345, 3000, 285}, &Frame1)),
      Label2(
          add<uikit::Label>("Label2", {kOptionLeft + 240, kOptionTop + 735, 1200, 255}, &Frame1)),
      txtDescription(add<uikit::TextBox>(
          "txtDescription", {kOptionLeft + 1500, kOptionTop + 705, 3000, 285}, &Frame1)),
      optRemoveLinks(addOption("optRemoveLinks",
                               "Remove the missing links from the current link set", "",
                               kOptionTop + 1200)),
      optIgnore(addOption("optIgnore", "Ignore", "")),
      cmdBack(addBackButton()),
      cmdNext(addNextButton()) {
  Label1.Caption = "Set Name";
  txtSetName.Text = "Default";
  Label2.Caption = "Description";
  txtDescription.Text = "Default Set";
  optCreateSet.setValue(true);
  markBeside(optCreateSet);

  optCreateSet.Click = [this] { optCreateSet_Click(); };
  optRemoveLinks.Click = [this] { optRemoveLinks_Click(); };
  optIgnore.Click = [this] { optIgnore_Click(); };
  cmdNext.Click = [this] { cmdNext_Click(); };
  cmdBack.Click = [this] { cmdBack_Click(); };
}

void frmMissingLinks::enableNewSetFields(bool enabled) {
  Label1.Enabled = enabled;
  txtSetName.Enabled = enabled;
  Label2.Enabled = enabled;
  txtDescription.Enabled = enabled;
}

void frmMissingLinks::Form_Load() {
  if (state().bolAllowSetSwitching) {
    optCreateSet.Enabled = true;
    optCreateSet.setValue(true);
    enableNewSetFields(true);
  } else {
    // A new active set is a switch of sets, which the host does not permit: the marker goes
    // with the selection to the option that is left.
    optCreateSet.setValue(false);
    optCreateSet.Enabled = false;
    optRemoveLinks.setValue(true);
    enableNewSetFields(false);
    markBeside(optRemoveLinks);
  }
}

void frmMissingLinks::optCreateSet_Click() {
  enableNewSetFields(true);
}
void frmMissingLinks::optRemoveLinks_Click() {
  enableNewSetFields(false);
}
void frmMissingLinks::optIgnore_Click() {
  enableNewSetFields(false);
}

void frmMissingLinks::cmdNext_Click() {
  using uikit::Buttons;
  using uikit::Icon;
  runNextModule([this] {
    const auto& fixSet = uikit::form<frmFixSet>();
    if (optIgnore.value()) {
      // The set stays broken on purpose: the wizard comes back at the next start-up anyway.
      confirmIgnore(false);
    } else if (optRemoveLinks.value()) {
      rewriteActiveSetLinks(chosenLinks(fixSet));
      finish();
    } else if (optCreateSet.value()) {
      const std::string name = txtSetName.Text;
      const std::string description = txtDescription.Text;
      if (name.empty() || description.empty()) {
        uikit::MsgBox("You must fill in a Set Name and Description!", Buttons::OK,
                      Icon::Information, "Missing Information");
        SetFocus(txtSetName);
        return;
      }
      if (!newSetNameIsFree(name)) {
        SetFocus(txtSetName);
        return;
      }
      createActiveSetWithLinks(name, description, chosenLinks(fixSet));
      finish();
    }
  });
}

void frmMissingLinks::cmdBack_Click() {
  auto& fixSet = uikit::form<frmFixSet>();
  Hide();
  fixSet.SetFocus(fixSet.lstDatabases);  // refused while the page is hidden; that is fine
  fixSet.ShowModal();
}

}  // namespace orvanta
