#include "ui/wizard/frmFixSet.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/Reports.h"
#include "fs/fs.h"
#include "paths/OpenCandidate.h"
#include "paths/modFunctions.h"
#include "search/frmSearch.h"
#include "ui/wizard/SetRewrite.h"
#include "ui/wizard/frmFEMoved.h"
#include "ui/wizard/frmMissingLinks.h"
#include "ui/wizard/frmWizard1.h"
#include "uikit/desktop.h"

namespace orvanta {
namespace {

// The page is taller than the situation pages: two lists share its body.
constexpr int kFixHeight = 7800;
constexpr int kFixButtonTop = kFixHeight - 780;

std::string upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

bool allChecked(const uikit::ListBox& list) {
  for (int i = 0; i < list.ListCount(); ++i) {
    if (!list.Selected(i))
      return false;
  }
  return true;
}

// True when the candidate holds table as a readable local table (a link there does not count:
// relinking to a link would chain front ends).
bool holdsLocalTable(dao::Database& candidate, const std::string& table) {
  for (const dao::TableDef& def : candidate.TableDefs()) {
    if (def.Name() != table)
      continue;
    if (!def.Connect().empty())
      return false;
    try {
      candidate.CheckReadable(table);
      return true;
    } catch (const dao::Error&) {
      return false;
    }
  }
  return false;
}

}  // namespace

frmFixSet::frmFixSet()
    : WizardPage("frmFixSet", "Vantrel Wizard - Fix Link Set",
                 "This portion of the Vantrel Wizard will allow you to select one or more possible "
                 "databases \r\nfrom the list below (Click on items in the list to select/deselect "
                 "all the databases you \r\nneed). When you select a database, the list of "
                 "required tables will be updated to reflect \r\nthe tables that are satisfied. If "
                 "you can't find your database in the list, Browse/Search to \r\nlocate it. Click "
                 "'Next' to Update the link set.\r\n"),
      Frame2(add<uikit::Frame>("Frame2", {kContentLeft, kBodyTop, kContentWidth, 2400})),
      lstDatabases(
          add<uikit::ListBox>("lstDatabases", {120, 240, kContentWidth - 240, 1560}, &Frame2)),
      lsvDatabases(
          add<uikit::ListView>("lsvDatabases", {120, 240, kContentWidth - 240, 1560}, &Frame2)),
      cmdSearch(add<uikit::CommandButton>(
          "cmdSearch", {kContentWidth - 2 * kButtonWidth - 240, 1890, kButtonWidth, kButtonHeight},
          &Frame2)),
      cmdBrowse(add<uikit::CommandButton>(
          "cmdBrowse", {kContentWidth - kButtonWidth - 120, 1890, kButtonWidth, kButtonHeight},
          &Frame2)),
      Frame1(add<uikit::Frame>("Frame1", {kContentLeft, kBodyTop + 2520, kContentWidth, 1920})),
      lstTables(add<uikit::ListBox>("lstTables", {120, 240, kContentWidth - 240, 1560}, &Frame1)),
      lblSatisfied(
          add<uikit::Label>("lblSatisfied", {kContentLeft, kBodyTop + 4500, kContentWidth, 420})),
      Label2(add<uikit::Label>("Label2", {kContentLeft, kBodyTop + 4980, 2760, 255})),
      txtDatabasePath(add<uikit::TextBox>(
          "txtDatabasePath", {kContentLeft + 2820, kBodyTop + 4950, kContentWidth - 2820, 285})),
      txtCallingForm(addCallingFormField()),
      cmdBack(addBackButton()),
      cmdNext(addNextButton()),
      CommonDialog1(add<uikit::CommonDialog>("CommonDialog1")) {
  geometry.height = kFixHeight;
  Image1.geometry.height = kFixButtonTop - 240;
  cmdBack.geometry.top = kFixButtonTop;
  cmdNext.geometry.top = kFixButtonTop;
  txtCallingForm.geometry.top = kFixButtonTop;

  Frame2.Caption = "Possible Databases";
  Frame2.ToolTipText =
      "This is a list of found databases that are scored according to relevance and also "
      "provides the number of matching tables.";
  lstDatabases.MultiSelect = true;
  // The store only holds the candidates; the user sees and picks them in lstDatabases.
  lsvDatabases.Visible = false;
  cmdSearch.Caption = "&Search";
  cmdSearch.ToolTipText = "Click to search one or more drives for a possible match";
  cmdBrowse.Caption = "Bro&wse";
  cmdBrowse.ToolTipText = "Click to Locate your Backend Database";
  Frame1.Caption = "Required Tables";
  lstTables.style = uikit::ListBox::Style::CheckBoxes;
  lblSatisfied.Caption =
      " You've satisfied all required tables with the selected   databases. To change deselect "
      "a database first.";
  lblSatisfied.Visible = false;
  Label2.Caption = "Directory path of failed table link:";
  Label2.ToolTipText =
      "This is the location of the backend database the last time your application was "
      "successfully run.";
  txtDatabasePath.Locked = true;

  lstDatabases.Click = [this] { lstDatabases_Click(); };
  lstTables.ItemCheck = [this](int index) { lstTables_ItemCheck(index); };
  lstTables.GotFocus = [this] { lstTables_GotFocus(); };
  cmdBrowse.Click = [this] { cmdBrowse_Click(); };
  cmdSearch.Click = [this] { cmdSearch_Click(); };
  cmdNext.Click = [this] { cmdNext_Click(); };
  cmdBack.Click = [this] { cmdBack_Click(); };
}

void frmFixSet::Form_Load() {
  const int width = lsvDatabases.geometry.width;
  lsvDatabases.ColumnHeaders = {{"Database Path", width * 63 / 100},
                                {"Score", width * 7 / 100},
                                {"Needed Tables", width * 16 / 100}};
  lsvDatabases.SingleBorder = true;
  lsvDatabases.setSortKey(1);
  lsvDatabases.setSortOrder(uikit::ListView::SortOrder::Descending);
  lsvDatabases.setSorted(true);
}

void frmFixSet::Form_Activate() {
  lstTables.ListIndex = -1;
  // The lists were filled while the page was away: the label tells the truth from the start.
  showSatisfied();
}

void frmFixSet::showSatisfied() {
  if (allChecked(lstTables)) {
    lblSatisfied.Visible = true;
    lblSatisfied.BackColor = uikit::Color::White;
  } else {
    lblSatisfied.Visible = false;
  }
}

void frmFixSet::clearRequiredTables() {
  lstTables.Clear();
  requiredTables_.clear();
}

void frmFixSet::addRequiredTable(const std::string& table, const std::string& path) {
  lstTables.AddItem(table + " (" + path + ")");
  requiredTables_.push_back({table, path});
}

// The guard tells lstTables_ItemCheck that the change is the page's own and must stand; it is
// lowered again even when the check did not change (and so fired no event), so a raised guard
// never lets a later user click through.
void frmFixSet::setRequiredTable(int row, const std::string& path, bool checked) {
  RequiredTable& required = requiredTables_.at(static_cast<std::size_t>(row));
  required.path = path;
  lstTables.SetList(row, required.table + " (" + path + ")");
  if (lstTables.Selected(row) != checked) {
    state().tableChangeGuard = true;
    lstTables.SetSelected(row, checked);
  }
  state().tableChangeGuard = false;
}

std::string frmFixSet::scoreCandidate(const std::string& file, int& found, int& needed) const {
  return BestPriority(file, brokenBackEnds, found, needed);
}

void frmFixSet::lstDatabases_Click() {
  const int row = lstDatabases.ListIndex;
  if (row < 0 || row >= lstDatabases.ListCount() ||
      row >= static_cast<int>(shownCandidates.size())) {
    return;
  }
  const bool selected = lstDatabases.Selected(row);
  if (selected && lblSatisfied.Visible) {
    // Every table is already satisfied: a further candidate has nothing to give.
    uikit::desktop().beep();
    lstDatabases.SetSelected(row, false);
    lblSatisfied.BackColor = uikit::Color::Yellow;
    return;
  }

  uikit::BusyPointer busy;
  try {
    const std::string path = shownCandidates[static_cast<std::size_t>(row)];
    if (!selected) {
      // Release what this candidate satisfied; links valid from the start (item data 1) and
      // tables another candidate holds stay as they are.
      for (int i = 0; i < lstTables.ListCount(); ++i) {
        if (lstTables.ItemData(i) == 0 && requiredTables_.at(i).path == path)
          setRequiredTable(i, "", false);
      }
    } else if (auto candidate = openCandidate(path)) {
      // The first selected candidate that holds a table keeps it: checked rows are left alone.
      for (int i = 0; i < lstTables.ListCount(); ++i) {
        if (lstTables.Selected(i) || lstTables.ItemData(i) != 0)
          continue;
        if (holdsLocalTable(*candidate, requiredTables_.at(i).table))
          setRequiredTable(i, path, true);
      }
    }
  } catch (const dao::Error& error) {
    reportModuleError("lstDatabases_Click", error);
  }

  showSatisfied();
  lstTables.ListIndex = -1;
}

void frmFixSet::lstTables_ItemCheck(int index) {
  ComponentState& s = state();
  if (s.tableChangeGuard) {
    s.tableChangeGuard = false;
    return;
  }
  // The check boxes only show what the chosen candidates satisfy; a user click is undone.
  s.tableChangeGuard = true;
  lstTables.SetSelected(index, !lstTables.Selected(index));
  s.tableChangeGuard = false;
}

void frmFixSet::cmdBrowse_Click() {
  CommonDialog1.FileName = "";
  CommonDialog1.DialogTitle = "Select Database";
  CommonDialog1.InitDir = lastBrowsedFile;
  CommonDialog1.Filter = kDatabaseFilter;
  CommonDialog1.FilterIndex = 1;
  CommonDialog1.ShowOpen();
  const std::string file = CommonDialog1.FileName;
  if (file.empty())
    return;
  lastBrowsedFile = file;
  offerCandidate(file, "You cannot add the current database application to the list.");
}

frmFixSet::Offer frmFixSet::offerCandidate(const std::string& file,
                                           const std::string& frontEndRefusal,
                                           const std::function<void()>& beforeRefusal) {
  using uikit::Buttons;
  using uikit::Icon;
  const bool frontEnd = isCurrentFrontEnd(file);
  const std::string key = upper(file);
  const bool listed =
      std::any_of(lsvDatabases.items().begin(), lsvDatabases.items().end(),
                  [&](const uikit::ListView::ListItem& item) { return upper(item.text) == key; });
  if (frontEnd || listed) {
    if (beforeRefusal)
      beforeRefusal();
    if (frontEnd) {
      uikit::MsgBox(frontEndRefusal, Buttons::OK, Icon::Critical, "Selection Error");
    } else {
      uikit::MsgBox(file + " is already in the list of possible databases.", Buttons::OK,
                    Icon::Information, "Duplicate Database");
    }
    return Offer::Refused;
  }

  int found = 0;
  int needed = 0;
  // Only a regular file can be a database. A FIFO, device or folder under a database's name (or
  // a file gone since it was listed) is no candidate, not a locked one.
  const std::optional<unsigned> kind = vfs::current().Attributes(file);
  const bool regular = kind && (*kind & (vfs::kDirectory | vfs::kSystem)) == 0;
  const std::string score = regular ? scoreCandidate(file, found, needed) : "Error";
  if (score == "Error") {
    uikit::MsgBox("Unable to add " + file + " to the list", Buttons::OK, Icon::Information,
                  "Error Adding Database");
    return Offer::Failed;
  }
  bool add = true;
  if (found != needed) {
    add = uikit::MsgBox("The database you selected contains " + std::to_string(found) + " of " +
                            std::to_string(needed) +
                            " needed tables.\r\n\r\nDo you still want "
                            "to add?",
                        Buttons::YesNo, Icon::Question, "Confirm Selection") == uikit::Answer::Yes;
  }
  if (add) {
    lsvDatabases.AddItem(file, {score, std::to_string(found) + " of " + std::to_string(needed)});
    lsvDatabases.setSorted(true);
  }
  LoadListbox();
  return add ? Offer::Added : Offer::Declined;
}

void frmFixSet::cmdSearch_Click() {
  // The dialog adds the file the user picks through offerCandidate, by the rules of Browse.
  frmSearch& search = uikit::form<frmSearch>();
  search.offerChosen = frmSearch::offerToFixSet;
  search.ShowModal();
}

void frmFixSet::cmdNext_Click() {
  for (int i = 0; i < lstTables.ListCount(); ++i) {
    if (!lstTables.Selected(i) || requiredTables_.at(i).path.empty()) {
      // Some table has no back end yet: the user decides what becomes of it first.
      handOver(uikit::form<frmMissingLinks>());
      return;
    }
  }
  runNextModule([this] {
    rewriteActiveSetLinks(chosenLinks(*this));
    finish();
  });
}

void frmFixSet::cmdBack_Click() {
  if (txtCallingForm.Text == "frmFEMoved") {
    handOver(uikit::form<frmFEMoved>());
  } else {
    handOver(uikit::form<frmWizard1>());
  }
}

}  // namespace orvanta
