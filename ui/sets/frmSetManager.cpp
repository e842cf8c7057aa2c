#include "ui/sets/frmSetManager.h"

#include <initializer_list>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/Procedure.h"
#include "ui/sets/SetRows.h"
#include "ui/wizard/frmCreateNewSet.h"
#include "uikit/desktop.h"

namespace orvanta {
namespace {

using uikit::Answer;
using uikit::Buttons;
using uikit::Icon;

// Layout, in twips, inside fraLinkSets.
constexpr int kPad = 240;
constexpr int kRight = 8640;  // right edge of the contents
constexpr int kButtonHeight = 375;
constexpr int kSetButtonWidth = 1140;
constexpr int kLinkButtonWidth = 1335;
constexpr int kGap = 60;
constexpr int kSetButtonsTop = 1290;
constexpr int kLinkButtonsTop = 5130;

uikit::Geometry setButton(int index) {
  return {kPad + index * (kSetButtonWidth + kGap), kSetButtonsTop, kSetButtonWidth, kButtonHeight};
}
uikit::Geometry linkButton(int index) {
  return {kPad + index * (kLinkButtonWidth + kGap), kLinkButtonsTop, kLinkButtonWidth,
          kButtonHeight};
}

}  // namespace

frmSetManager::frmSetManager()
    : uikit::Form("frmSetManager"),
      fraLinkSets(add<uikit::Frame>("fraLinkSets", {120, 120, kRight + kPad, 5745})),
      lblSet1(add<uikit::Label>("lblSet1", {kPad, 390, 480, 255}, &fraLinkSets)),
      txtSetName(add<uikit::TextBox>("txtSetName", {720, 360, 3600, 315}, &fraLinkSets)),
      lblActiveSet(add<uikit::Label>("lblActiveSet", {4500, 390, 900, 255}, &fraLinkSets)),
      lblSet(add<uikit::Label>("lblSet", {kRight - 1590, 390, 390, 255}, &fraLinkSets)),
      Label2(add<uikit::Label>("Label2", {kRight - 1170, 390, 240, 255}, &fraLinkSets)),
      lblTotal(add<uikit::Label>("lblTotal", {kRight - 900, 390, 390, 255}, &fraLinkSets)),
      Label3(add<uikit::Label>("Label3", {kRight - 480, 390, 480, 255}, &fraLinkSets)),
      lblDescription(add<uikit::Label>("lblDescription", {kPad, 840, 1080, 255}, &fraLinkSets)),
      txtDescription(
          add<uikit::TextBox>("txtDescription", {1320, 810, kRight - 1320, 315}, &fraLinkSets)),
      cmdPrevious(add<uikit::CommandButton>("cmdPrevious", setButton(0), &fraLinkSets)),
      cmdNextSet(add<uikit::CommandButton>("cmdNextSet", setButton(1), &fraLinkSets)),
      cmdCreateLinkSet(add<uikit::CommandButton>("cmdCreateLinkSet", setButton(2), &fraLinkSets)),
      cmdDuplicateLinkSet(
          add<uikit::CommandButton>("cmdDuplicateLinkSet", setButton(3), &fraLinkSets)),
      cmdUpdateLinkSet(add<uikit::CommandButton>("cmdUpdateLinkSet", setButton(4), &fraLinkSets)),
      cmdDeleteLinkSet(add<uikit::CommandButton>("cmdDeleteLinkSet", setButton(5), &fraLinkSets)),
      cmdSetActiveLinkSet(
          add<uikit::CommandButton>("cmdSetActiveLinkSet", setButton(6), &fraLinkSets)),
      Frame1(add<uikit::Frame>("Frame1", {kPad, 1800, kRight - kPad, 30}, &fraLinkSets)),
      lblLinks(add<uikit::Label>("lblLinks", {kPad, 1950, 1200, 255}, &fraLinkSets)),
      lstTableLinks(
          add<uikit::ListBox>("lstTableLinks", {kPad, 2250, kRight - kPad, 2760}, &fraLinkSets)),
      chkSelectAll(
          add<uikit::CheckBox>("chkSelectAll", {kRight - 1320, 1920, 1320, 285}, &fraLinkSets)),
      cmdAddLink(add<uikit::CommandButton>("cmdAddLink", linkButton(0), &fraLinkSets)),
      cmdAddExisting(add<uikit::CommandButton>("cmdAddExisting", linkButton(1), &fraLinkSets)),
      cmdRemoveLink(add<uikit::CommandButton>("cmdRemoveLink", linkButton(2), &fraLinkSets)),
      cmdUpdateLinks(add<uikit::CommandButton>("cmdUpdateLinks", linkButton(3), &fraLinkSets)),
      cmdOk(add<uikit::CommandButton>(
          "cmdOk", {kRight - kLinkButtonWidth, kLinkButtonsTop, kLinkButtonWidth, kButtonHeight},
          &fraLinkSets)),
      txtOrigSetName(add<uikit::TextBox>("txtOrigSetName", {120, 120, 1200, 285})),
      txtOrigDescription(add<uikit::TextBox>("txtOrigDescription", {1440, 120, 1200, 285})),
      CommonDialog1(add<uikit::CommonDialog>("CommonDialog1")) {
  Caption = "Set Manager";
  geometry = {0, 0, 120 + kRight + kPad + 120, 6000};
  fraLinkSets.Caption = "Link Sets";
  lblSet1.Caption = "Set";
  lblActiveSet.Caption = "ACTIVE";
  Label2.Caption = "of";
  Label3.Caption = "Sets";
  lblDescription.Caption = "Description";
  lblLinks.Caption = "Links";
  chkSelectAll.Caption = "Select All";
  lstTableLinks.MultiSelect = true;
  txtOrigSetName.Visible = false;
  txtOrigDescription.Visible = false;

  const struct {
    uikit::CommandButton& button;
    const char* caption;
    const char* tip;
    void (frmSetManager::*handler)();
  } buttons[] = {
      {cmdPrevious, "Pre&vious", "Move to Previous Set", &frmSetManager::cmdPrevious_Click},
      {cmdNextSet, "Ne&xt", "Move to Next Set", &frmSetManager::cmdNextSet_Click},
      {cmdCreateLinkSet, "&Create", "Create a New Link Set",
       &frmSetManager::cmdCreateLinkSet_Click},
      {cmdDuplicateLinkSet, "Du&plicate", "Create a 'Copy of' Current Link Set",
       &frmSetManager::cmdDuplicateLinkSet_Click},
      {cmdUpdateLinkSet, "&Update", "Enable Editing of Current Link Set",
       &frmSetManager::cmdUpdateLinkSet_Click},
      {cmdDeleteLinkSet, "&Delete", "Delete Current Link Set",
       &frmSetManager::cmdDeleteLinkSet_Click},
      {cmdSetActiveLinkSet, "&Set Active", "Make the Current Link Set Active",
       &frmSetManager::cmdSetActiveLinkSet_Click},
      {cmdAddLink, "&Add", "Add new linked tables to this link set",
       &frmSetManager::cmdAddLink_Click},
      {cmdAddExisting, "Add &Existing", "Add the existing linked tables to this link set",
       &frmSetManager::cmdAddExisting_Click},
      {cmdRemoveLink, "&Remove", "Remove the selected linked tables from this link set",
       &frmSetManager::cmdRemoveLink_Click},
      {cmdUpdateLinks, "Upda&te", "Select the linked tables in this link set you wish to update",
       &frmSetManager::cmdUpdateLinks_Click},
      {cmdOk, "&OK", "Close Set Manager", &frmSetManager::cmdOk_Click},
  };
  for (const auto& b : buttons) {
    b.button.Caption = b.caption;
    b.button.ToolTipText = b.tip;
    b.button.Click = [this, handler = b.handler] { (this->*handler)(); };
  }
  chkSelectAll.Click = [this] { chkSelectAll_Click(); };
}

// --- Showing sets ------------------------------------------------------------------------------

void frmSetManager::Form_Load() {
  engine_.emplace();
  detail::trapped("Form_Load", [this] {
    const std::vector<StoredSet> sets = storedSets();
    if (sets.empty()) {
      showNoSets();
      LoadTableLinks();
    } else {
      lblTotal.Caption = std::to_string(sets.size());
      lblSet.Caption = "1";
      showSet(sets.front());
      cmdPrevious.Enabled = false;
      cmdNextSet.Enabled = sets.size() > 1;
    }
    DisableEditing();
  });
}

void frmSetManager::Form_Activate() {
  newSetPrompt_ = false;
}

void frmSetManager::Form_Unload() {
  engine_.reset();
}

void frmSetManager::showSet(const StoredSet& set) {
  txtDescription.Text = txtOrigDescription.Text = set.description;
  txtSetName.Text = txtOrigSetName.Text = set.name;
  lblActiveSet.Visible = set.active;
  LoadTableLinks();
  applySetActiveRule();
}

void frmSetManager::showNoSets() {
  lblSet.Caption = lblTotal.Caption = "0";
  for (uikit::CommandButton* b : {&cmdPrevious, &cmdNextSet, &cmdSetActiveLinkSet,
                                  &cmdDuplicateLinkSet, &cmdDeleteLinkSet, &cmdUpdateLinkSet}) {
    b->Enabled = false;
  }
  lblActiveSet.Visible = false;
}

void frmSetManager::applySetActiveRule() {
  // The stored name decides: an edited name box must not make the active set look inactive.
  cmdSetActiveLinkSet.Enabled =
      txtOrigSetName.Text != state().activeSetName && lstTableLinks.ListCount() > 0;
}

void frmSetManager::LoadTableLinks() {
  lstTableLinks.Clear();
  linkTables_.clear();
  int count = 0;
  LinkArray links;
  GetLinkSetLinks(txtOrigSetName.Text, count, links);
  for (int i = 0; i < count; ++i) {
    const auto column = static_cast<std::size_t>(i);
    lstTableLinks.AddItem(links[0][column] + "   (" + links[1][column] + ")");
    linkTables_.push_back(links[0][column]);
  }
}

void frmSetManager::EnableEditing() {
  for (uikit::Control* c : std::initializer_list<uikit::Control*>{
           &cmdAddExisting, &cmdAddLink, &cmdRemoveLink, &cmdUpdateLinks, &chkSelectAll}) {
    c->Enabled = true;
  }
  txtSetName.Locked = txtDescription.Locked = false;
  lstTableLinks.Enabled = true;
  if (lstTableLinks.ListCount() > 1)
    lstTableLinks.ListIndex = 1;
}

void frmSetManager::DisableEditing() {
  for (uikit::Control* c : std::initializer_list<uikit::Control*>{
           &cmdAddExisting, &cmdAddLink, &cmdRemoveLink, &cmdUpdateLinks, &chkSelectAll}) {
    c->Enabled = false;
  }
  txtSetName.Locked = txtDescription.Locked = true;
  if (lstTableLinks.Enabled)
    lstTableLinks.ListIndex = -1;
  lstTableLinks.Enabled = false;
}

void frmSetManager::SetButtons(const std::string& setName) {
  detail::trapped("SetButtons", [&] {
    const std::vector<StoredSet> sets = storedSets();
    if (sets.empty())
      return;
    const std::size_t m = sets.size();
    std::size_t n = 1;
    while (n <= m && sets[n - 1].name != setName)
      ++n;
    cmdPrevious.Enabled = n > 1;
    cmdNextSet.Enabled = n < m;
    lblSet.Caption = std::to_string(n);
    lblTotal.Caption = std::to_string(m);
  });
}

// --- The shown set's name and description -------------------------------------------------------

void frmSetManager::SaveSetChanges() {
  detail::trapped("SaveSetChanges", [&] {
    const std::vector<StoredSet> sets = storedSets();
    if (sets.empty())
      return;
    const std::string name = txtSetName.Text;
    if (name.empty()) {
      uikit::MsgBox("You must fill in a Set Name.", Buttons::OK, Icon::Information,
                    "Missing Field");
      SetFocus(txtSetName);
      return;
    }
    if (name != txtOrigSetName.Text && nameTakenByAnother(sets, name, txtOrigSetName.Text)) {
      uikit::MsgBox("There is already a link set defined with the name\r\n" + name, Buttons::OK,
                    Icon::Critical, "Link Set Error");
      SetFocus(txtSetName);
      return;
    }
    const bool active = renameSet(txtOrigSetName.Text, name, txtDescription.Text);
    txtOrigDescription.Text = txtDescription.Text;
    txtOrigSetName.Text = name;
    if (active) {
      state().activeSetName = name;
      state().activeSetDescription = txtDescription.Text;
    }
  });
}

void frmSetManager::askBeforeLeaving() {
  if (txtSetName.Text != txtOrigSetName.Text || txtDescription.Text != txtOrigDescription.Text) {
    if (uikit::MsgBox(std::string("The Set Name and/or Description has changed.") + uikit::vbCrLf +
                          "Do you want to save these changes?",
                      Buttons::OKCancel, Icon::Question, "Set Information Changed") == Answer::OK) {
      SaveSetChanges();
    }
  }
  if (lstTableLinks.ListCount() > 0 && newSetPrompt_) {
    newSetPrompt_ = false;
    if (uikit::MsgBox("Do you want to make this set the active set?", Buttons::YesNo,
                      Icon::Question, "Make Active Set") == Answer::Yes) {
      bool clearAll = false;
      MakeActiveSet(txtOrigSetName.Text, clearAll);
      UpdateFrontEndPath();
    }
  }
}

void frmSetManager::moveBy(int step) {
  askBeforeLeaving();
  const std::vector<StoredSet> sets = storedSets();
  for (std::size_t i = 0; i < sets.size(); ++i) {
    if (sets[i].name != txtOrigSetName.Text)
      continue;
    const auto target = static_cast<long>(i) + step;
    if (target >= 0 && target < static_cast<long>(sets.size()))
      showSet(sets[static_cast<std::size_t>(target)]);
    break;
  }
  SetButtons(txtSetName.Text);
  DisableEditing();
  chkSelectAll.Value = 0;
}

void frmSetManager::cmdNextSet_Click() {
  detail::trapped("cmdNextSet_Click", [this] { moveBy(1); });
}

void frmSetManager::cmdPrevious_Click() {
  detail::trapped("cmdPrevious_Click", [this] { moveBy(-1); });
}

void frmSetManager::cmdUpdateLinkSet_Click() {
  EnableEditing();
}

// --- Creating, copying, deleting and activating sets -------------------------------------------

void frmSetManager::cmdCreateLinkSet_Click() {
  detail::trapped("cmdCreateLinkSet_Click", [this] {
    lblActiveSet.Visible = false;
    const std::string name = nextSetName(storedSets());
    const std::string description = name + " was created on " + shortDate(frmCreateNewSet::today());
    txtSetName.Text = txtOrigSetName.Text = name;
    txtDescription.Text = txtOrigDescription.Text = description;
    LoadTableLinks();
    CreateLinkSet(name, description);
    cmdDuplicateLinkSet.Enabled = cmdUpdateLinkSet.Enabled = cmdDeleteLinkSet.Enabled = true;
    SetButtons(name);
    EnableEditing();
    chkSelectAll.Value = 0;
    newSetPrompt_ = true;
  });
}

void frmSetManager::cmdDuplicateLinkSet_Click() {
  detail::trapped("cmdDuplicateLinkSet_Click", [this] {
    const std::string name = "Copy of " + txtOrigSetName.Text;
    const std::string description = "Copy of " + txtOrigDescription.Text;
    // A second copy of the same set would share the first one's name, and with it its rows.
    if (nameTakenByAnother(storedSets(), name, "")) {
      uikit::MsgBox("There is already a link set defined with the name\r\n" + name, Buttons::OK,
                    Icon::Critical, "Link Set Error");
    } else {
      duplicateSet(txtOrigSetName.Text, name, description);
      txtOrigSetName.Text = txtSetName.Text = name;
      txtOrigDescription.Text = txtDescription.Text = description;
      lblActiveSet.Visible = false;
      LoadTableLinks();
      newSetPrompt_ = true;
    }
    SetButtons(txtSetName.Text);
    DisableEditing();
    chkSelectAll.Value = 0;
  });
}

void frmSetManager::cmdDeleteLinkSet_Click() {
  detail::trapped("cmdDeleteLinkSet_Click", [this] {
    const std::string name = txtOrigSetName.Text;
    if (name == state().activeSetName) {
      uikit::MsgBox(std::string("You cannot delete the active link set.") + uikit::vbCrLf +
                        "You must make another link set the active set and then delete this one.",
                    Buttons::OK, Icon::Exclamation, "Confirm Delete Action");
      return;
    }
    if (txtSetName.Text.empty()) {
      uikit::MsgBox("Please enter a value for the Link Set!", Buttons::OK, Icon::Critical,
                    "No Link Set");
      return;
    }
    if (uikit::MsgBox("You are about to delete the " + name + " link set.\r\rAre you Sure?",
                      Buttons::OKCancel, Icon::Question, "Confirm Delete Action") != Answer::OK) {
      return;
    }
    DeleteLinkSet(name);
    const std::vector<StoredSet> sets = storedSets();
    if (sets.empty()) {
      showNoSets();
      txtSetName.Text = txtOrigSetName.Text = txtDescription.Text = txtOrigDescription.Text = "";
      LoadTableLinks();
    } else {
      showSet(sets.front());
      SetButtons(sets.front().name);
    }
    DisableEditing();
    chkSelectAll.Value = 0;
  });
}

void frmSetManager::cmdSetActiveLinkSet_Click() {
  bool clearAll = false;
  MakeActiveSet(txtOrigSetName.Text, clearAll);
  UpdateFrontEndPath();
  lblActiveSet.Visible = true;
  cmdSetActiveLinkSet.Enabled = false;
  newSetPrompt_ = false;
}

// --- Closing ------------------------------------------------------------------------------------

void frmSetManager::cmdOk_Click() {
  detail::trapped("cmdOK_Click", [this] {
    askBeforeLeaving();
    ComponentState& s = state();
    if (s.activeSetName.empty()) {
      if (uikit::MsgBox("You have not defined an Active Link Set\r\n\r\nClick 'Ok' to exit, "
                        "or\r\nClick 'Cancel' to return to Set Manager.",
                        Buttons::OKCancel, Icon::Information,
                        "No Active Link Set Defined") == Answer::OK) {
        s.activeSetName.clear();
        Unload();
      }
      return;
    }
    if (linkCount(s.activeSetName) == 0) {
      if (uikit::MsgBox("You have no links defined for the active set named " + s.activeSetName +
                            "\r\n\r\nClick 'Ok' to continue and the active set will be set to "
                            "inactive, or\r\nClick 'Cancel' to return to Set Manager.",
                        Buttons::OKCancel, Icon::Information,
                        "Invalid Active Link Set") == Answer::OK) {
        bool clearAll = true;
        MakeActiveSet(s.activeSetName, clearAll);
        UpdateFrontEndPath();
        s.activeSetName.clear();
        s.activeSetDescription.clear();
        Unload();
      }
      return;
    }
    LinkTablesToActiveSet();
    ValidateLinkSets();
    if (s.activeSetValid) {
      Unload();
    } else {
      checkRequested_ = true;
      Hide();
    }
  });
}

void showSetManager() {
  frmSetManager& window = uikit::form<frmSetManager>();
  window.ShowModal();
  // The window stays loaded, hidden, while the check runs; the check unloads it at its end.
  if (uikit::isLoaded<frmSetManager>() && window.checkRequested())
    clsOrvanta().CheckLinkedTables(state().currentFrontEndPath);
}

}  // namespace orvanta
