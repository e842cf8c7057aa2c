// `vantrel switch`: the start-up check, then the Switch Set Manager, as a host application opens
// it after its start-up check.
#pragma once

#include "cli/Options.h"

namespace vantrel {

// Runs the check as runCheck does, then opens the Switch Set Manager on the same driver. Exit
// status: the check's result (0, or 1 when the user ignored a problem the check found), or 2
// when the check refused a read-only front end, in which case the window is not opened. Throws
// FatalError as runCheck does.
int runSwitch(const Options& options, int& argc, char** argv);

}  // namespace vantrel
