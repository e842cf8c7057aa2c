#include "ui/wizard/frmWizard1.h"

#include "engine/ComponentState.h"
#include "ui/wizard/frmAddExtraLinks.h"
#include "ui/wizard/frmFixSet.h"

namespace orvanta {

frmWizard1::frmWizard1()
    : OptionPage("frmWizard1", "Vantrel Wizard - Select Vantrel Option",
                 "One or more of the links defined in your Active Link Set are no longer valid. "
                 "Hover over \r\nan option below and a detailed description will appear.\r\n"),
      optFixSet(addOption("optFixSet", "Fix Current Link Set",
                          "Provides you with a list of possible databases to relink the tables")),
      optSwitchSet(addOption("optSwitchSet", "Switch to a Different Link Set",
                             "You can select a different set to make your Active Link Set.")),
      optIgnore(addOption("optIgnore", "Ignore",
                          "Exit the Vantrel Wizard without making any changes.Your application "
                          "may or may not function properly.")),
      cmdNext(addNextButton("&Next >>")) {
  optFixSet.setValue(true);
  markBeside(optFixSet);
  cmdNext.Click = [this] { cmdNext_Click(); };
}

void frmWizard1::Form_Load() {
  optSwitchSet.Enabled = anotherMatchingSetExists();
}

void frmWizard1::cmdNext_Click() {
  runNext([this] {
    if (optIgnore.value()) {
      confirmIgnore(true);
    } else if (optSwitchSet.value()) {
      goToSwitchSet();
    } else if (state().linkCountComparison == 2) {
      // More linked tables than the set defines: settle the extra ones before fixing.
      auto& next = uikit::form<frmAddExtraLinks>();
      next.txtCallingForm.Text = "frmWizard1";
      handOver(next);
    } else {
      auto& next = uikit::form<frmFixSet>();
      next.cmdBack.Visible = true;
      next.txtCallingForm.Text = "frmWizard1";
      handOver(next);
    }
  });
}

}  // namespace orvanta
