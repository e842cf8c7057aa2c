// The Set Manager's link list: adding links from another database or from the front end,
// removing them, and pointing them at another back end.
#include <memory>
#include <optional>
#include <string>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "ui/sets/frmSetManager.h"
#include "uikit/desktop.h"

namespace orvanta {
namespace {

using uikit::Answer;
using uikit::Buttons;
using uikit::Icon;

// Why the chosen database cannot take links, "" when it can. The file is only inspected:
// opened read-only, since a read-write open would complete an unfinished change left in it.
std::string openFailure(const std::string& path) {
  try {
    dao::CheckWritableFile(path);
    auto db = dao::OpenDatabase(path, 4, true);
    (void)db->TableDefs().Count();  // a file that is no database shows itself here
    return "";
  } catch (const dao::Error& e) {
    switch (e.Number()) {
      case dao::kErrFileNotFound:
        return "You can't run the application until you locate the ";
      case dao::kErrFileNotWritable:
        return "Can't reattach tables because selected database is read-only or is located on "
               "a read-only share.";
      case dao::kErrCannotOpen:
        return "Couldn't open selected database because it is read-only or it is located on a "
               "read-only share.";
      default:
        return e.Description();
    }
  }
}

// What Update links says when UpdateLink answers number.
std::string updateFailure(long number, const std::string& path, const std::string& table) {
  switch (number) {
    case dao::kErrObjectNotFound:
      return "The database " + path + " does not contain required table '" + table + "'";
    case dao::kErrFileNotFound:
      return "The database " + path + " was not found";
    case dao::kErrFileNotWritable:
      return "Can't reattach tables because " + path +
             " is read-only or is located on a read-only share.";
    case dao::kErrCannotOpen:
      return "Couldn't open " + path +
             " because it is read-only or it is located on a read-only "
             "share.";
    default:
      // UpdateLink hands back the number alone.
      return "The link to " + table + " could not be updated (error " + std::to_string(number) +
             ").";
  }
}

}  // namespace

void frmSetManager::afterLinksChanged() {
  LoadTableLinks();
  applySetActiveRule();
  chkSelectAll.Value = 0;
}

void frmSetManager::cmdAddLink_Click() {
  AddLinksFromDatabase(txtOrigSetName.Text);
  afterLinksChanged();
}

void frmSetManager::cmdAddExisting_Click() {
  AddCurrentLinksToLinkSet(txtOrigSetName.Text);
  afterLinksChanged();
}

void frmSetManager::chkSelectAll_Click() {
  const bool select = chkSelectAll.Value == 1;
  for (int i = 0; i < lstTableLinks.ListCount(); ++i)
    lstTableLinks.SetSelected(i, select);
}

void frmSetManager::cmdRemoveLink_Click() {
  // Removing from the active set also removes the front end's linked tables: asked once a click.
  const bool active = txtOrigSetName.Text == state().activeSetName;
  std::optional<bool> confirmed;
  for (int i = 0; i < lstTableLinks.ListCount(); ++i) {
    lstTableLinks.ListIndex = i;
    if (!lstTableLinks.Selected(i))
      continue;
    if (active && !confirmed) {
      confirmed = uikit::MsgBox(
                      "You have requested to remove links from the Active Set, this will also "
                      "remove the table links from this database.\r\rDo you want to continue?",
                      Buttons::YesNo, Icon::Question, "Remove Table Links?") == Answer::Yes;
    }
    if (!active || *confirmed)
      RemoveLink(txtOrigSetName.Text, linkTables().at(static_cast<std::size_t>(i)));
  }
  afterLinksChanged();
}

std::string frmSetManager::chooseDatabaseForUpdate() {
  std::string tables;
  for (int i = 0; i < lstTableLinks.ListCount(); ++i) {
    if (lstTableLinks.Selected(i))
      tables += (tables.empty() ? "" : ", ") + linkTables().at(static_cast<std::size_t>(i));
  }
  for (;;) {
    // A cancelled dialog answers "": it never stands for the file chosen the time before.
    CommonDialog1.FileName = "";
    CommonDialog1.DialogTitle = "Please locate the linked database for the table " + tables;
    CommonDialog1.Filter = kDatabaseFilter;
    CommonDialog1.FilterIndex = 1;
    CommonDialog1.ShowOpen();
    const std::string path = CommonDialog1.FileName;
    std::string message;
    if (!path.empty()) {
      message = openFailure(path);
      if (message.empty())
        return path;
    }
    if (uikit::MsgBox(message + (message.empty() ? "" : uikit::vbCrLf) +
                          "Do you want to try another database?",
                      Buttons::YesNo, Icon::Question) != Answer::Yes) {
      return "";
    }
  }
}

void frmSetManager::cmdUpdateLinks_Click() {
  const std::string path = chooseDatabaseForUpdate();
  // Declining another try leaves every link as it was.
  for (int i = 0; !path.empty() && i < lstTableLinks.ListCount(); ++i) {
    lstTableLinks.ListIndex = i;
    if (!lstTableLinks.Selected(i))
      continue;
    const std::string& table = linkTables().at(static_cast<std::size_t>(i));
    const long result = UpdateLink(txtOrigSetName.Text, table, path);
    if (result != 0)
      uikit::MsgBox(updateFailure(result, path, table), Buttons::OK, Icon::Critical);
  }
  afterLinksChanged();
}

}  // namespace orvanta
