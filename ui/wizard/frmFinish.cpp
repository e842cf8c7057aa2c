#include "ui/wizard/frmFinish.h"

namespace orvanta {

frmFinish::frmFinish()
    : WizardPage("frmFinish", "Vantrel Wizard - Finished",
                 "All table links\r\nhave been successfully\r\nestablished!\r\n\r\nClick "
                 "'Finish' to run your application.\r\n"),
      cmdFinish(addNextButton("&Finish", "cmdFinish")) {
  txtInfo.geometry = {kContentLeft, kInfoTop + 600, kContentWidth, 2400};
  cmdFinish.Click = [this] { cmdFinish_Click(); };
}

void frmFinish::cmdFinish_Click() {
  closeWizard();
}

}  // namespace orvanta
