// ValidateLinkSets: which link sets still work, and, for a broken active set, everything the Fix
// Set page needs to repair it (the required tables, the first broken back end, and candidate
// back ends found beside the broken ones and below the front end).
#include <algorithm>
#include <string>
#include <vector>

#include "dao/dao.h"
#include "engine/CandidateSearch.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"
#include "fs/fs.h"
#include "paths/modFunctions.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/form.h"

namespace orvanta {
namespace {

// Offers the files beside a broken back end (same folder, same extension) as candidates.
void scanBesideBrokenBackEnd(frmFixSet& page, const std::string& backEnd,
                             detail::SearchLog& searched) {
  const std::string folder = ParsePath(backEnd, 2);
  const std::string pattern = "*." + ParsePath(backEnd, 4);
  // Two broken back ends in one folder would list it again and find only files the store
  // already holds.
  if (!searched.firstTime(folder, pattern))
    return;
  const vfs::ListResult listing = vfs::current().List(folder, pattern, vfs::kAllFiles);
  for (const vfs::Entry& entry : listing.entries) {
    const std::string file = folder + entry.name;
    if (isCurrentFrontEnd(file) || detail::storeHolds(page.lsvDatabases, file))
      continue;
    // Counts start at zero for every file: a file that will not open leaves them untouched,
    // and must not show the counts of the file scored before it.
    int found = 0;
    int needed = 0;
    const std::string score = page.scoreCandidate(file, found, needed);
    detail::addCandidate(page, file, score, found, needed);
  }
}

// Checks every row whose table has a back end, so that the page starts with the resolved
// tables ticked (item data 1) and the unresolved ones open (item data 0).
void markResolvedRows(frmFixSet& page) {
  uikit::ListBox& tables = page.lstTables;
  for (int row = 0; row < tables.ListCount(); ++row) {
    tables.ListIndex = row;
    const std::string path = page.requiredTables().at(static_cast<std::size_t>(row)).path;
    if (path.empty()) {
      tables.SetItemData(row, 0);
      continue;
    }
    page.setRequiredTable(row, path, true);
    tables.SetItemData(row, 1);
  }
  tables.ListIndex = -1;
}

}  // namespace

bool ValidateLinkSets() {
  ComponentState& s = state();
  bool result = false;
  detail::trapped("ValidateLinkSets", [&] {
    auto db = detail::openLinkSetDatabase();
    frmFixSet& page = uikit::form<frmFixSet>();
    const detail::RedrawCandidatesOnExit redraw;
    page.clearRequiredTables();
    page.brokenBackEnds.clear();
    page.txtDatabasePath.Text = "";
    page.lsvDatabases.Clear();

    auto sets = db->OpenRecordset("SELECT * From tblLinkedSets");
    if (sets->AtEOF()) {
      s.matchingSetCount = 0;
      s.activeSetMatches = false;
      s.activeSetValid = false;
      return;
    }

    detail::BackEndProbe own;
    detail::BackEndProbe& probe = detail::SharedProbe::orOwn(own);
    detail::SearchLog searched;
    for (; !sets->AtEOF(); sets->MoveNext()) {
      const std::string name = sets->Field("Name").AsString();
      // The active set is the one the component state names (exact text); the ActiveSet column
      // is not consulted here.
      const bool isActive = name == s.activeSetName;
      bool verdict = true;
      std::string lastBackEnd;

      for (const detail::SetLink& link : detail::readLinks(*db, name)) {
        const std::string backEnd = backEndPathOf(link.databasePath);
        if (isActive)
          lastBackEnd = backEnd;
        try {
          if (probe.readable(backEnd, link.table)) {
            if (isActive)
              page.addRequiredTable(link.table, backEnd);
            continue;
          }
          verdict = false;
          if (!isActive)
            continue;
          if (page.txtDatabasePath.Text.empty()) {
            page.txtDatabasePath.Text = backEnd;
            page.txtDatabasePath.ToolTipText = backEnd;
          }
          auto& broken = page.brokenBackEnds;
          if (std::find(broken.begin(), broken.end(), backEnd) == broken.end())
            broken.push_back(backEnd);
          page.addRequiredTable(link.table, "");
        } catch (const std::exception&) {
          // Inside the link loop a failure only costs that link its candidates; the verdict
          // already says what matters.
        }
      }

      if (isActive) {
        s.activeSetValid = verdict;
        result = verdict;
        if (!verdict) {
          // The neighbours of every broken back end, each scored against all of them: only now
          // are they all known.
          for (const std::string& backEnd : page.brokenBackEnds) {
            try {
              scanBesideBrokenBackEnd(page, backEnd, searched);
            } catch (const std::exception&) {
              // A folder that cannot be searched offers no candidates; the verdict stands.
            }
          }
          markResolvedRows(page);
          if (!page.txtDatabasePath.Text.empty()) {
            std::string folder = ParsePath(linkSetDatabase(), 2);
            const std::string pattern = "*." + ParsePath(lastBackEnd, 4);
            if (searched.firstTime(folder, "tree:" + pattern))
              SearchFolderTree(folder, pattern);
          }
        }
      }

      // Written only when it changes: a healthy start then asks for no write lock at all, so
      // copies of the application starting while another writes the front end do not queue.
      if (sets->Field("ValidSet") != dao::Value::Boolean(verdict)) {
        sets->Edit();
        sets->SetField("ValidSet", dao::Value::Boolean(verdict));
        sets->Update();
      }
    }
  });
  return result;
}

}  // namespace orvanta
