// The situation page for a broken active link set: fix the set, switch to another matching set,
// or ignore. The start-up check may replace its info text when the front end moved and a back
// end was found at the same relative position.
#pragma once

#include "ui/wizard/WizardPage.h"

namespace orvanta {

class frmWizard1 : public OptionPage {
 public:
  frmWizard1();

  uikit::OptionButton& optFixSet;  // recommended
  uikit::OptionButton& optSwitchSet;
  uikit::OptionButton& optIgnore;
  uikit::CommandButton& cmdNext;

  void Form_Load() override;
  void cmdNext_Click();
};

}  // namespace orvanta
