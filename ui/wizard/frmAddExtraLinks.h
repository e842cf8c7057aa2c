// The page for linked tables that the active set does not define: add them to the set or not,
// then validate and go on to the Finished page or, when the set is still broken, to Fix Set.
#pragma once

#include "ui/wizard/WizardPage.h"

namespace orvanta {

class frmAddExtraLinks : public OptionPage {
 public:
  frmAddExtraLinks();

  uikit::TextBox& txtCallingForm;  // the page that opened this one
  uikit::OptionButton& optAddExtraLinks;
  uikit::OptionButton& optDontAdd;
  uikit::CommandButton& cmdBack;
  uikit::CommandButton& cmdNext;

  void Form_Load() override;
  void cmdNext_Click();
  void cmdBack_Click();
};

}  // namespace orvanta
