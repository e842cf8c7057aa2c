// The situation page for a valid active link set with more linked tables in the front end than
// the set defines: drop the extra links, create a new set from the current links, or ignore.
#pragma once

#include "ui/wizard/WizardPage.h"

namespace orvanta {

class frmId12 : public OptionPage {
 public:
  frmId12();

  uikit::OptionButton& optRemoveExtraLinks;  // recommended
  uikit::OptionButton& optCreateNewSet;
  uikit::OptionButton& optIgnore;
  uikit::CommandButton& cmdNext;

  void Form_Load() override;
  void cmdNext_Click();
};

}  // namespace orvanta
