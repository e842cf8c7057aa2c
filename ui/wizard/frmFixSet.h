// The Fix Set page: the user repairs the active link set by choosing the back ends that hold its
// tables. The engine fills its lists before it is shown: the required tables (lstTables), the
// path of the first broken back end (txtDatabasePath) and the scored candidates (the store
// lsvDatabases, drawn into lstDatabases by LoadListbox).
#pragma once

#include <functional>
#include <string>
#include <vector>

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

  // The back ends of the active set that the last validation found broken, distinct, in link
  // order. Every candidate, however it was found, is scored against each of them and keeps its
  // best score (scoreCandidate).
  std::vector<std::string> brokenBackEnds;
  // The candidate path of each row of lstDatabases, as LoadListbox drew it: a click means the
  // candidate the user saw, and a redraw keeps the selection with its candidate.
  std::vector<std::string> shownCandidates;

  // A row of lstTables as the page keeps it beside the row: the table the active set needs and
  // the back end that holds it ("" while unresolved). Never parsed back from the shown text, in
  // which a table named "Orders (old)" would look like a table with a path.
  struct RequiredTable {
    std::string table;
    std::string path;
  };
  const std::vector<RequiredTable>& requiredTables() const { return requiredTables_; }
  void clearRequiredTables();
  // Adds a row "<table> (<path>)", or "<table> ()" when path is "", unchecked, item data 0.
  void addRequiredTable(const std::string& table, const std::string& path);
  // Gives row a back end (path "" leaves it unresolved) and its check, both as the page's own
  // change: the table-change guard lets it stand.
  void setRequiredTable(int row, const std::string& path, bool checked);

  // True when the candidate store lists file, in any letter case.
  bool listsCandidate(const std::string& file) const;

  // CalcPriority of a candidate against each broken back end (every back end of the active set
  // when none is broken), the best of them with its counts.
  std::string scoreCandidate(const std::string& file, int& found, int& needed) const;

  void Form_Load() override;
  void Form_Activate() override;
  void lstDatabases_Click();
  void lstTables_ItemCheck(int index);
  void lstTables_GotFocus() {}
  void cmdBrowse_Click();
  void cmdSearch_Click();
  void cmdNext_Click();
  void cmdBack_Click();

  // What became of a file offered as a candidate.
  enum class Offer { Added, Refused, Declined, Failed };
  // Offers a database file the user picked (Browse, the drive search) as a candidate: refuses
  // the front end itself (with frontEndRefusal, which each caller words) and a file already
  // listed, scores it (a file that cannot be scored is Failed), asks before adding one that
  // lacks some required tables (No: Declined), and redraws the visible list. beforeRefusal
  // runs just before either refusal is shown: the search dialog gets out of the way first.
  Offer offerCandidate(const std::string& file, const std::string& frontEndRefusal,
                       const std::function<void()>& beforeRefusal = {});

 private:
  // Shows lblSatisfied (white) while every required table is checked, hides it otherwise.
  void showSatisfied();

  std::vector<RequiredTable> requiredTables_;
};

}  // namespace orvanta
