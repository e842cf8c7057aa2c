// The Switch Set Manager: the window in which a user switches the front end to another stored
// link set (a LIVE/TEST swap, a move to another office's data). It lists every link set with the
// active one marked, shows the selected set's description, validity and tables, and on OK makes
// the selected set active, records the front end's path with it and relinks the front end to it.
//
// It works with whatever component state an earlier check or Set Manager left (the link-set
// database in particular) and is shown through showSwitchSetManager, which also runs the
// start-up check when a switch left links to repair.
#pragma once

#include <vector>

#include "ui/sets/SetRows.h"
#include "uikit/form.h"

namespace orvanta {

class frmSwitchSetManager : public uikit::Form {
 public:
  frmSwitchSetManager();

  uikit::CommandButton& cmdCancel;
  uikit::CommandButton& cmdOk;
  uikit::Frame& Frame3;  // "Select Link Set to Make Active"
  uikit::ListBox& lstLinkSets;
  uikit::Frame& Frame2;       // "Tables in Set"
  uikit::ListBox& lstTables;  // display only
  uikit::Frame& Frame1;       // "Set Description"
  uikit::TextBox& txtDesc;    // read-only: nothing here ever saves an edit
  uikit::Label& lblLinkSetStatus;

  // Shows entry index of the set table: description, validity label and tables.
  void LoadTables(int index);

  void Form_Load() override;
  void lstLinkSets_Click();
  void lstTables_Click();
  void cmdOk_Click();
  void cmdCancel_Click();

  // True once OK has switched to a set whose links still need repair: the window has hidden
  // itself and the start-up check is to take over once its modal show is over.
  bool repairPending() const { return repairPending_; }

 private:
  // The set of each row of lstLinkSets ("(ACTIVE)" after the name of an active one), with the
  // verdicts stored when the window loaded.
  std::vector<StoredSet> sets_;
  bool repairPending_ = false;
};

// Shows the window modally; when OK leaves links to repair, then runs the start-up check on the
// current front end, which leads the user through the Relink Wizard for the newly active set.
// The check runs after the window's modal show has ended rather than from inside its handler:
// a page shown from a handler whose window has hidden itself only starts once that handler has
// returned, too late for a check that waits for the wizard's outcome.
void showSwitchSetManager();

}  // namespace orvanta
