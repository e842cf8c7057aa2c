// The start-up check behind clsOrvanta::CheckLinkedTables: load the active set, measure the
// front end's links and every link set against each other and against the files on disk, then
// do the one thing the decision table says: nothing, a silent relink, the Set Manager, or one
// page of the Relink Wizard. Every window is unloaded before it returns.
#include <exception>
#include <string>

#include "dao/dao.h"
#include "engine/CandidateSearch.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/FrontEndAccess.h"
#include "engine/Reports.h"
#include "engine/StartupDecision.h"
#include "engine/StartupSteps.h"
#include "orvanta/clsOrvanta.h"
#include "ui/sets/frmSetManager.h"
#include "ui/wizard/frmCreateNewSet.h"
#include "ui/wizard/frmFEMoved.h"
#include "ui/wizard/frmIIb2c2.h"
#include "ui/wizard/frmIb1.h"
#include "ui/wizard/frmId12.h"
#include "ui/wizard/frmWizard1.h"
#include "uikit/desktop.h"
#include "uikit/form.h"

namespace orvanta {

namespace detail {

Decision decideStartupAction(const Situation& s) {
  if (s.matches && s.open && !s.rel && s.moved)
    return {1, StartupAction::ShowFEMoved};
  if (s.matches && s.open && !s.rel)
    return {2, StartupAction::Nothing};
  if (!s.found && !s.present)
    return {3, StartupAction::SetManager};
  if (s.rel)
    return {4, StartupAction::SameRelativePath};
  if (s.valid) {
    if (!s.present)
      return {5, StartupAction::Relink};
    switch (s.count) {
      case 1:
        return {5, StartupAction::Relink};
      case 2:
        return {5, StartupAction::ShowId12};
      case 3:
        // As many links as linked tables: if they all open the two simply differ (the user
        // chooses); if some do not, the set is the better half and is applied silently.
        return {5, s.open ? StartupAction::ShowIb1 : StartupAction::Relink};
      default:
        return {5, StartupAction::Nothing};
    }
  }
  if (s.open) {
    if (!s.found)
      return {6, StartupAction::ShowCreateNewSet};
    switch (s.count) {
      case 1:
        return {6, StartupAction::ShowWizard1};
      case 2:
      case 3:
        return {6, StartupAction::ShowIIb2c2};
      default:
        return {6, StartupAction::Nothing};
    }
  }
  if (!s.found && s.present)
    return {7, StartupAction::ShowCreateNewSet};
  return {8, StartupAction::ShowWizard1};
}

}  // namespace detail

namespace {

constexpr const char* kSameRelativePathValid =
    "We have detected that your application has been renamed or moved to a different directory. "
    "Your original table links are still valid, however we have detected another valid backend "
    "database in the same relative path as the new location of your application. Select an "
    "option at the right and a detailed description will appear below.";
constexpr const char* kSameRelativePathInvalid =
    "We have detected that your application has been renamed or moved to a different directory. "
    "Your original table links are no longer valid, however we have detected another valid "
    "backend database in the same relative path as the new location of your application. Select "
    "an option at the right and a detailed description will appear below.";

// Applies the active set and says so. A relink that failed is not announced as done: the links
// are still broken, so the user gets the wizard instead, as in any situation the check cannot
// mend by itself. (The relink is all or nothing, so the front end is as it was.)
void relinkSilently() {
  if (!LinkTablesToActiveSet()) {
    uikit::form<frmWizard1>().ShowModal();
    return;
  }
  uikit::MsgBox(std::string("Vantrel has detected and reestablished your missing table links.") +
                    uikit::vbCrLf + uikit::vbCrLf + "Click Ok to run your application.",
                uikit::Buttons::OK, uikit::Icon::Information, "Links Reestablished");
}

void act(detail::StartupAction action, bool valid) {
  using detail::StartupAction;
  switch (action) {
    case StartupAction::Nothing:
      return;
    case StartupAction::ShowFEMoved:
      AddActiveSetToListBox();
      uikit::form<frmFEMoved>().ShowModal();
      return;
    case StartupAction::SetManager:
      detail::offerSetManagerForNoActiveSet();
      return;
    case StartupAction::SameRelativePath: {
      if (valid)
        AddActiveSetToListBox();
      frmWizard1& page = uikit::form<frmWizard1>();
      page.txtInfo.Text = valid ? kSameRelativePathValid : kSameRelativePathInvalid;
      page.ShowModal();
      return;
    }
    case StartupAction::Relink:
      relinkSilently();
      return;
    case StartupAction::ShowId12:
      uikit::form<frmId12>().ShowModal();
      return;
    case StartupAction::ShowIb1:
      uikit::form<frmIb1>().ShowModal();
      return;
    case StartupAction::ShowIIb2c2:
      uikit::form<frmIIb2c2>().ShowModal();
      return;
    case StartupAction::ShowCreateNewSet:
      uikit::form<frmCreateNewSet>().ShowModal();
      return;
    case StartupAction::ShowWizard1:
      uikit::form<frmWizard1>().ShowModal();
      return;
  }
}

}  // namespace

namespace detail {

void reportReadOnlyFrontEnd(const std::string& frontEnd) {
  uikit::MsgBox("The front end " + frontEnd +
                    " is read-only, so Vantrel cannot check or repair its table links." +
                    uikit::vbCrLf + uikit::vbCrLf +
                    "Make the file and its folder writable, then start the application again.",
                uikit::Buttons::OK, uikit::Icon::Exclamation, "Read-Only Front End");
}

void offerSetManagerForNoActiveSet() {
  uikit::MsgBox(std::string("There is currently no Active Link Set defined.") + uikit::vbCrLf +
                    "Use Set Manager to create an Active Link Set.",
                uikit::Buttons::OK, uikit::Icon::Information, "No Active Link Set Found");
  showSetManager();
}

void beginCheck(const std::string& frontEnd) {
  ComponentState& s = state();
  s.ignore = false;
  s.frontEndMoved = false;
  s.currentFrontEndPath = frontEnd;
  s.linkSetDatabasePath.clear();
  s.savedFrontEndPath.clear();
  s.activeSetName.clear();
  s.activeSetDescription.clear();
  s.activeSetFound = false;
  s.linkedTablesPresent = false;
  s.currentLinksOpen = false;
  s.activeSetMatches = false;
  s.matchingSetCount = 0;
  s.activeSetValid = false;
  s.linkCountComparison = 0;
  s.frontEndReadOnly = false;
}

void loadActiveSet(const std::string& frontEnd) {
  ComponentState& s = state();
  GetActiveSet(frontEnd);
  // GetActiveSet has put the path recorded with the active set into the link-set database
  // path. The link-set tables live in the front end itself, so from here on that is the file
  // the host handed us: when the paths differ the front end moved; when they differ only in
  // letter case they name the same file on a case-insensitive disk, while on a case-sensitive
  // one only the host's spelling is sure to exist.
  s.savedFrontEndPath = s.linkSetDatabasePath;
  if (!s.savedFrontEndPath.empty() &&
      !equalsIgnoringCase(s.savedFrontEndPath, s.currentFrontEndPath)) {
    s.frontEndMoved = true;
  }
  s.linkSetDatabasePath = s.currentFrontEndPath;
}

}  // namespace detail

int RunStartupCheck(const std::string& strCurrentFEPath) {
  ComponentState& s = state();
  detail::beginCheck(strCurrentFEPath);
  // Every step below writes to the front end (the link-set tables, the verdicts, the recorded
  // path); on a read-only one each would fail with its own error box and the analysis would
  // describe a situation that does not exist. Say it once and change nothing.
  if (detail::frontEndReadOnly(strCurrentFEPath)) {
    s.frontEndReadOnly = true;
    try {
      detail::reportReadOnlyFrontEnd(strCurrentFEPath);
    } catch (...) {  // no desktop to tell: the host still gets its answer and the flag
    }
    return 0;
  }
  // The relinking below goes through an instance of the component's own, as any window's work
  // does; creating it also gives the permissions their defaults if no host instance did.
  clsOrvanta relinker;

  try {
    detail::loadActiveSet(strCurrentFEPath);

    {
      const detail::SharedProbe askEachFileOnce;
      s.currentLinksOpen = CheckCurrentLinks();
      ValidateLinkSets();
    }
    MatchLinkSets();
    s.linkCountComparison = CompareLinkCounts();
    const bool rel = s.frontEndMoved && s.activeSetMatches && CheckRelativePath();

    const detail::Decision decision = detail::decideStartupAction(
        {s.activeSetMatches, s.currentLinksOpen, rel, s.frontEndMoved, s.activeSetFound,
         s.linkedTablesPresent, s.activeSetValid, s.linkCountComparison});
    act(decision.action, s.activeSetValid);
  } catch (const std::exception& e) {
    try {
      const dao::Error* daoError = dynamic_cast<const dao::Error*>(&e);
      reportEngineError("CheckLinkedTables", daoError ? daoError->Number() : dao::kErrInternal,
                        e.what());
    } catch (...) {  // the report itself failed (no desktop): the result still goes back
    }
  }

  // From here on nothing may stop the check from answering the host and closing its windows.
  const int result = s.ignore ? 1 : 0;
  if (!s.ignore) {
    try {
      // A moved front end is recorded where it now is. So is one whose set never recorded a
      // path (a set made by another tool, or before this check existed): otherwise every later
      // start would be a "first run" and a move would never be noticed.
      if (s.frontEndMoved || (s.activeSetFound && s.savedFrontEndPath.empty())) {
        UpdateFrontEndPath();
      }
    } catch (...) {
    }
  }
  try {
    uikit::unloadAllForms();
  } catch (...) {
  }
  return result;
}

}  // namespace orvanta
