// The Fix Set page: the user repairs the active link set by choosing the back ends that hold its
// tables. The engine fills its lists before it is shown: the required tables (lstTables), the
// path of the first broken back end (txtDatabasePath) and the scored candidates (the store
// lsvDatabases, drawn into lstDatabases by LoadListbox).
#pragma once

#include <string>

#include "ui/wizard/WizardPage.h"

namespace orvanta {

class frmFixSet : public WizardPage {
 public:
  frmFixSet();

  // txtInfo comes from WizardPage.
  uikit::Frame& Frame2;           // "Possible Databases"
  uikit::ListBox& lstDatabases;   // visible candidates, row i is store item i + 1
  uikit::ListView& lsvDatabases;  // the candidate store: path, score text, "found of needed"
  uikit::CommandButton& cmdSearch;
  uikit::CommandButton& cmdBrowse;
  uikit::Frame& Frame1;       // "Required Tables"
  uikit::ListBox& lstTables;  // check-box list, one row per link of the active set
  uikit::Label& lblSatisfied;
  uikit::Label& Label2;
  uikit::TextBox& txtDatabasePath;
  uikit::TextBox& txtCallingForm;
  uikit::CommandButton& cmdBack;
  uikit::CommandButton& cmdNext;
  uikit::CommonDialog& CommonDialog1;

  // The file chosen in the last Browse, offered as the dialog's start next time.
  std::string lastBrowsedFile;

  void Form_Load() override;
  void Form_Activate() override;
  void lstDatabases_Click();
  void lstTables_ItemCheck(int index);
  void lstTables_GotFocus() {}
  void cmdBrowse_Click();
  void cmdSearch_Click();
  void cmdNext_Click();
  void cmdBack_Click();

  // Offers a database file the user picked (Browse, and later the drive search) as a candidate:
  // refuses the front end itself and a file already listed, scores it, asks before adding one
  // that lacks some required tables, and redraws the visible list. True when it was added.
  bool offerCandidate(const std::string& file);

 private:
  // Shows lblSatisfied (white) while every required table is checked, hides it otherwise.
  void showSatisfied();
};

// A required-table row of lstTables: "<table> (<path>)", or "<table> ()" when unresolved.
std::string tableOfRow(const std::string& row);
std::string pathOfRow(const std::string& row);

}  // namespace orvanta
