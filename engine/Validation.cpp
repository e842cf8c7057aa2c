// ValidateLinkSets: which link sets still work, and, for a broken active set, everything the Fix
// Set page needs to repair it (the required tables, the first broken back end, and candidate
// back ends found beside the broken ones and below the front end).
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
  // Two broken links to one back end would list the same folder again and find only files the
  // store already holds.
  if (!searched.firstTime(folder, pattern))
    return;
  const vfs::ListResult listing = vfs::current().List(folder, pattern, vfs::kAllFiles);
  const std::string& frontEnd = state().currentFrontEndPath;
  for (const vfs::Entry& entry : listing.entries) {
    const std::string file = folder + entry.name;
    if (file == frontEnd || detail::storeHolds(page.lsvDatabases, file))
      continue;
    // Counts start at zero for every file: a file that will not open leaves them untouched,
    // and must not show the counts of the file scored before it.
    int found = 0;
    int needed = 0;
    const std::string score = CalcPriority(file, backEnd, found, needed);
    detail::addCandidate(page, file, score, found, needed);
  }
}

// Checks every row whose table has a back end, so that the page starts with the resolved
// tables ticked (item data 1) and the unresolved ones open (item data 0).
void markResolvedRows(frmFixSet& page) {
  ComponentState& s = state();
  uikit::ListBox& tables = page.lstTables;
  for (int row = 0; row < tables.ListCount(); ++row) {
    tables.ListIndex = row;
    if (tables.List(row).find("()") != std::string::npos) {
      tables.SetItemData(row, 0);
      continue;
    }
    if (!tables.Selected(row)) {
      // The page reverts check changes it did not make itself; the guard says this one is ours.
      s.tableChangeGuard = true;
      tables.SetSelected(row, true);
    }
    // The list fires its handler only when the check really changes; a guard left raised
    // would let the user's next click stand.
    s.tableChangeGuard = false;
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
    page.lstTables.Clear();
    page.txtDatabasePath.Text = "";
    page.lsvDatabases.Clear();

    auto sets = db->OpenRecordset("SELECT * From tblLinkedSets");
    if (sets->AtEOF()) {
      s.matchingSetCount = 0;
      s.activeSetMatches = false;
      s.activeSetValid = false;
      return;
    }

    detail::BackEndProbe probe;
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
              page.lstTables.AddItem(link.table + " (" + backEnd + ")");
            continue;
          }
          verdict = false;
          if (!isActive)
            continue;
          if (page.txtDatabasePath.Text.empty()) {
            page.txtDatabasePath.Text = backEnd;
            page.txtDatabasePath.ToolTipText = backEnd;
          }
          scanBesideBrokenBackEnd(page, backEnd, searched);
          page.lstTables.AddItem(link.table + " ()");
        } catch (const std::exception&) {
          // Inside the link loop a failure only costs that link its candidates; the verdict
          // already says what matters.
        }
      }

      if (isActive) {
        s.activeSetValid = verdict;
        result = verdict;
        if (!verdict) {
          markResolvedRows(page);
          if (!page.txtDatabasePath.Text.empty()) {
            std::string folder = ParsePath(linkSetDatabase(), 2);
            const std::string pattern = "*." + ParsePath(lastBackEnd, 4);
            if (searched.firstTime(folder, "tree:" + pattern))
              SearchFolderTree(folder, pattern);
          }
        }
      }

      sets->Edit();
      sets->SetField("ValidSet", dao::Value::Boolean(verdict));
      sets->Update();
    }
  });
  return result;
}

}  // namespace orvanta
