// `vantrel sets`: the Set Manager.
#pragma once

#include "cli/Options.h"

namespace vantrel {

// The window is a caption-only stand-in in this build. Showing it would present a window the
// user cannot do anything in and report success, so the command refuses before it opens
// anything. It throws FatalError saying so.
int runSets(const Options& options);

}  // namespace vantrel
