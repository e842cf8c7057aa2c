#include "ui/wizard/frmSwitchSet.h"

#include "engine/Engine.h"
#include "ui/wizard/frmFixSet.h"
#include "ui/wizard/frmIIb2c2.h"
#include "ui/wizard/frmIb1.h"
#include "ui/wizard/frmWizard1.h"
#include "uikit/desktop.h"

namespace orvanta {

frmSwitchSet::frmSwitchSet()
    : WizardPage("frmSwitchSet", "Vantrel Wizard - Switch Link Sets",
                 "This portion of the Vantrel Wizard will allow you to select another valid link "
                 "set that contains all the required tables for your database. After you select a "
                 "database click 'Next' to continue.\r\n"),
      Label1(add<uikit::Label>("Label1", {kContentLeft, kBodyTop, kContentWidth, 255})),
      lstValidSets(
          add<uikit::ListBox>("lstValidSets", {kContentLeft, kBodyTop + 300, kContentWidth, 2700})),
      txtCallingForm(addCallingFormField()),
      cmdBack(addBackButton()),
      cmdNext(addNextButton()) {
  Label1.Caption = "Valid Link Set(s)";
  cmdNext.Click = [this] { cmdNext_Click(); };
  cmdBack.Click = [this] { cmdBack_Click(); };
}

void frmSwitchSet::cmdNext_Click() {
  runNext([this] {
    int row = -1;
    for (int i = 0; i < lstValidSets.ListCount() && row < 0; ++i) {
      if (lstValidSets.Selected(i))
        row = i;
    }
    if (row < 0) {
      uikit::MsgBox("You must select a links set to switch to.", uikit::Buttons::OK,
                    uikit::Icon::Information, "No Set Selected");
      return;
    }
    bool clearAll = false;
    if (!MakeActiveSet(lstValidSets.List(row), clearAll))
      return;
    UpdateFrontEndPath();
    if (ValidateLinkSets()) {
      finish();
    } else {
      auto& next = uikit::form<frmFixSet>();
      next.txtCallingForm.Text = "frmSwitchSet";
      handOver(next);
    }
  });
}

void frmSwitchSet::cmdBack_Click() {
  Hide();
  const std::string& caller = txtCallingForm.Text;
  if (caller == "frmIb1") {
    uikit::form<frmIb1>().ShowModal();
  } else if (caller == "frmIIb2c2") {
    uikit::form<frmIIb2c2>().ShowModal();
  } else if (caller == "frmWizard1") {
    uikit::form<frmWizard1>().ShowModal();
  }
}

}  // namespace orvanta
