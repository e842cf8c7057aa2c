// The Database File Search dialog: the user checks drives, starts a search for database files,
// watches the folder being explored in the status bar, may stop, picks one found file and
// presses OK, which offers it to the candidates of the window that opened the dialog (the Fix Set
// page or the Relink Manager) by the rules that window's Browse follows.
//
// Opened modally by a window's Search, which first says where the chosen file goes. OK hides it
// after an addition or a refusal, and it keeps its drives, checks and results for the next Search;
// Cancel (or closing it) unloads it, and ends a search that is still running.
#pragma once

#include <functional>
#include <string>

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

  // Where OK offers the chosen file; set by the window that opens the dialog, since the dialog
  // stays loaded between searches and may next be opened by another window. Returns true when
  // the file was taken, and the dialog then hides. Until set: the Fix Set page's candidates.
  std::function<bool(const std::string& file)> offerChosen;

  void Form_Load() override;
  void Form_Unload() override;
  void chkSelectAll_Click();
  void cmdSearch_Click();
  void cmdStop_Click();
  void lstFiles_Click();
  void cmdOk_Click();
  void cmdCancel_Click();

  // The Fix Set page's destination: its candidate store, by the rules of its Browse.
  static bool offerToFixSet(const std::string& file);
};

}  // namespace orvanta
