#include "orvanta/clsOrvanta.h"

#include <cstdint>
#include <memory>
#include <string>

#include "dao/dao.h"
#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "engine/LinkSetStore.h"
#include "engine/Procedure.h"
#include "ui/sets/frmSetManager.h"
#include "ui/sets/frmSwitchSetManager.h"
#include "uikit/form.h"

namespace orvanta {

clsOrvanta::clsOrvanta() {
  // Only the first instance on a thread applies the defaults, so an instance a window creates
  // later keeps whatever the host configured.
  ComponentState& s = state();
  if (s.defaultsApplied)
    return;
  s.bolAllowSetSwitching = true;
  s.bolAllowPathChange = true;
  s.bolAllowAddTables = true;
  s.bolAllowSetMgmt = true;
  s.defaultsApplied = true;
}

bool clsOrvanta::OpenSetManager(std::string strCurrentFEPath) {
  detail::trapped("OpenSetManager", [&] {
    ComponentState& s = state();
    s.currentFrontEndPath = strCurrentFEPath;
    // What an earlier call in this thread loaded belongs to that front end: a front end without
    // an active set must not show another file's set as active.
    s.activeSetName.clear();
    s.activeSetDescription.clear();
    GetActiveSet(strCurrentFEPath);
    // GetActiveSet points the link-set database at the path recorded with the active set. The
    // tables live in the front end itself: after a move, that recorded path is the old copy.
    s.linkSetDatabasePath = strCurrentFEPath;
    showSetManager();
  });
  return false;
}

std::string clsOrvanta::DatabasePath() const {
  return detail::trapped("DatabasePath", std::string(), [] {
    const std::string& activeSet = state().activeSetName;
    if (activeSet.empty())
      return std::string();
    auto db = detail::openLinkSetDatabase();
    auto links = db->OpenRecordset(linksStatement(activeSet));
    if (links->AtEOF())
      return std::string();
    links->MoveFirst();
    return backEndPathOf(links->Field("DatabasePath").AsString());
  });
}

std::string clsOrvanta::ActiveLinkSet() const {
  return state().activeSetName;
}

std::string clsOrvanta::LinkSetDescription() const {
  return state().activeSetDescription;
}

bool clsOrvanta::SetConfiguration(bool& bolAllowSetSwitching, bool& bolAllowPathChange,
                                  bool& bolAllowAddTables, bool& bolAllowSetMgmt) {
  ComponentState& s = state();
  s.bolAllowSetSwitching = bolAllowSetSwitching;
  s.bolAllowPathChange = bolAllowPathChange;
  s.bolAllowAddTables = bolAllowAddTables;
  s.bolAllowSetMgmt = bolAllowSetMgmt;
  return true;
}

std::int16_t clsOrvanta::CheckLinkedTables(std::string strCurrentFEPath) {
  return static_cast<std::int16_t>(RunStartupCheck(strCurrentFEPath));
}

bool clsOrvanta::OpenSwitchSetManager() {
  detail::trapped("OpenSwitchSetManager", [] { showSwitchSetManager(); });
  return false;
}

}  // namespace orvanta
