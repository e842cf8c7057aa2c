// The Database File Search dialog: the user checks drives, starts a search for database files,
// watches the folder being explored in the status bar, may stop, picks one found file and
// presses OK, which offers it to the Fix Set page's candidates by the rules Browse follows.
//
// Opened modally by the Fix Set page's Search. OK hides it after an addition or a refusal, and it
// keeps its drives, checks and results for the next Search; Cancel (or closing it) unloads it,
// and ends a search that is still running.
#pragma once

#include "uikit/form.h"

namespace orvanta {

class frmSearch : public uikit::Form {
 public:
  frmSearch();
  ~frmSearch() override;

  uikit::TextBox& txtMsg;
  uikit::ListBox& LstDrives;  // one checked row per drive to search
  uikit::CheckBox& chkSelectAll;
  uikit::CommandButton& cmdSearch;
  uikit::CommandButton& cmdStop;
  uikit::ListBox& lstFiles;  // full paths of the files found
  uikit::CommandButton& cmdOk;
  uikit::CommandButton& cmdCancel;
  uikit::StatusBar& sbrSearchStatus;  // its first panel shows the folder being explored

  void Form_Load() override;
  void Form_Unload() override;
  void chkSelectAll_Click();
  void cmdSearch_Click();
  void cmdStop_Click();
  void lstFiles_Click();
  void cmdOk_Click();
  void cmdCancel_Click();
};

}  // namespace orvanta
