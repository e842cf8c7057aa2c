// Adding links from another database to the set the Set Manager is editing: the user picks the
// database (the open-file dialog of frmAttachTables) and its tables (frmTables).
#include <memory>
#include <string>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"
#include "ui/relink/frmAttachTables.h"
#include "ui/relink/frmTables.h"
#include "ui/sets/frmSetManager.h"
#include "uikit/desktop.h"

namespace orvanta {

bool GetLinks() {
  ComponentState& s = state();
  uikit::CommonDialog& dialog = uikit::form<frmAttachTables>().dlgFileOpen;
  dialog.DialogTitle = "Link";
  dialog.InitDir = linkSetDatabase();
  dialog.Filter = kDatabaseFilter;
  dialog.FilterIndex = 1;
  dialog.ShowOpen();
  // A cancel is no choice: adding from the database chosen the time before would surprise.
  if (dialog.FileName.empty())
    return false;
  s.chosenBackEndPath = dialog.FileName;
  const std::string path = s.chosenBackEndPath;

  // Inspected only: read-only, so an unfinished change left in the file is never completed.
  std::unique_ptr<dao::Database> chosen;
  try {
    chosen = dao::OpenDatabase(path, 4, true);
    (void)chosen->TableDefs().Count();
  } catch (const dao::Error& e) {
    const std::string text = e.Number() == dao::kErrExclusivelyLocked
                                 ? path + " is already opened by another user.\r\n\r\n" +
                                       "Close this database and retry."
                                 : "Error Opening: " + path;
    uikit::MsgBox(text, uikit::Buttons::OK, uikit::Icon::Critical, "Database Error");
    return false;
  }

  frmTables& tables = uikit::form<frmTables>();
  tables.lstTableLinks.Clear();
  detail::trapped("GetLinks", [&] {
    auto frontEnd = detail::openLinkSetDatabase();
    // Only for the active set does the front end say what the set already holds.
    const bool activeSet = uikit::form<frmSetManager>().txtOrigSetName.Text == s.activeSetName;
    for (const dao::TableDef& def : chosen->TableDefs()) {
      const std::string name = def.Name();
      if (name.rfind("MSys", 0) == 0)
        continue;
      if (activeSet && frontEnd->TableDefs().Contains(name))
        continue;
      tables.lstTableLinks.AddItem(name);
    }
  });
  chosen->Close();

  if (tables.lstTableLinks.ListCount() == 0) {
    tables.Unload();
    uikit::MsgBox("All Tables in the selected database are already in this linkset.",
                  uikit::Buttons::OK, uikit::Icon::Exclamation, "No Tables Available");
    return false;
  }
  tables.ShowModal();
  return true;
}

bool AddLinksFromDatabase(const std::string& /*setName*/) {
  GetLinks();
  return true;
}

}  // namespace orvanta
