// `vantrel sets`: the Set Manager.
#pragma once

#include "cli/Options.h"

namespace vantrel {

// `sets`: the same file checks as `check`, then OpenSetManager on the chosen window driver.
// Returns 0 once the window has closed. Throws FatalError when the front end is missing, not a
// database or read-only (the window writes every change at once), or the driver cannot run.
int runSets(const Options& options, int& argc, char** argv);

}  // namespace vantrel
