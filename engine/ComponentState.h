// The component's shared state: one copy per host thread, shared by every clsOrvanta instance
// and every window on that thread. A second instance therefore sees the active set, paths and
// flags that the first one left. Everything starts empty / false when a thread first uses the
// component; clsOrvanta's constructor gives the permission flags their defaults once.
#pragma once

#include <string>

namespace orvanta {

struct ComponentState {
  // Paths.
  std::string currentFrontEndPath;  // full path of the front end, passed by the host
  std::string linkSetDatabasePath;  // where the link-set tables are read; "" means the front end
  std::string savedFrontEndPath;    // FrontEndPath recorded with the active set when a check began

  // The active link set.
  std::string activeSetName;  // "" when none
  std::string activeSetDescription;
  bool activeSetFound = false;

  // Outcome flags.
  bool frontEndMoved = false;
  bool ignore = false;  // the user chose to ignore the problem on a wizard page
  // The last check found the front end read-only, said so and changed nothing; a host (the
  // vantrel program) reads it to tell that outcome from an ordinary 0.
  bool frontEndReadOnly = false;

  // Permissions (the host's configuration). bolAllowPathChange and bolAllowSetMgmt are stored
  // for the host's benefit; no procedure reads them.
  bool bolAllowSetSwitching = false;
  bool bolAllowPathChange = false;
  bool bolAllowAddTables = false;
  bool bolAllowSetMgmt = false;
  bool defaultsApplied = false;

  // Flags and values the windows set.
  std::string chosenBackEndPath;  // the database last chosen to add links from
  bool relinkDone = false;        // a relink was made in the Relink Manager
  bool tableChangeGuard = false;  // raised while code (not the user) changes a required-table row
  bool searchStop = false;        // the user pressed Stop in the file search dialog

  // Results of the start-up analysis.
  bool linkedTablesPresent = false;
  bool currentLinksOpen = false;
  bool activeSetMatches = false;
  int matchingSetCount = 0;
  bool activeSetValid = false;
  int linkCountComparison = 0;  // 1: set has more links; 2: front end has more; 3: as many
};

// The calling thread's state.
ComponentState& state();

// The database that holds the link-set tables: the link-set database path, or the current
// front-end path when that is empty.
const std::string& linkSetDatabase();

// True when path names the current front end: the same text, or the same file reached another
// way (a hard or symbolic link, another spelling). The front end is never its own candidate.
bool isCurrentFrontEnd(const std::string& path);

}  // namespace orvanta
