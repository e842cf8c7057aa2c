// SearchFolderTree: candidate back ends anywhere below a folder (the front end's, usually),
// each scored against the broken back end of the active set it fits best.
#include <string>
#include <vector>

#include "dao/dao.h"
#include "engine/CandidateSearch.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/Reports.h"
#include "fs/fs.h"
#include "paths/CandidateList.h"
#include "paths/modFunctions.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/form.h"

namespace orvanta {
namespace {

// One search, down the whole tree.
struct SearchRun {
  frmFixSet& page;
  char sep;
  std::string pattern;
};

// One folder level: score its matching files, then descend into its sub-folders. A failure
// ends this level (the level above goes on with its next sub-folder) after the search error
// report; the listing never fails this way, since a folder that cannot be read lists as empty.
void searchLevel(const std::string& folder, SearchRun& run) {
  frmFixSet& page = run.page;
  try {
    // One listing serves both steps: every entry, folders included, filtered here for the files
    // that match, exactly as a separate file listing would filter them.
    const vfs::ListResult listing = vfs::current().List(folder, "*", vfs::kAllEntries);
    std::vector<std::string> subFolders;
    for (const vfs::Entry& entry : listing.entries) {
      // A link to a folder is never followed: a link back up the tree would repeat the search
      // without end, and a link elsewhere would search folders that are not below this one.
      if ((entry.attributes & vfs::kDirectory) != 0 &&
          (entry.attributes & vfs::kSymbolicLink) == 0) {
        subFolders.push_back(entry.name);
      }
    }

    for (const vfs::Entry& entry : listing.entries) {
      if (!vfs::passesMask(entry.attributes, vfs::kAllFiles) ||
          !vfs::matchesPattern(entry.name, run.pattern)) {
        continue;
      }
      const std::string file = folder + entry.name;
      // The front end is never its own back end, whatever name reaches it.
      if (isCurrentFrontEnd(file) || detail::storeHolds(page.lsvDatabases, file))
        continue;
      int found = 0;
      int needed = 0;
      const std::string score = page.scoreCandidate(file, found, needed);
      AddCandidateRow(page.lsvDatabases, file, score, found, needed);
    }

    for (const std::string& name : subFolders)
      searchLevel(folder + name + run.sep, run);
  } catch (const dao::Error& e) {
    reportSearchError(e.Number(), e.Description());
  } catch (const std::exception& e) {
    reportSearchError(dao::kErrInternal, e.what());
  }
}

}  // namespace

void SearchFolderTree(std::string& folder, const std::string& pattern) {
  // No folder at all (a front end named without one) would make the search start at the root
  // of the file system; there is nothing below "nowhere" to offer.
  if (folder.empty())
    return;
  const char sep = detail::separatorOf(folder);
  if (folder.back() != sep)
    folder += sep;
  SearchRun run{uikit::form<frmFixSet>(), sep, pattern};
  searchLevel(folder, run);
  // The visible list is drawn once, from the whole result: nobody sees the page while the tree
  // is searched, and redrawing after every folder that added something would cost more than
  // the search in a tree of thousands of folders.
  LoadListbox();
}

}  // namespace orvanta
