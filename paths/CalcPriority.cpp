// CalcPriority: how much a candidate file looks like the back end that went missing, and
// BestPriority: how much it looks like the one of several missing back ends it fits best.
//
// Name and folder points come from the paths alone (paths/Score.cpp). Table points need two
// files: the front end, for the active set's links, and the candidate, for its local tables.
// The links are read first and the front end closed before the candidate is opened, so a
// candidate that happens to be the front end's own file never finds itself locked by us.
//
// Files on disk are opened by their original paths; the upper-cased copies in the scoring
// only compare, because on a case-sensitive file system they name different files.
#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/Reports.h"
#include "paths/OpenCandidate.h"
#include "paths/PathText.h"
#include "paths/Score.h"
#include "paths/modFunctions.h"

namespace orvanta {
namespace {

constexpr const char* kProcedure = "CalcPriority";

struct Link {
  std::string table;
  std::string backEndPath;
};

// The active set's links from the front end; none without an active set.
std::vector<Link> activeSetLinks() {
  const ComponentState& st = state();
  std::vector<Link> links;
  if (st.activeSetName.empty())
    return links;
  auto frontEnd = dao::OpenDatabase(st.currentFrontEndPath, 0, true);
  auto rows = frontEnd->OpenRecordset(linksStatement(st.activeSetName), dao::dbOpenSnapshot);
  for (; !rows->AtEOF(); rows->MoveNext()) {
    links.push_back({rows->Field("TableName").AsString(),
                     backEndPathOf(rows->Field("DatabasePath").AsString())});
  }
  return links;
}

// The tables a candidate for missingPath must hold: the set's links to that back end. A set
// spread over several back ends needs only the missing one's share from a candidate; when no
// link names the missing path (the caller passed some other reference), every link counts.
std::vector<std::string> neededTables(const std::vector<Link>& links,
                                      const std::string& missingPath) {
  std::vector<std::string> matching;
  std::vector<std::string> all;
  for (const Link& link : links) {
    all.push_back(link.table);
    if (paths::equalsIgnoringCase(link.backEndPath, missingPath))
      matching.push_back(link.table);
  }
  return matching.empty() ? all : matching;
}

// The back ends to score against: those given, or, when none is, every back end of the set
// (distinct, in link order), so that a candidate is still measured against something real.
std::vector<std::string> referencesOf(const std::vector<std::string>& missingPaths,
                                      const std::vector<Link>& links) {
  std::vector<std::string> references = missingPaths;
  if (references.empty()) {
    for (const Link& link : links) {
      if (std::find(references.begin(), references.end(), link.backEndPath) == references.end())
        references.push_back(link.backEndPath);
    }
  }
  if (references.empty())
    references.emplace_back();
  return references;
}

// The local tables of a candidate (a link of the candidate's own does not count: its rows are
// somewhere else).
std::set<std::string> localTables(dao::Database& candidate) {
  std::set<std::string> local;
  for (const dao::TableDef& def : candidate.TableDefs()) {
    if (def.Connect().empty())
      local.insert(def.Name());
  }
  return local;
}

}  // namespace

std::string CalcPriority(const std::string& candidatePath, const std::string& missingPath,
                         int& found, int& needed) {
  return BestPriority(candidatePath, {missingPath}, found, needed);
}

std::string BestPriority(const std::string& candidatePath,
                         const std::vector<std::string>& missingPaths, int& found, int& needed) {
  try {
    const ComponentState& st = state();
    const std::vector<Link> links = activeSetLinks();
    std::unique_ptr<dao::Database> candidate = openCandidate(candidatePath);
    if (!candidate)
      return " Locked";
    const std::set<std::string> local = localTables(*candidate);
    candidate.reset();

    int best = -1;
    for (const std::string& missing : referencesOf(missingPaths, links)) {
      int points =
          paths::namePoints(candidatePath, missing) +
          paths::folderPoints(candidatePath, missing, st.savedFrontEndPath, st.currentFrontEndPath);
      int tablesFound = 0;
      const std::vector<std::string> tables = neededTables(links, missing);
      for (const std::string& table : tables)
        tablesFound += static_cast<int>(local.count(table));  // names compare exactly
      if (!links.empty())
        points += paths::tablePoints(tablesFound, static_cast<int>(tables.size()));
      // The first of equal scores stays: references come in link order.
      if (points > best) {
        best = points;
        if (!links.empty()) {
          found = tablesFound;
          needed = static_cast<int>(tables.size());
        }
      }
    }
    return paths::scoreText(best);
  } catch (const dao::Error& e) {
    reportModuleError(kProcedure, e);
  } catch (const std::exception& e) {
    reportModuleError(kProcedure, dao::kErrInternal, e.what());
  }
  return "Error";
}

}  // namespace orvanta
