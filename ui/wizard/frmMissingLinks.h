// The page for tables the Fix Set page left unresolved: put the resolved links into a new set
// and make it active, drop the missing links from the active set, or ignore.
#pragma once

#include "ui/wizard/WizardPage.h"

namespace orvanta {

class frmMissingLinks : public OptionPage {
 public:
  frmMissingLinks();

  uikit::OptionButton& optCreateSet;  // recommended
  uikit::Label& Label1;               // "Set Name"
  uikit::TextBox& txtSetName;
  uikit::Label& Label2;  // "Description"
  uikit::TextBox& txtDescription;
  uikit::OptionButton& optRemoveLinks;
  uikit::OptionButton& optIgnore;
  uikit::CommandButton& cmdBack;
  uikit::CommandButton& cmdNext;

  void Form_Load() override;
  void optCreateSet_Click();
  void optRemoveLinks_Click();
  void optIgnore_Click();
  void cmdNext_Click();
  void cmdBack_Click();

 private:
  void enableNewSetFields(bool enabled);
};

}  // namespace orvanta
