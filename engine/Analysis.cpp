// The measurements the start-up check takes before it decides: whether the front end's links
// open, which link sets match them, how the link counts compare, and whether the moved front
// end has its back ends at the same relative position as before.
#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "dao/dao.h"
#include "engine/CandidateSearch.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"
#include "fs/fs.h"
#include "paths/PathText.h"
#include "paths/modFunctions.h"
#include "ui/wizard/frmFixSet.h"
#include "ui/wizard/frmSwitchSet.h"
#include "uikit/form.h"

namespace orvanta {
namespace {

// A link as the comparisons see it: the back-end table name and the connect string in upper
// case (connect strings compare ignoring case, table names exactly).
using LinkKey = std::pair<std::string, std::string>;

struct FrontEndLinks {
  std::set<LinkKey> all;     // every table definition (local ones have an empty connect)
  std::set<LinkKey> linked;  // those whose Connect is not empty
};

FrontEndLinks readFrontEndLinks(dao::Database& db) {
  FrontEndLinks links;
  for (const dao::TableDef& def : db.TableDefs()) {
    const std::string connect = def.Connect();
    LinkKey key{def.SourceTableName(), detail::upperAscii(connect)};
    if (!connect.empty())
      links.linked.insert(key);
    links.all.insert(std::move(key));
  }
  return links;
}

// The set matches when each of its links has a table definition with the same source table and
// connect string, and each linked definition has such a link. A set without links never matches.
bool setMatches(const std::vector<detail::SetLink>& setLinks, const FrontEndLinks& frontEnd) {
  if (setLinks.empty())
    return false;
  std::set<LinkKey> keys;
  for (const detail::SetLink& link : setLinks) {
    LinkKey key{link.table, detail::upperAscii(link.databasePath)};
    if (frontEnd.all.count(key) == 0)
      return false;
    keys.insert(std::move(key));
  }
  for (const LinkKey& key : frontEnd.linked) {
    if (keys.count(key) == 0)
      return false;
  }
  return true;
}

// The folder at the same position relative to the current front end as the back end's folder
// had relative to the saved front end; nullopt when there is no such position.
//
// The position is worked out on upper-cased folders, so that letter case never decides whether
// a back end sits at the same relative place. The text that names the folder is then taken from
// the back end's folder as written (the tail of a relative position is always the end of the
// target folder), because on a case-sensitive file system the upper-cased copy names a
// different, usually missing, folder. Stored paths written with the other separator (a front end
// carried from a Windows share) are first written as the current front end's path is.
std::optional<std::string> folderAtSamePosition(const std::string& savedFrontEnd,
                                                const std::string& backEnd,
                                                const std::string& currentFrontEnd) {
  const char sep = detail::separatorOf(currentFrontEnd);
  const std::string backEndFolder = ParsePath(paths::inSeparatorOf(backEnd, sep), 2);
  const std::string position =
      GetRelativePath(detail::upperAscii(ParsePath(paths::inSeparatorOf(savedFrontEnd, sep), 2)),
                      detail::upperAscii(backEndFolder));
  if (position.empty())
    return std::nullopt;

  const std::string here = std::string(".") + sep;
  const std::string up = std::string("..") + sep;
  std::size_t at = 0;
  int levelsUp = 0;
  bool below = false;
  if (position.compare(0, here.size(), here) == 0) {
    below = true;
    at = here.size();
  } else {
    while (position.compare(at, up.size(), up) == 0) {
      ++levelsUp;
      at += up.size();
    }
  }
  std::string tail = position.substr(at);
  if (tail.size() <= backEndFolder.size()) {
    const std::string written = backEndFolder.substr(backEndFolder.size() - tail.size());
    if (detail::upperAscii(written) == tail)
      tail = written;
  }

  std::string start = ParsePath(currentFrontEnd, 2);
  if (!start.empty() && start.back() == sep)
    start.pop_back();
  if (!below) {
    for (int i = 0; i < levelsUp; ++i) {
      const std::size_t cut = start.rfind(sep);
      if (cut == std::string::npos)
        return std::nullopt;
      start.resize(cut);
    }
  }
  return start + sep + tail;
}

}  // namespace

bool CheckCurrentLinks() {
  ComponentState& s = state();
  bool result = false;
  detail::trapped("CheckCurrentLinks", [&] {
    s.linkedTablesPresent = false;
    // Each link as its back end and source table. They are asked of the back ends directly,
    // each file opened once, rather than through the front end, where every link would attach
    // its file and build a view: the same question, with the answers shared with the link sets.
    std::vector<std::pair<std::string, std::string>> linked;
    {
      auto db = dao::OpenDatabase(s.currentFrontEndPath);
      for (const dao::TableDef& def : db->TableDefs()) {
        const std::string connect = def.Connect();
        if (connect.empty())
          continue;
        const std::string source = def.SourceTableName();
        linked.emplace_back(backEndPathOf(connect), source.empty() ? def.Name() : source);
      }
    }
    detail::BackEndProbe own;
    detail::BackEndProbe& probe = detail::SharedProbe::orOwn(own);
    for (const auto& [backEnd, table] : linked) {
      s.linkedTablesPresent = true;
      // The first linked table that does not open settles it.
      result = probe.readable(backEnd, table);
      if (!result)
        break;
    }
  });
  return result;
}

void MatchLinkSets() {
  ComponentState& s = state();
  detail::trapped("MatchLinkSets", [&] {
    auto db = detail::openLinkSetDatabase();
    s.matchingSetCount = 0;
    auto sets = db->OpenRecordset("SELECT * From tblLinkedSets", dao::dbOpenSnapshot);
    if (sets->AtEOF()) {
      s.matchingSetCount = 0;
      s.activeSetMatches = false;
      return;
    }
    const FrontEndLinks frontEnd = readFrontEndLinks(*db);
    for (; !sets->AtEOF(); sets->MoveNext()) {
      const std::optional<bool> stored = detail::storedActiveFlag(*sets);
      if (!stored)
        continue;  // a row that cannot be read; GetActiveSet has reported it
      const bool active = *stored;
      const std::string name = sets->Field("Name").AsString();
      const bool matches = setMatches(detail::readLinks(*db, name), frontEnd);
      if (matches) {
        ++s.matchingSetCount;
        if (active) {
          s.activeSetMatches = true;
        } else {
          uikit::form<frmSwitchSet>().lstValidSets.AddItem(name);
        }
      } else if (active) {
        s.activeSetMatches = false;
      }
    }
  });
}

int CompareLinkCounts() {
  int result = 0;
  detail::trapped("CompareLinkCounts", [&] {
    auto db = detail::openLinkSetDatabase();
    auto links = db->OpenRecordset(linksStatement(state().activeSetName), dao::dbOpenSnapshot);
    long setLinks = 0;
    if (!links->AtEOF()) {
      links->MoveLast();
      setLinks = links->RecordCount();
    }
    long linkedTables = 0;
    for (const dao::TableDef& def : db->TableDefs()) {
      if (!def.Connect().empty())
        ++linkedTables;
    }
    result = setLinks > linkedTables ? 1 : (setLinks < linkedTables ? 2 : 3);
  });
  return result;
}

bool CheckRelativePath() {
  ComponentState& s = state();
  bool result = false;
  detail::trapped("CheckRelativePath", [&] {
    std::vector<detail::SetLink> links;
    {
      auto db = detail::openLinkSetDatabase();
      links = detail::readLinks(*db, s.activeSetName);
    }
    if (links.empty())
      return;

    frmFixSet& page = uikit::form<frmFixSet>();
    // Whatever way this ends, the visible list shows what the store then holds.
    const detail::RedrawCandidatesOnExit redraw;
    detail::CandidateTables candidates;
    detail::SearchLog searched;
    std::vector<std::string> handled;
    bool storeCleared = false;
    for (const detail::SetLink& link : links) {
      if (std::find(handled.begin(), handled.end(), link.databasePath) != handled.end())
        continue;
      handled.push_back(link.databasePath);

      const std::string backEnd = backEndPathOf(link.databasePath);
      const std::optional<std::string> folder =
          folderAtSamePosition(s.savedFrontEndPath, backEnd, s.currentFrontEndPath);
      if (!folder) {
        result = false;
        return;
      }
      const std::string pattern = "*." + ParsePath(backEnd, 4);
      const vfs::ListResult listing = vfs::current().List(*folder, pattern, vfs::kAllFiles);
      if (listing.entries.empty()) {
        result = false;
        return;
      }

      // What this back end has to supply: the tables the set takes from it. A set spread over
      // two back ends takes different tables from each, so asking every candidate for all of
      // the set's tables would never find either of them.
      std::vector<std::string> required;
      for (const detail::SetLink& other : links) {
        if (other.databasePath == link.databasePath)
          required.push_back(other.table);
      }

      bool added = false;
      for (const vfs::Entry& entry : listing.entries) {
        const std::string file = *folder + entry.name;
        if (isCurrentFrontEnd(file) || !candidates.holdsAll(file, required))
          continue;
        int found = 0;
        int needed = 0;
        const std::string score = page.scoreCandidate(file, found, needed);
        if (score == " Locked" || score == "Error")
          continue;
        // The candidates found so far give way to what lies where the back ends used to be,
        // but only once something there qualifies.
        if (!storeCleared) {
          page.lsvDatabases.Clear();
          storeCleared = true;
        }
        if (!detail::storeHolds(page.lsvDatabases, file))
          detail::addCandidate(page, file, score, found, needed);
        if (page.txtDatabasePath.Text.empty()) {
          page.txtDatabasePath.Text = backEnd;
          page.txtDatabasePath.ToolTipText = backEnd;
        }
        added = true;
      }
      if (!added) {
        result = false;
        return;
      }

      LoadListbox();
      std::string tree = ParsePath(linkSetDatabase(), 2);
      if (searched.firstTime(tree, pattern))
        SearchFolderTree(tree, pattern);
      result = true;
    }
  });
  return result;
}

}  // namespace orvanta
