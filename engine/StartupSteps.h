// Steps of the start-up check that another entry (the Relink Manager's) takes in the same way,
// so that both see the same active set, the same moved front end and the same advice when no
// set is active.
#pragma once

#include <string>

namespace orvanta::detail {

// Forgets what an earlier check in this thread found (active set, analysis, ignore decision)
// and makes frontEnd the current front end. The host's permissions stay.
void beginCheck(const std::string& frontEnd);

// Loads the active set of frontEnd (GetActiveSet) and sets the front-end-moved flag when the
// set recorded another path. From then on the link-set database is frontEnd itself.
void loadActiveSet(const std::string& frontEnd);

// Tells the user that frontEnd is read-only, so nothing can be checked or repaired.
void reportReadOnlyFrontEnd(const std::string& frontEnd);

// "No Active Link Set Found", then the Set Manager, modally.
void offerSetManagerForNoActiveSet();

}  // namespace orvanta::detail
