// `vantrel check`: the start-up check, run exactly as a host application runs it at start-up.
#pragma once

#include <functional>

#include "cli/Options.h"

namespace orvanta {
class clsOrvanta;
}

namespace vantrel {

// Creates clsOrvanta, configures it with the four permissions and calls CheckLinkedTables with
// the front end's absolute path on the chosen window driver. Returns the check's result (0, or
// 1 when the user chose to ignore the problem), or 2 when the check refused a read-only front
// end. Throws FatalError when the front end is missing or not a database, or the driver cannot
// run. argc and argv go to the desktop driver, which may take its own arguments from them.
//
// then, when given, runs next on the same component and driver, as a host goes on after its
// start-up check, unless the check refused; the result stays the check's.
int runCheck(const Options& options, int& argc, char** argv,
             const std::function<void(orvanta::clsOrvanta&)>& then = {});

}  // namespace vantrel
