// `vantrel sets` and `vantrel switch`: the Set Manager and the Switch Set Manager.
#pragma once

#include "cli/Options.h"

namespace vantrel {

// `sets`: the same file checks as `check`, then OpenSetManager on the chosen window driver.
// Returns 0 once the window has closed. Throws FatalError when the front end is missing, not a
// database or read-only (the window writes every change at once), or the driver cannot run.
int runSets(const Options& options, int& argc, char** argv);

// The Switch Set Manager is a caption-only stand-in in this build. Showing it would present a
// window the user cannot do anything in and report success, so the command refuses before its
// check, which could otherwise relink the front end on the way to a window that cannot finish
// the job. It throws FatalError saying so.
int runSwitch(const Options& options);

}  // namespace vantrel
