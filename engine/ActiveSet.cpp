// Loading the active link set into the component state, and recording where the front end now
// lives.
#include <memory>
#include <optional>
#include <string>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"

namespace orvanta {

void GetActiveSet(const std::string& path) {
  ComponentState& s = state();
  s.activeSetFound = false;
  detail::trapped("GetActiveSet", [&] {
    auto db = dao::OpenDatabase(path);
    std::unique_ptr<dao::Recordset> sets;
    try {
      sets = db->OpenRecordset("SELECT * FROM tblLinkedSets");
    } catch (const dao::Error& e) {
      // A front end that has never held a link set: build the tables so that the rest of the
      // component can rely on them, and forget any set an earlier call remembered.
      if (e.Number() == dao::kErrTableNotFound) {
        detail::createMissingTablesIn(*db);
        s.activeSetName.clear();
        s.linkSetDatabasePath.clear();
        s.activeSetDescription.clear();
      }
      return;
    }
    for (; !sets->AtEOF(); sets->MoveNext()) {
      dao::Error problem(0, "");
      const std::optional<bool> active = detail::storedActiveFlag(*sets, &problem);
      if (!active) {
        // Reported here, once a call; the other readers of the set rows leave the row out.
        reportEngineError("GetActiveSet", problem.Number(),
                          "The link set \"" + sets->Field("Name").AsString() +
                              "\" cannot be read: " + problem.Description());
        continue;
      }
      if (*active) {
        s.activeSetFound = true;
        s.activeSetName = sets->Field("Name").AsString();
        s.linkSetDatabasePath = sets->Field("FrontEndPath").AsString();
        s.activeSetDescription = sets->Field("Description").AsString();
        return;
      }
    }
  });
}

void UpdateFrontEndPath() {
  detail::trapped("UpdateFrontEndPath", [] {
    auto db = detail::openLinkSetDatabase();
    auto sets = db->OpenRecordset("SELECT * FROM tblLinkedSets WHERE Name=" +
                                  sqlText(state().activeSetName));
    if (sets->AtEOF())
      return;
    sets->Edit();
    sets->SetField("FrontEndPath", state().currentFrontEndPath);
    sets->Update();
  });
}

}  // namespace orvanta
