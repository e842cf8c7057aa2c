// `vantrel sets` and `vantrel switch`: the Set Manager and the Switch Set Manager.
#pragma once

#include "cli/Options.h"

namespace vantrel {

// Both windows are caption-only stand-ins in this build. Showing one would present a window
// the user cannot do anything in and report success, so both commands refuse before they open
// anything (switch before its check, which could otherwise relink the front end on the way to
// a window that cannot finish the job). They throw FatalError saying so.
int runSets(const Options& options);
int runSwitch(const Options& options);

}  // namespace vantrel
