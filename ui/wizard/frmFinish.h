// The last page: the links are in order; Finish closes the wizard.
#pragma once

#include "ui/wizard/WizardPage.h"

namespace orvanta {

class frmFinish : public WizardPage {
 public:
  frmFinish();

  uikit::CommandButton& cmdFinish;

  void cmdFinish_Click();
};

}  // namespace orvanta
