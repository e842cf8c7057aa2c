// The situation page for an invalid active link set while the current links are valid: switch
// to a matching set, fix the set, update it from the links, create a new set, or ignore.
#pragma once

#include "ui/wizard/WizardPage.h"

namespace orvanta {

class frmIIb2c2 : public OptionPage {
 public:
  frmIIb2c2();

  uikit::OptionButton& optSwitchSet;
  uikit::OptionButton& optFixSet;
  uikit::OptionButton& optUpdateSet;
  uikit::OptionButton& optCreateNewSet;
  uikit::OptionButton& optIgnore;
  uikit::CommandButton& cmdNext;

  void Form_Load() override;
  void cmdNext_Click();
};

}  // namespace orvanta
