// Offering the active set's own back ends on the Fix Set page: when the front end moved but its
// links still work, the files it uses now are candidates like any other.
#include <memory>
#include <string>

#include "dao/dao.h"
#include "engine/CandidateSearch.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"
#include "paths/CandidateList.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/form.h"

namespace orvanta {

void AddActiveSetToListBox() {
  detail::trapped("AddActiveSetToListBox", [] {
    auto db = detail::openLinkSetDatabase();
    auto backEnds = db->OpenRecordset(
        "SELECT DISTINCT DatabasePath "
        "FROM tblLinkedSets INNER JOIN tblLinkedTables ON tblLinkedSets.ID = "
        "tblLinkedTables.LinkSetID "
        "WHERE Name=" +
        sqlText(state().activeSetName));
    frmFixSet& page = uikit::form<frmFixSet>();
    uikit::ListView& store = page.lsvDatabases;
    const detail::RedrawCandidatesOnExit redraw;
    for (; !backEnds->AtEOF(); backEnds->MoveNext()) {
      const std::string path = backEndPathOf(backEnds->Field("DatabasePath").AsString());
      if (page.listsCandidate(path) || isCurrentFrontEnd(path))
        continue;
      // Scored under its own spelling: the file is opened, and on a case-sensitive file system
      // an upper-cased copy of the path names a different file. The scoring compares names in
      // upper case itself.
      int found = 0;
      int needed = 0;
      const std::string score = page.scoreCandidate(path, found, needed);
      if (score == "Error")
        continue;
      AddCandidateRow(store, path, score, found, needed);
    }
    backEnds->Close();
    db->Close();

    // Every table needs its back end chosen again: "Orders (/data/Sales.mdb)" becomes
    // "Orders ()".
    for (int row = 0; row < page.lstTables.ListCount(); ++row) {
      page.lstTables.ListIndex = row;
      page.setRequiredTable(row, "", false);
    }
  });
}

}  // namespace orvanta
