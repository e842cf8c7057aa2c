#include "search/frmSearch.h"

#include <set>
#include <string>
#include <vector>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Reports.h"
#include "search/SearchShared.h"
#include "search/clsFileSearch.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/desktop.h"

namespace orvanta {
namespace {

// Layout, in twips: the drives and Select All on the left, the explanation right of them with
// the two search buttons under it, the found files across the window, OK and Cancel at the
// bottom right, and the status bar docked below everything.
constexpr int kWidth = 10800;
constexpr int kTopHeight = 1920;
constexpr int kMsgLeft = 3240;
constexpr int kFilesTop = 2640;
constexpr int kButtonTop = 5280;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;

}  // namespace

bool frmSearch::offerToFixSet(const std::string& file) {
  frmSearch& dialog = uikit::form<frmSearch>();
  // A refusal hides the dialog before it is shown, so the message stands over the page.
  return uikit::form<frmFixSet>().offerCandidate(
             file, "You cannot add the current frontend application to the list.",
             [&dialog] { dialog.Hide(); }) == frmFixSet::Offer::Added;
}

frmSearch::frmSearch()
    : Form("frmSearch"),
      txtMsg(add<uikit::TextBox>("txtMsg", {kMsgLeft, 120, kWidth - kMsgLeft - 120, kTopHeight})),
      LstDrives(add<uikit::ListBox>("LstDrives", {120, 120, kMsgLeft - 240, kTopHeight - 360})),
      chkSelectAll(
          add<uikit::CheckBox>("chkSelectAll", {120, kTopHeight - 120, kMsgLeft - 240, 300})),
      cmdSearch(add<uikit::CommandButton>("cmdSearch",
                                          {kMsgLeft, kTopHeight + 180, 1560, kButtonHeight})),
      cmdStop(add<uikit::CommandButton>("cmdStop",
                                        {kMsgLeft + 1680, kTopHeight + 180, 1560, kButtonHeight})),
      lstFiles(add<uikit::ListBox>("lstFiles", {120, kFilesTop, kWidth - 240, 2520})),
      cmdOk(add<uikit::CommandButton>(
          "cmdOk", {kWidth - 2 * kButtonWidth - 240, kButtonTop, kButtonWidth, kButtonHeight})),
      cmdCancel(add<uikit::CommandButton>(
          "cmdCancel", {kWidth - kButtonWidth - 120, kButtonTop, kButtonWidth, kButtonHeight})),
      sbrSearchStatus(add<uikit::StatusBar>("sbrSearchStatus")) {
  Caption = "Database File Search";
  geometry = {0, 0, kWidth, kButtonTop + kButtonHeight + 600};
  txtMsg.MultiLine = true;
  txtMsg.Locked = true;
  txtMsg.Text =
      "The Database File Search will perform an exhaustive search of your \r\ncomputer.  The "
      "list to the left contains all active drives for this \r\ncomputer, including mapped "
      "drives.  To begin the search, select all the \r\ndrives you want to search or check the "
      "'Select All' option to search \r\nall active drives.  Click 'Start Search' to begin.  "
      "After the search is \r\ncomplete, select the correct database from the list and click "
      "'Ok' or you \r\ncan cancel the operation.\r\n";
  LstDrives.style = uikit::ListBox::Style::CheckBoxes;
  chkSelectAll.Caption = "Select All";
  cmdSearch.Caption = "&Start Search";
  cmdStop.Caption = "Sto&p Search";
  cmdStop.Enabled = false;
  cmdOk.Caption = "&OK";
  cmdCancel.Caption = "&Cancel";
  sbrSearchStatus.Panels = {{"", 0}};
  searchShared().statusBar = &sbrSearchStatus;
  offerChosen = offerToFixSet;

  chkSelectAll.Click = [this] { chkSelectAll_Click(); };
  cmdSearch.Click = [this] { cmdSearch_Click(); };
  cmdStop.Click = [this] { cmdStop_Click(); };
  lstFiles.Click = [this] { lstFiles_Click(); };
  cmdOk.Click = [this] { cmdOk_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

frmSearch::~frmSearch() {
  if (searchShared().statusBar == &sbrSearchStatus)
    searchShared().statusBar = nullptr;
}

void frmSearch::Form_Load() {
  clsFileSearch search;
  cmdOk.Enabled = false;
  // Entries are whole paths here, not three-character roots: the list is split at its NULs.
  const std::string drives = search.GetDriveStrings();
  for (std::size_t at = 0; at < drives.size() && drives[at] != '\0';) {
    const std::size_t end = drives.find('\0', at);
    LstDrives.AddItem(drives.substr(at, end - at));
    at = end == std::string::npos ? drives.size() : end + 1;
  }
}

void frmSearch::Form_Unload() {
  // A search still running would go on for a window nobody sees. (Stop is enabled only while
  // one runs; the flag stays down otherwise, for whoever searches next.)
  if (cmdStop.Enabled)
    searchShared().stopFlag = true;
}

void frmSearch::chkSelectAll_Click() {
  for (int i = 0; i < LstDrives.ListCount(); ++i)
    LstDrives.SetSelected(i, chkSelectAll.Value == 1);
}

void frmSearch::cmdSearch_Click() {
  searchShared().stopFlag = false;
  uikit::desktop().setBusy(true);
  cmdStop.Enabled = true;
  cmdSearch.Enabled = false;
  lstFiles.Clear();
  // Buttons and pointer come back however the search ends.
  struct Idle {
    frmSearch& form;
    ~Idle() {
      uikit::desktop().setBusy(false);
      form.cmdStop.Enabled = false;
      form.cmdSearch.Enabled = true;
    }
  } idle{*this};

  clsFileSearch search;
  search.FileSpec = "*.MDB";
  // A drive inside another (the home folder inside "/") finds some files twice; each is
  // listed once.
  std::set<std::string> listed;
  // The front end's own path is never offered; the same file under another name is listed,
  // and OK refuses it.
  const std::string frontEnd = state().currentFrontEndPath;
  for (int row = 0; row < LstDrives.ListCount(); ++row) {
    if (!LstDrives.Selected(row))
      continue;
    search.Path = LstDrives.List(row);
    std::vector<std::string> files;
    if (!search.FindAll(files))
      continue;
    for (const std::string& file : files) {
      if (!file.empty() && file != frontEnd && listed.insert(file).second)
        lstFiles.AddItem(file);
    }
  }
}

void frmSearch::cmdStop_Click() {
  searchShared().stopFlag = true;
  cmdStop.Enabled = false;
}

void frmSearch::lstFiles_Click() {
  if (!lstFiles.Text().empty())
    cmdOk.Enabled = true;
}

void frmSearch::cmdOk_Click() {
  const std::string file = lstFiles.Text();
  if (file.empty()) {
    uikit::MsgBox("You must select a file from the list!", uikit::Buttons::OK,
                  uikit::Icon::Information, "No File Selected");
    return;
  }
  try {
    if (offerChosen && offerChosen(file))
      Hide();
  } catch (const dao::Error& error) {
    reportEngineError("cmdOK_Click", error);
  }
}

void frmSearch::cmdCancel_Click() {
  Unload();
}

}  // namespace orvanta
