// `vantrel relink`: the Relink Manager, for a user who repairs the links by hand.
#pragma once

#include "cli/Options.h"

namespace vantrel {

// Opens the Relink Manager on the front end's absolute path with the chosen window driver.
// Exit status: 0 when every link of the active set opens when the user leaves, 1 when some
// still fail (or no set is active), 2 when the front end is read-only (the component says so
// and shows nothing else). Throws FatalError when the front end is missing or not a database,
// or the driver cannot run.
int runRelink(const Options& options, int& argc, char** argv);

}  // namespace vantrel
