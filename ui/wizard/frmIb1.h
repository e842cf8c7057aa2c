// The situation page for an active link set and current links that are both valid but differ:
// relink to the set, update the set from the links, switch sets, create a new set, or ignore.
#pragma once

#include "ui/wizard/WizardPage.h"

namespace orvanta {

class frmIb1 : public OptionPage {
 public:
  frmIb1();

  uikit::OptionButton& optRelinkToSet;
  uikit::OptionButton& optUpdateSet;
  uikit::OptionButton& optSwitchSet;
  uikit::OptionButton& optCreateNewSet;
  uikit::OptionButton& optIgnore;
  uikit::CommandButton& cmdNext;

  // The start-up rules run on every activation, so Back from the switch page applies them again.
  void Form_Activate() override;
  void cmdNext_Click();
};

}  // namespace orvanta
