// The situation page for a front end that moved while its links still reach the old back ends:
// keep the links, fix the set against back ends near the new location, or ignore.
#pragma once

#include "ui/wizard/WizardPage.h"

namespace orvanta {

class frmFEMoved : public OptionPage {
 public:
  frmFEMoved();

  uikit::OptionButton& optRetainLinks;  // recommended
  uikit::OptionButton& optFixSet;
  uikit::OptionButton& optIgnore;
  uikit::CommandButton& cmdNext;

  void cmdNext_Click();
};

}  // namespace orvanta
