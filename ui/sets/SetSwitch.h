// Switching the front end to another stored link set, chosen by its ID: the data side of the
// Switch Set Manager's OK.
#pragma once

#include <cstdint>

namespace orvanta {

// Makes the set row setId the only active set and records the current front-end path with it,
// in one transaction; once that has committed the component state names it as the active set.
// Then rebuilds the front end's linked tables from that set's links in a transaction of its own
// and returns whether the rebuild went through. When it cannot (a back end missing, locked or
// not a database, as in any set that does not validate) the front end keeps every link it had,
// never part of one set and part of another, while the chosen set stays active for the start-up
// check to repair.
//
// Throws dao::Error when the activation fails, with nothing changed; error 3021 when no set row
// has that ID any more.
bool switchToLinkSet(std::int32_t setId);

}  // namespace orvanta
