// CalcPriority: how much a candidate file looks like the back end that went missing.
//
// Name and folder points come from the paths alone (paths/Score.cpp). Table points need two
// files: the front end, for the active set's links, and the candidate, for its local tables.
// The links are read first and the front end closed before the candidate is opened, so a
// candidate that happens to be the front end's own file never finds itself locked by us.
//
// Files on disk are opened by their original paths; the upper-cased copies in the scoring
// only compare, because on a case-sensitive file system they name different files.
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/Reports.h"
#include "paths/PathText.h"
#include "paths/Score.h"
#include "paths/modFunctions.h"

namespace orvanta {
namespace {

constexpr const char* kProcedure = "CalcPriority";
// The first opening asks for exclusive read-only use: a file nobody else has open is read
// without anyone changing it underneath.
constexpr int kProbeOptions = 4;

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

// A candidate is untrusted: it is opened read-only, exclusively if nobody else has it open,
// shared otherwise. nullptr when it cannot be opened at all (held exclusively elsewhere, not a
// database, unreadable): that is a verdict on the file, not an error.
std::unique_ptr<dao::Database> openCandidate(const std::string& path) {
  try {
    return dao::OpenDatabase(path, kProbeOptions, true);
  } catch (const dao::Error&) {
  }
  try {
    return dao::OpenDatabase(path, 0, true);
  } catch (const dao::Error&) {
  }
  return nullptr;
}

// How many of the needed tables the candidate holds as local tables (a link of the candidate's
// own does not count: its rows are somewhere else). Names compare exactly.
int localTablesFound(dao::Database& candidate, const std::vector<std::string>& needed) {
  std::unordered_map<std::string, const dao::TableDef*> byName;
  const dao::TableDefs& defs = candidate.TableDefs();
  for (const dao::TableDef& def : defs)
    byName.emplace(def.Name(), &def);
  int found = 0;
  for (const std::string& table : needed) {
    const auto it = byName.find(table);
    if (it != byName.end() && it->second->Connect().empty())
      ++found;
  }
  return found;
}

}  // namespace

std::string CalcPriority(const std::string& candidatePath, const std::string& missingPath,
                         int& found, int& needed) {
  try {
    const ComponentState& st = state();
    int points = paths::namePoints(candidatePath, missingPath) +
                 paths::folderPoints(candidatePath, missingPath, st.savedFrontEndPath,
                                     st.currentFrontEndPath);

    const std::vector<Link> links = activeSetLinks();
    std::unique_ptr<dao::Database> candidate = openCandidate(candidatePath);
    if (!candidate)
      return " Locked";

    if (!links.empty()) {
      const std::vector<std::string> tables = neededTables(links, missingPath);
      const int tablesFound = localTablesFound(*candidate, tables);
      found = tablesFound;
      needed = static_cast<int>(tables.size());
      points += paths::tablePoints(found, needed);
    }
    return paths::scoreText(points);
  } catch (const dao::Error& e) {
    reportModuleError(kProcedure, e);
  } catch (const std::exception& e) {
    reportModuleError(kProcedure, dao::kErrInternal, e.what());
  }
  return "Error";
}

}  // namespace orvanta
