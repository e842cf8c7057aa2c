#include "ui/sets/frmSwitchSetManager.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/FrontEndAccess.h"
#include "engine/Reports.h"
#include "orvanta/clsOrvanta.h"
#include "ui/sets/SetSwitch.h"
#include "uikit/desktop.h"

namespace orvanta {
namespace {

// Layout, in twips: the set list and the table list side by side, the description below them,
// then the validity label and the buttons.
constexpr int kFrameTop = 120;
constexpr int kListFrameWidth = 3075;
constexpr int kListFrameHeight = 3000;
constexpr int kListInset = 120;
constexpr int kFullWidth = 2 * kListFrameWidth + 120;
constexpr int kDescTop = kFrameTop + kListFrameHeight + 120;
constexpr int kDescHeight = 1020;
constexpr int kLabelTop = kDescTop + kDescHeight + 120;
constexpr int kButtonTop = kLabelTop + 420;
constexpr int kButtonWidth = 1215;
constexpr int kButtonHeight = 375;

constexpr const char* kValidText = "All links in this link set are valid";
constexpr const char* kInvalidText = "This link set contains invalid links";

// Every read of this window goes through here. A front end that refuses writes fails a
// read-write open, yet its sets can still be shown.
std::unique_ptr<dao::Database> openForReading() {
  const std::string& path = linkSetDatabase();
  return dao::OpenDatabase(path, 0, detail::frontEndReadOnly(path));
}

// The set rows in table order; none when the front end has no link-set tables at all.
std::vector<StoredSet> readSetTable() {
  return storedSets(*openForReading());
}

}  // namespace

frmSwitchSetManager::frmSwitchSetManager()
    : uikit::Form("frmSwitchSetManager"),
      cmdCancel(add<uikit::CommandButton>(
          "cmdCancel", {120 + kFullWidth - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight})),
      cmdOk(add<uikit::CommandButton>("cmdOk", {120 + kFullWidth - 2 * kButtonWidth - 120,
                                                kButtonTop, kButtonWidth, kButtonHeight})),
      Frame3(add<uikit::Frame>("Frame3", {120, kFrameTop, kListFrameWidth, kListFrameHeight})),
      lstLinkSets(add<uikit::ListBox>(
          "lstLinkSets",
          {kListInset, 300, kListFrameWidth - 2 * kListInset, kListFrameHeight - 420}, &Frame3)),
      Frame2(add<uikit::Frame>(
          "Frame2", {240 + kListFrameWidth, kFrameTop, kListFrameWidth, kListFrameHeight})),
      lstTables(add<uikit::ListBox>(
          "lstTables", {kListInset, 300, kListFrameWidth - 2 * kListInset, kListFrameHeight - 420},
          &Frame2)),
      Frame1(add<uikit::Frame>("Frame1", {120, kDescTop, kFullWidth, kDescHeight})),
      txtDesc(add<uikit::TextBox>(
          "txtDesc", {kListInset, 300, kFullWidth - 2 * kListInset, kDescHeight - 420}, &Frame1)),
      lblLinkSetStatus(add<uikit::Label>("lblLinkSetStatus", {120, kLabelTop, kFullWidth, 300})) {
  Caption = "Vantrel Set Switch Manager";
  geometry = {0, 0, kFullWidth + 360, kButtonTop + kButtonHeight + 600};
  cmdCancel.Caption = "&Cancel";
  cmdOk.Caption = "&OK";
  Frame3.Caption = "Select Link Set to Make Active";
  Frame2.Caption = "Tables in Set";
  Frame1.Caption = "Set Description";
  txtDesc.MultiLine = true;
  txtDesc.Locked = true;
  lblLinkSetStatus.Caption = kValidText;
  lblLinkSetStatus.BackColor = uikit::Color::ButtonFace;

  cmdCancel.Click = [this] { cmdCancel_Click(); };
  cmdOk.Click = [this] { cmdOk_Click(); };
  lstLinkSets.Click = [this] { lstLinkSets_Click(); };
  lstTables.Click = [this] { lstTables_Click(); };
}

void frmSwitchSetManager::Form_Load() {
  try {
    clsOrvanta instance;
    std::vector<StoredSet> sets = readSetTable();
    // Validation stores a verdict with every set: with no sets there is nothing to judge (and
    // perhaps no table to judge them in), and a read-only front end shows the verdicts stored.
    if (!sets.empty() && !detail::frontEndReadOnly(linkSetDatabase())) {
      ValidateLinkSets();
      sets = readSetTable();  // with the verdicts just stored
    }
    sets_ = std::move(sets);
    int activeIndex = 0;
    for (std::size_t i = 0; i < sets_.size(); ++i) {
      if (sets_[i].active) {
        lstLinkSets.AddItem(sets_[i].name + " (ACTIVE)");
        activeIndex = static_cast<int>(i);  // the last active row wins
      } else {
        lstLinkSets.AddItem(sets_[i].name);
      }
    }
    if (!sets_.empty()) {
      LoadTables(activeIndex);
      lstLinkSets.ListIndex = activeIndex;
    }
  } catch (const dao::Error& e) {
    reportEngineError("Form_Load", e);
  }
  if (lstLinkSets.ListCount() == 0) {
    // An ordinary state, not a failure: a front end without link sets has nothing to switch
    // to, and no set whose validity the label could state.
    cmdOk.Enabled = false;
    lblLinkSetStatus.Visible = false;
  }
}

void frmSwitchSetManager::LoadTables(int index) {
  txtDesc.Text.clear();
  lstTables.Clear();
  if (index < 0 || index >= static_cast<int>(sets_.size()))
    return;
  const StoredSet& set = sets_[static_cast<std::size_t>(index)];
  txtDesc.Text = set.description;
  if (!set.valid) {
    lblLinkSetStatus.Caption = kInvalidText;
    lblLinkSetStatus.BackColor = uikit::Color::Yellow;
  } else {
    lblLinkSetStatus.Caption = kValidText;
    lblLinkSetStatus.BackColor = uikit::Color::ButtonFace;
  }
  try {
    auto db = openForReading();
    auto rows = db->OpenRecordset(
        "SELECT * FROM tblLinkedTables WHERE LinkSetID = " + std::to_string(set.id),
        dao::dbOpenSnapshot);
    for (; !rows->AtEOF(); rows->MoveNext())
      lstTables.AddItem(rows->Field("TableName").AsString());
  } catch (const dao::Error& e) {
    reportEngineError("LoadTables", e);
  }
}

void frmSwitchSetManager::lstLinkSets_Click() {
  LoadTables(lstLinkSets.ListIndex);
}

void frmSwitchSetManager::lstTables_Click() {
  lstTables.ListIndex = -1;
  lstLinkSets.SetFocus();
}

void frmSwitchSetManager::cmdOk_Click() {
  clsOrvanta instance;
  {
    uikit::BusyPointer busy;
    try {
      if (lstTables.ListCount() == 0) {
        uikit::MsgBox(std::string("The link set you selected has no table links defined.") +
                          uikit::vbCrLf + "You cannot switch to this set." + uikit::vbCrLf +
                          uikit::vbCrLf +
                          "Use Set Manager to add tables to this link set and then set it active.",
                      uikit::Buttons::OK, uikit::Icon::Information, "Invalid Link Set");
        lstLinkSets.SetFocus();
        return;
      }
      const int index = lstLinkSets.ListIndex;
      if (index < 0 || index >= static_cast<int>(sets_.size()))
        return;
      const std::string& frontEnd = linkSetDatabase();
      if (detail::frontEndReadOnly(frontEnd)) {
        // Said once, before anything is tried: each step would otherwise fail with a raw
        // error of its own.
        uikit::MsgBox("The front end " + frontEnd +
                          " is read-only, so Vantrel cannot switch it to another link set." +
                          uikit::vbCrLf + uikit::vbCrLf +
                          "Make the file and its folder writable, then try again.",
                      uikit::Buttons::OK, uikit::Icon::Exclamation, "Read-Only Front End");
        return;
      }
      const bool relinked = switchToLinkSet(sets_[static_cast<std::size_t>(index)].id);
      const bool valid = ValidateLinkSets();
      if (relinked && valid) {
        Unload();
        return;
      }
      // A set that does not validate, or links that could not be rebuilt: the start-up check
      // sees exactly that state and leads the repair.
      repairPending_ = true;
    } catch (const dao::Error& e) {
      reportEngineError("cmdOK_Click", e);
      return;
    }
  }
  Hide();
}

void frmSwitchSetManager::cmdCancel_Click() {
  Unload();
}

void showSwitchSetManager() {
  uikit::form<frmSwitchSetManager>().ShowModal();
  const uikit::FormRegistry& registry = uikit::FormRegistry::current();
  if (registry.isLoaded<frmSwitchSetManager>() &&
      uikit::form<frmSwitchSetManager>().repairPending()) {
    // The check unloads every window at its end, this hidden one included.
    clsOrvanta repairer;
    repairer.CheckLinkedTables(state().currentFrontEndPath);
  }
}

}  // namespace orvanta
