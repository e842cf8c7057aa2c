#include "search/clsFileSearch.h"

#include <chrono>
#include <unordered_set>

#include "fs/fs.h"
#include "search/SearchShared.h"
#include "uikit/desktop.h"

namespace orvanta {

// What one search carries down the tree: the mount points it must not enter, the yield clock
// and the status panel.
struct clsFileSearch::Walk {
  using Clock = std::chrono::steady_clock;

  explicit Walk(const std::string& root) : shared(searchShared()) {
    for (vfs::Mount& mount : vfs::current().Mounts()) {
      if (mount.point != root)
        mountPoints.insert(std::move(mount.point));
    }
    lastYield = Clock::now() - shared.yieldEvery;  // the first folder yields at once
  }

  // Lets pending window events run, unless that happened less than yieldEvery ago. The status
  // panel is redrawn here too: the folder names change far faster than anyone can read them.
  void yield() {
    const Clock::time_point now = Clock::now();
    if (now - lastYield < shared.yieldEvery)
      return;
    lastYield = now;
    if (panelChanged && shared.statusBar) {
      panelChanged = false;
      shared.statusBar->Refresh();
    }
    uikit::desktop().doEvents();
  }

  void progress(const std::string& folderPath) {
    if (uikit::StatusBar* bar = shared.statusBar; bar && !bar->Panels.empty()) {
      bar->Panels[0].text.assign(folderPath, 0, folderPath.size() - 1);
      panelChanged = true;
    }
  }

  // True once the dialog's Stop was pressed; the panel is then cleared at once.
  bool stopped() {
    if (!shared.stopFlag)
      return false;
    if (uikit::StatusBar* bar = shared.statusBar; bar && !bar->Panels.empty()) {
      if (!bar->Panels[0].text.empty() || panelChanged) {
        bar->Panels[0].text.clear();
        panelChanged = false;
        bar->Refresh();
      }
    }
    return true;
  }

  SearchShared& shared;
  std::unordered_set<std::string> mountPoints;
  Clock::time_point lastYield;
  bool panelChanged = false;
};

bool clsFileSearch::FindAll(std::vector<std::string>& FileListArray) {
  if (searching_) {
    // Called while a search runs (from one of its listeners, or from an event the search let
    // run): that search ends at its next step.
    searching_ = false;
    return false;
  }
  if (FileSpec.empty() || Path.empty())
    return false;
  std::string root = Path;
  if (root.back() != '/')
    root += '/';

  std::vector<std::string> found(1);
  searching_ = true;
  struct Idle {
    bool& searching;
    ~Idle() { searching = false; }
  } idle{searching_};
  Walk walk(root);
  if (BeginFindFiles)
    BeginFindFiles();
  searchFolder(root, walk, found);
  searching_ = false;
  lastCount_ = static_cast<std::int32_t>(found.size() - 1);
  if (EndFindFiles) {
    std::int32_t count = lastCount_;
    EndFindFiles(count);
  }
  FileListArray = std::move(found);
  return true;
}

void clsFileSearch::searchFolder(const std::string& folder, Walk& walk,
                                 std::vector<std::string>& found) {
  // After a Stop the folders still waiting up the tree end here, without being opened.
  if (walk.stopped())
    return;
  walk.yield();
  if (!searching_ || walk.stopped())
    return;

  // One pass over the folder collects both its subfolders and its matches: listing it twice
  // (once for folders, once by pattern) would double the cost of the whole walk.
  std::vector<std::string> subfolders;
  std::vector<std::string> matches;
  std::error_code error;
  if (auto listing = vfs::current().Find(folder, error)) {
    vfs::FindData entry;
    while (listing->Next(entry)) {
      const unsigned kind = entry.attributes;
      if (kind & vfs::kDirectory) {
        if (!(kind & vfs::kSymbolicLink) && entry.name[0] != '.') {
          std::string child = folder + entry.name + '/';
          if (!walk.mountPoints.contains(child)) {
            walk.progress(child);
            subfolders.push_back(std::move(child));
          }
        }
      } else if (!(kind & vfs::kSystem) && vfs::matchesPattern(entry.name, FileSpec)) {
        matches.push_back(entry.name);
      }
      if (walk.stopped())
        return;
    }
  }

  for (const std::string& name : matches) {
    walk.yield();
    if (!searching_)
      break;
    found.push_back(folder + name);
    std::string fileName = found.back();
    bool cancel = false;
    if (FoundFile)
      FoundFile(fileName, cancel);
    // Only a Cancel ends the search here: a listener that called FindAll has already ended it,
    // and must not see it start again.
    if (cancel)
      searching_ = false;
  }
  for (const std::string& child : subfolders)
    searchFolder(child, walk, found);
}

std::string clsFileSearch::GetDriveStrings() const {
  std::string list;
  for (const std::string& drive : vfs::current().Drives())
    list += drive + '\0';
  if (!list.empty())
    list += '\0';
  return list;
}

}  // namespace orvanta
