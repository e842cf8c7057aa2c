// The Relink Manager's entry: prepare the window from the active set's links, show it, and
// after every relink made in it test the links again and show it afresh.
#include <exception>
#include <string>
#include <vector>

#include "dao/dao.h"
#include "engine/CandidateSearch.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/FrontEndAccess.h"
#include "engine/Procedure.h"
#include "engine/StartupSteps.h"
#include "orvanta/clsOrvanta.h"
#include "paths/CandidateList.h"
#include "paths/modFunctions.h"
#include "ui/relink/LinkStatus.h"
#include "ui/relink/frmLinkManager.h"
#include "ui/wizard/frmFixSet.h"
#include "uikit/form.h"

namespace orvanta {
namespace {

// Validates every set, so that the verdicts stored with them are those of the links as they are
// now, and returns the candidates the Fix Set page would offer for a broken active set (the
// failed back ends' neighbours and the files below the front end's folder).
std::vector<std::string> validateAndFindCandidates() {
  ValidateLinkSets();
  std::vector<std::string> found;
  frmFixSet& page = uikit::form<frmFixSet>();
  for (const auto& item : page.lsvDatabases.items())
    found.push_back(item.text);
  // Only its search was wanted: the page itself is never shown from here.
  page.Unload();
  return found;
}

// Lists each candidate scored against the back end this window relinks.
void addCandidates(frmLinkManager& window, const std::vector<std::string>& found,
                   const std::string& failedPath) {
  uikit::ListView& list = window.lsvDatabases;
  for (const std::string& path : found) {
    int have = 0;
    int needed = 0;
    const std::string score = CalcPriority(path, failedPath, have, needed);
    AddCandidateRow(list, path, score, have, needed);
  }
}

// Fills the loaded window as it expects before each show. Returns the links as tested.
std::vector<TestedLink> prepare(frmLinkManager& window, clsOrvanta& component) {
  const ComponentState& s = state();
  // The status tree and the validation ask the same files about the same tables.
  const detail::SharedProbe askEachFileOnce;
  window.treLinkStatus.Clear();
  const std::vector<TestedLink> links = testActiveSetLinks();
  fillStatusTree(window.treLinkStatus, links, s.frontEndMoved);
  const TestedLink* failed = firstFailure(links);
  window.lblTableName.Caption = failed ? failed->table : "";
  window.lblDatabasePath.Caption = failed ? failed->backEnd : "";
  window.LMObj = &component;
  window.txtLinkStatus.Text = problemText(links, s.frontEndMoved);
  const std::vector<std::string> found = validateAndFindCandidates();
  if (failed)
    addCandidates(window, found, failed->backEnd);
  return links;
}

bool allOpen(const std::vector<TestedLink>& links) {
  return firstFailure(links) == nullptr;
}

}  // namespace

bool OpenRelinkManager(const std::string& strCurrentFEPath) {
  ComponentState& s = state();
  detail::beginCheck(strCurrentFEPath);
  // A relink writes the front end; on a read-only one nothing the window offers could work.
  if (detail::frontEndReadOnly(strCurrentFEPath)) {
    s.frontEndReadOnly = true;
    detail::reportReadOnlyFrontEnd(strCurrentFEPath);
    return false;
  }
  clsOrvanta component;
  bool result = false;
  try {
    detail::loadActiveSet(strCurrentFEPath);
    if (!s.activeSetFound) {
      detail::offerSetManagerForNoActiveSet();
    } else {
      do {
        s.relinkDone = false;
        frmLinkManager& window = uikit::form<frmLinkManager>();
        prepare(window, component);
        window.ShowModal();
        // The window unloads itself after a relink; a fresh one is prepared from the links as
        // they are now.
      } while (s.relinkDone);
    }
    // The Set Manager may have made another set active meanwhile.
    if (s.activeSetFound)
      result = allOpen(testActiveSetLinks());
  } catch (const std::exception& e) {
    reportEngineError("OpenRelinkManager", detail::asDaoError(e));
  }
  uikit::unloadAllForms();
  return result;
}

}  // namespace orvanta
