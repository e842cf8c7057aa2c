#include "ui/relink/frmLinkManager.h"

#include <string>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/Reports.h"
#include "orvanta/clsOrvanta.h"
#include "paths/CandidateList.h"
#include "paths/modFunctions.h"
#include "search/frmSearch.h"
#include "ui/relink/StatusImages.h"
#include "ui/relink/frmLegend.h"
#include "ui/relink/frmScoring.h"
#include "uikit/desktop.h"

namespace orvanta {
namespace {

using uikit::vbCrLf;

// Layout, in twips. The top part (active set, buttons, link information) never moves; the Link
// Status frame opens below it and pushes the candidate frame and the buttons down.
constexpr int kWidth = 11415;
constexpr int kFrameLeft = 120;
constexpr int kFrameWidth = kWidth - 360;
constexpr int kInnerWidth = kFrameWidth - 240;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;

struct Layout {
  bool statusVisible;
  int dataSourcesTop;
  int buttonTop;
  int height;
  const char* expandCaption;
};
constexpr Layout kCollapsed{false, 3180, 5460, 6345, "Show Link Status"};
constexpr Layout kExpanded{true, 5505, 7785, 8670, "Hide Link Status"};

std::string text2() {
  return std::string(
             "Below is a representation of your current linked tables.  Each seperate "
             "database that you have tables linked ") +
         vbCrLf +
         "to is displayed.  To find out the status of each linked table, click the '+' sign to "
         "expand each database." +
         vbCrLf;
}

std::string text1() {
  return std::string(
             "Below is a list of possible databases to re-establish your links to.  "
             "Select a database and click 'Relink'. ") +
         vbCrLf +
         "Alternately,  you can click 'Browse' or 'Search'  to locate a different database "
         "with which to try and relink." +
         vbCrLf;
}

}  // namespace

frmLinkManager::frmLinkManager()
    : uikit::Form("frmLinkManager"),
      Label1(add<uikit::Label>("Label1", {kFrameLeft, 150, 2460, 255})),
      lblActiveLinkSet(add<uikit::Label>("lblActiveLinkSet", {2640, 150, 4560, 255})),
      lblTableName(add<uikit::Label>("lblTableName", {7320, 150, 3975, 255})),
      cmdSetMgr(add<uikit::CommandButton>("cmdSetMgr", {kFrameLeft, 510, 1935, kButtonHeight})),
      lblStatusMsg(add<uikit::Label>("lblStatusMsg", {2250, 570, 6900, 255})),
      cmdExpand(add<uikit::CommandButton>(
          "cmdExpand", {kFrameLeft + kFrameWidth - 1815, 510, 1815, kButtonHeight})),
      Frame2(add<uikit::Frame>("Frame2", {kFrameLeft, 1020, kFrameWidth, 2040})),
      txtLinkStatus(add<uikit::TextBox>("txtLinkStatus", {120, 270, kInnerWidth, 1335}, &Frame2)),
      Label2(add<uikit::Label>("Label2", {120, 1710, 3300, 225}, &Frame2)),
      lblDatabasePath(
          add<uikit::Label>("lblDatabasePath", {3480, 1710, kInnerWidth - 3360, 225}, &Frame2)),
      fraLinkStatus(add<uikit::Frame>("fraLinkStatus", {kFrameLeft, 3180, kFrameWidth, 2205})),
      Text2(add<uikit::TextBox>("Text2", {120, 270, kInnerWidth, 705}, &fraLinkStatus)),
      treLinkStatus(add<uikit::TreeView>("treLinkStatus", {120, 1035, kInnerWidth - 3000, 1050},
                                         &fraLinkStatus)),
      Label4(add<uikit::Label>("Label4", {kInnerWidth - 2760, 1065, 2880, 480}, &fraLinkStatus)),
      cmdLegend(add<uikit::CommandButton>(
          "cmdLegend", {kInnerWidth - 2760, 1620, 1575, kButtonHeight}, &fraLinkStatus)),
      fraDataSources(add<uikit::Frame>("fraDataSources",
                                       {kFrameLeft, kCollapsed.dataSourcesTop, kFrameWidth, 2160})),
      Text1(add<uikit::TextBox>("Text1", {120, 270, kInnerWidth, 540}, &fraDataSources)),
      lsvDatabases(
          add<uikit::ListView>("lsvDatabases", {120, 870, kInnerWidth, 855}, &fraDataSources)),
      Label3(add<uikit::Label>("Label3", {kInnerWidth - 6300, 1830, 4800, 225}, &fraDataSources)),
      cmdOpenScoring(add<uikit::CommandButton>(
          "cmdOpenScoring", {kFrameLeft + kInnerWidth - 1335, 1770, 1335, 345}, &fraDataSources)),
      cmdBrowse(add<uikit::CommandButton>(
          "cmdBrowse", {kFrameLeft, kCollapsed.buttonTop, kButtonWidth, kButtonHeight})),
      cmdSearch(add<uikit::CommandButton>(
          "cmdSearch",
          {kFrameLeft + kButtonWidth + 120, kCollapsed.buttonTop, kButtonWidth, kButtonHeight})),
      cmdOK(
          add<uikit::CommandButton>("cmdOK", {kFrameLeft + kFrameWidth - 2 * kButtonWidth - 120,
                                              kCollapsed.buttonTop, kButtonWidth, kButtonHeight})),
      cmdCancel(add<uikit::CommandButton>(
          "cmdCancel", {kFrameLeft + kFrameWidth - kButtonWidth, kCollapsed.buttonTop, kButtonWidth,
                        kButtonHeight})),
      CommonDialog1(add<uikit::CommonDialog>("CommonDialog1")),
      imgLinkStatus(add<uikit::ImageList>("imgLinkStatus")) {
  Caption = "Relink Manager";
  geometry = {0, 0, kWidth, kCollapsed.height};
  Label1.Caption = "Current Active Link Set:";
  lblActiveLinkSet.Caption = "Current Set";
  lblTableName.Caption = "TableName";
  cmdSetMgr.Caption = "&Open Set Manager";
  cmdExpand.Caption = kCollapsed.expandCaption;
  lblStatusMsg.Caption = "To view the status of individual table links Click Here --->";
  fraLinkStatus.Caption = "Link Status";
  Text2.Text = text2();
  Text2.MultiLine = true;
  Text2.Locked = true;
  treLinkStatus.ImageList = "imgLinkStatus";
  Label4.Caption = "For more information on the Status symbols Click Here --->";
  cmdLegend.Caption = "Status Legend";
  cmdLegend.ToolTipText = "Display Information on How Score is Calculated";
  Frame2.Caption = "Link Information";
  txtLinkStatus.MultiLine = true;
  txtLinkStatus.Locked = true;
  Label2.Caption = "Directory path of failed table link:";
  lblDatabasePath.Caption = "DatabasePath";
  fraDataSources.Caption = "Possible Data Sources";
  Text1.Text = text1();
  Text1.MultiLine = true;
  Text1.Locked = true;
  Label3.Caption = "To see how the Score is calculated Click Here --->";
  cmdOpenScoring.Caption = "What's Score?";
  cmdOK.Caption = "&Relink";
  cmdCancel.Caption = "&Done";
  cmdBrowse.Caption = "&Browse";
  cmdSearch.Caption = "&Search";
  for (const StatusImage& image : kStatusImages)
    imgLinkStatus.ListImages.push_back({image.key, image.picture});

  lsvDatabases.ItemClick = [this](int index1) { lsvDatabases_ItemClick(index1); };
  lsvDatabases.ColumnClick = [this](int column) { lsvDatabases_ColumnClick(column); };
  cmdExpand.Click = [this] { cmdExpand_Click(); };
  cmdBrowse.Click = [this] { cmdBrowse_Click(); };
  cmdSearch.Click = [this] { cmdSearch_Click(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
  cmdSetMgr.Click = [this] { cmdSetMgr_Click(); };
  cmdLegend.Click = [this] { cmdLegend_Click(); };
  cmdOpenScoring.Click = [this] { cmdOpenScoring_Click(); };
}

void frmLinkManager::Form_Load() {
  try {
    SetUpCandidateList(lsvDatabases, 64, 7, 13);
    rememberedSortColumn = 1;
    lblActiveLinkSet.Caption = state().activeSetName;
    applyLayout(false);
    const bool known = !lblDatabasePath.Caption.empty();
    cmdBrowse.Enabled = known;
    cmdSearch.Enabled = known;
  } catch (const std::exception& e) {
    uikit::MsgBox(std::string("Form_Load - ") + e.what() + ": " + std::to_string(dao::kErrInternal),
                  uikit::Buttons::OK, uikit::Icon::Critical, "Form_Load");
  }
}

void frmLinkManager::Form_Activate() {
  lsvDatabases.SetFocus();
  lblActiveLinkSet.Caption = state().activeSetName;
  if (lsvDatabases.Count() == 0)
    cmdOK.Enabled = false;
}

void frmLinkManager::Form_Unload() {
  LMObj = nullptr;
}

void frmLinkManager::lsvDatabases_ItemClick(int /*index1*/) {
  cmdOK.Enabled = true;
}

void frmLinkManager::lsvDatabases_ColumnClick(int column) {
  const int key = column - 1;
  lsvDatabases.setSortKey(key);
  if (key == rememberedSortColumn) {
    lsvDatabases.setSortOrder(lsvDatabases.sortOrder() == uikit::ListView::SortOrder::Descending
                                  ? uikit::ListView::SortOrder::Ascending
                                  : uikit::ListView::SortOrder::Descending);
  } else {
    rememberedSortColumn = key;
  }
  lsvDatabases.setSorted(true);
}

void frmLinkManager::applyLayout(bool expanded) {
  const Layout& layout = expanded ? kExpanded : kCollapsed;
  fraLinkStatus.Visible = layout.statusVisible;
  fraDataSources.geometry.top = layout.dataSourcesTop;
  for (uikit::CommandButton* button : {&cmdBrowse, &cmdOK, &cmdSearch, &cmdCancel})
    button->geometry.top = layout.buttonTop;
  geometry.height = layout.height;
  cmdExpand.Caption = layout.expandCaption;
  lblStatusMsg.Visible = !layout.statusVisible;
}

void frmLinkManager::cmdExpand_Click() {
  try {
    applyLayout(cmdExpand.Caption == kCollapsed.expandCaption);
    lsvDatabases.SetFocus();
  } catch (const std::exception& e) {
    reportEngineError("cmdExpand_Click", dao::kErrInternal, e.what());
  }
}

bool frmLinkManager::addDatabase(const std::string& file) {
  int found = 0;
  int needed = 0;
  const std::string score = CalcPriority(file, lblDatabasePath.Caption, found, needed);
  if (score == "Error") {
    ReportUnscorableCandidate(file);
    lsvDatabases.SetFocus();
    return false;
  }
  if (!ConfirmCandidate(found, needed)) {
    lsvDatabases.SetFocus();
    return false;
  }
  const int index = AddCandidateRow(lsvDatabases, file, score, found, needed);
  lsvDatabases.SetFocus();
  // Sorting moves rows: the new row is found again by its place after the sort.
  lsvDatabases.SetSelectedItem(index);
  return true;
}

void frmLinkManager::cmdBrowse_Click() {
  const std::string file = BrowseForCandidate(CommonDialog1, chosenDatabasePath);
  if (file.empty())
    return;
  chosenDatabasePath = file;
  addDatabase(file);
}

void frmLinkManager::cmdSearch_Click() {
  // The file the user picks joins this window's list, scored and confirmed as Browse does.
  frmSearch& search = uikit::form<frmSearch>();
  search.offerChosen = [this](const std::string& file) { return addDatabase(file); };
  search.ShowModal();
}

void frmLinkManager::cmdOK_Click() {
  try {
    const int selected = lsvDatabases.SelectedIndex();
    if (selected == 0) {
      uikit::MsgBox("You must select a database");
      return;
    }
    chosenDatabasePath = lsvDatabases.Item(selected).text;
    const long result = RelinkDatabase(lblDatabasePath.Caption, chosenDatabasePath);
    switch (result) {
      case 0:
        state().relinkDone = true;
        Unload();
        return;
      case 1:  // the user cancelled the "Missing Tables" question
        lsvDatabases.SetFocus();
        return;
      case dao::kErrTableNotFound:
      case dao::kErrObjectNotFound:
        return;
      default:
        // Nothing was relinked (the relink is all or nothing): say so, and let the user choose
        // another database instead of testing links that did not change.
        reportEngineError("cmdOK_Click", static_cast<int>(result),
                          "The tables of " + lblDatabasePath.Caption +
                              " could not be relinked to " + chosenDatabasePath +
                              ". The front end and its link set are unchanged.");
        lsvDatabases.SetFocus();
        return;
    }
  } catch (const std::exception& e) {
    reportEngineError("cmdOK_Click", dao::kErrInternal, e.what());
  }
}

void frmLinkManager::cmdCancel_Click() {
  state().relinkDone = false;
  Unload();
}

void frmLinkManager::cmdSetMgr_Click() {
  if (!LMObj)
    return;
  const std::string frontEnd = state().currentFrontEndPath;
  LMObj->OpenSetManager(frontEnd);
  // Opening the Set Manager reloads the active set, which points the link-set database at the
  // path the set recorded; the sets live in this front end, wherever it was recorded.
  state().linkSetDatabasePath = frontEnd;
}

void frmLinkManager::cmdLegend_Click() {
  lsvDatabases.SetFocus();
  uikit::form<frmLegend>().ShowModal();
}

void frmLinkManager::cmdOpenScoring_Click() {
  try {
    uikit::form<frmScoring>().ShowModal();
  } catch (const std::exception&) {
  }
}

}  // namespace orvanta
