// The Set Manager: the user browses the stored link sets one at a time, creates, copies,
// renames, describes, deletes and activates them, and adds, removes and repoints their links.
// Every change is written at once; closing with OK applies the active set to the front end and,
// when its links then do not all work, hands over to the start-up check.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "orvanta/clsOrvanta.h"
#include "uikit/form.h"

namespace orvanta {

struct StoredSet;

class frmSetManager : public uikit::Form {
 public:
  frmSetManager();

  uikit::Frame& fraLinkSets;  // "Link Sets"; holds every visible control
  uikit::Label& lblSet1;
  uikit::TextBox& txtSetName;
  uikit::Label& lblActiveSet;
  uikit::Label& lblSet;    // position of the shown set, from 1
  uikit::Label& Label2;    // "of"
  uikit::Label& lblTotal;  // number of sets
  uikit::Label& Label3;    // "Sets"
  uikit::Label& lblDescription;
  uikit::TextBox& txtDescription;
  uikit::CommandButton& cmdPrevious;
  uikit::CommandButton& cmdNextSet;
  uikit::CommandButton& cmdCreateLinkSet;
  uikit::CommandButton& cmdDuplicateLinkSet;
  uikit::CommandButton& cmdUpdateLinkSet;
  uikit::CommandButton& cmdDeleteLinkSet;
  uikit::CommandButton& cmdSetActiveLinkSet;
  uikit::Frame& Frame1;  // separator
  uikit::Label& lblLinks;
  uikit::ListBox& lstTableLinks;
  uikit::CheckBox& chkSelectAll;
  uikit::CommandButton& cmdAddLink;
  uikit::CommandButton& cmdAddExisting;
  uikit::CommandButton& cmdRemoveLink;
  uikit::CommandButton& cmdUpdateLinks;
  uikit::CommandButton& cmdOk;
  // The shown set's name and description as stored: the name is the key every operation on the
  // shown set uses, whatever the user has typed into txtSetName meanwhile.
  uikit::TextBox& txtOrigSetName;
  uikit::TextBox& txtOrigDescription;
  uikit::CommonDialog& CommonDialog1;

  void Form_Load() override;
  void Form_Activate() override;
  void Form_Unload() override;
  void cmdUpdateLinkSet_Click();
  void cmdNextSet_Click();
  void cmdPrevious_Click();
  void cmdCreateLinkSet_Click();
  void cmdDuplicateLinkSet_Click();
  void cmdDeleteLinkSet_Click();
  void cmdSetActiveLinkSet_Click();
  void cmdAddLink_Click();
  void cmdAddExisting_Click();
  void chkSelectAll_Click();
  void cmdRemoveLink_Click();
  void cmdUpdateLinks_Click();
  void cmdOk_Click();

  // The table of each row of lstTableLinks, kept beside the row: the shown text cannot be parsed
  // back ("Order Details", "Orders (old)").
  const std::vector<std::string>& linkTables() const { return linkTables_; }
  // OK found that the active set's links do not all work and hid the window: whoever showed it
  // runs the start-up check next (showSetManager).
  bool checkRequested() const { return checkRequested_; }

 private:
  void LoadTableLinks();
  void EnableEditing();
  void DisableEditing();
  void SetButtons(const std::string& setName);
  // Writes the edited name and description; an empty or taken name is refused with a message,
  // and nothing is written then.
  void SaveSetChanges();
  void showSet(const StoredSet& set);
  void applySetActiveRule();
  void showNoSets();
  // The questions asked before the shown set is left: save edits, make a new set active.
  void askBeforeLeaving();
  void moveBy(int step);
  // The link list's handlers end this way.
  void afterLinksChanged();
  // The database chosen for Update links, or "" when the user gave up.
  std::string chooseDatabaseForUpdate();

  std::optional<clsOrvanta> engine_;
  bool newSetPrompt_ = false;
  bool checkRequested_ = false;
  std::vector<std::string> linkTables_;
};

// Shows the Set Manager modally; when OK hands over (checkRequested), runs the start-up check on
// the current front end once the window is gone.
void showSetManager();

}  // namespace orvanta
