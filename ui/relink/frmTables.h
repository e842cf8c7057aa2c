// The dialog in which the user picks the tables of another database to add as links to the set
// the Set Manager is editing. GetLinks fills the list and shows it; OK writes the new links.
#pragma once

#include "uikit/form.h"

namespace orvanta {

class frmTables : public uikit::Form {
 public:
  frmTables();

  uikit::ListBox& lstTableLinks;  // the chosen database's tables, bare names
  uikit::CommandButton& cmdSelectAll;
  uikit::CommandButton& cmdDeselectAll;
  uikit::CommandButton& cmdOK;
  uikit::CommandButton& cmdCancel;

  void cmdSelectAll_Click();
  void cmdDeselectAll_Click();
  void cmdOK_Click();
  void cmdCancel_Click();
};

}  // namespace orvanta
