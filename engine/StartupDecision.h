// The decision table of the start-up check: from the analysis results to the one thing the
// check does. Kept apart from the check itself so that every row can be tested on its own.
#pragma once

namespace orvanta::detail {

// The analysis results the table reads.
struct Situation {
  bool matches = false;  // the active set and the front end's links are the same
  bool open = false;     // every linked table of the front end opens
  bool rel = false;      // back ends found at the same relative position (moved front end)
  bool moved = false;    // the front end is not where the active set last saw it
  bool found = false;    // there is an active set
  bool present = false;  // the front end has linked tables
  bool valid = false;    // every link of the active set works
  int count = 0;         // 1: the set has more links; 2: the front end has more; 3: as many
};

enum class StartupAction {
  Nothing,
  ShowFEMoved,       // after offering the active set's own back ends on the Fix Set page
  SetManager,        // "No Active Link Set Found", then the Set Manager
  SameRelativePath,  // frmWizard1 with the moved-front-end text (T1 when valid, else T2)
  Relink,            // apply the active set, then "Links Reestablished"
  ShowId12,
  ShowIb1,
  ShowIIb2c2,
  ShowCreateNewSet,
  ShowWizard1,
};

struct Decision {
  int row = 0;  // the row of the table that applied, 1 to 8
  StartupAction action = StartupAction::Nothing;
};

// The first row whose condition holds. Row 5 and 6 outcomes that the table leaves open (a link
// count of 0, when counting failed) are Nothing.
Decision decideStartupAction(const Situation& s);

}  // namespace orvanta::detail
