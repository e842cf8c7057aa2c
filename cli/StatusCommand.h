// `vantrel status`: prints the read-only report of StatusReport.h as text or JSON.
#pragma once

#include "cli/Options.h"

namespace vantrel {

// Returns 0 once the report is printed; throws FatalError for a missing file or one that is not
// a database, dao::Error when the front end cannot be read.
int runStatus(const Options& options);

}  // namespace vantrel
