#include "ui/relink/frmTables.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"
#include "ui/sets/frmSetManager.h"
#include "uikit/desktop.h"

namespace orvanta {
namespace {

constexpr int kButtonLeft = 3480;
constexpr int kButtonWidth = 1455;

uikit::Geometry button(int top) {
  return {kButtonLeft, top, kButtonWidth, 375};
}

// Adds the link (table, connect) to set setId, and for the active set the front end's linked
// table, together: a back end that refuses the table leaves neither behind. Returns why the
// table was not added, "" when it was.
std::string addLink(dao::Database& db, std::int32_t setId, bool activeSet, const std::string& table,
                    const std::string& connect) {
  detail::Transaction transaction(db);
  {
    auto present = db.OpenRecordset(detail::linkRowsOf(setId) + " AND TableName=" + sqlText(table),
                                    dao::dbOpenSnapshot);
    if (!present->AtEOF())
      return "already a link of this set";
  }
  if (activeSet && db.TableDefs().Contains(table))
    return "the front end already has a table of that name";
  auto rows = db.OpenRecordset(detail::linkRowsOf(setId));
  detail::addLinkRow(*rows, setId, table, connect);
  rows->Close();
  if (activeSet)
    detail::appendLink(db, table, connect);
  transaction.commit();
  return "";
}

}  // namespace

frmTables::frmTables()
    : uikit::Form("frmTables"),
      lstTableLinks(add<uikit::ListBox>("lstTableLinks", {120, 120, 3240, 3360})),
      cmdSelectAll(add<uikit::CommandButton>("cmdSelectAll", button(120))),
      cmdDeselectAll(add<uikit::CommandButton>("cmdDeselectAll", button(555))),
      cmdOK(add<uikit::CommandButton>("cmdOK", button(2670))),
      cmdCancel(add<uikit::CommandButton>("cmdCancel", button(3105))) {
  Caption = "Link Tables";
  geometry = {0, 0, kButtonLeft + kButtonWidth + 120, 3600};
  lstTableLinks.MultiSelect = true;
  cmdSelectAll.Caption = "Select All";
  cmdDeselectAll.Caption = "Deselect All";
  cmdOK.Caption = "&OK";
  cmdCancel.Caption = "&Cancel";
  cmdSelectAll.Click = [this] { cmdSelectAll_Click(); };
  cmdDeselectAll.Click = [this] { cmdDeselectAll_Click(); };
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void frmTables::cmdSelectAll_Click() {
  for (int i = 0; i < lstTableLinks.ListCount(); ++i)
    lstTableLinks.SetSelected(i, true);
}

void frmTables::cmdDeselectAll_Click() {
  for (int i = 0; i < lstTableLinks.ListCount(); ++i)
    lstTableLinks.SetSelected(i, false);
}

void frmTables::cmdOK_Click() {
  const ComponentState& s = state();
  const std::string setName = uikit::form<frmSetManager>().txtOrigSetName.Text;
  const bool activeSet = setName == s.activeSetName;
  const std::string connect = connectString(s.chosenBackEndPath);
  std::vector<std::string> chosen;
  for (int i = 0; i < lstTableLinks.ListCount(); ++i) {
    if (lstTableLinks.Selected(i))
      chosen.push_back(lstTableLinks.List(i));
  }
  std::string notAdded;
  try {
    auto db = detail::openLinkSetDatabase();
    const std::int32_t setId = chosen.empty() ? 0 : detail::setIdOf(*db, setName);
    for (const std::string& table : chosen) {
      std::string why;
      try {
        why = addLink(*db, setId, activeSet, table, connect);
      } catch (const std::exception& e) {
        why = e.what();
      }
      if (!why.empty())
        notAdded += std::string(uikit::vbCrLf) + table + ": " + why;
    }
  } catch (const std::exception& e) {
    for (const std::string& table : chosen)
      notAdded += std::string(uikit::vbCrLf) + table + ": " + e.what();
  }
  Unload();
  // One message after the loop, so that a refused table never passes for an added one.
  if (!notAdded.empty()) {
    uikit::MsgBox(
        "These tables were not added to the link set " + setName + ":" + uikit::vbCrLf + notAdded,
        uikit::Buttons::OK, uikit::Icon::Exclamation, "Tables Not Added");
  }
}

void frmTables::cmdCancel_Click() {
  Unload();
}

}  // namespace orvanta
