// The page that makes another matching link set active. The start-up check fills lstValidSets
// with the names of the matching sets other than the active one before any page opens.
#pragma once

#include "ui/wizard/WizardPage.h"

namespace orvanta {

class frmSwitchSet : public WizardPage {
 public:
  frmSwitchSet();

  uikit::Label& Label1;  // "Valid Link Set(s)"
  uikit::ListBox& lstValidSets;
  uikit::TextBox& txtCallingForm;  // the page that opened this one
  uikit::CommandButton& cmdBack;
  uikit::CommandButton& cmdNext;

  void cmdNext_Click();
  void cmdBack_Click();
};

}  // namespace orvanta
