// A failure that ends a subcommand: main prints "vantrel COMMAND: <message>" as one line on
// stderr and exits with status 2. Used for conditions the user can fix (a missing file, a file
// that is not a database, a folder that is in the way), as opposed to UsageError for a command
// line that cannot be run as written.
#pragma once

#include "host/HostError.h"

namespace vantrel {

// The library's own failures for the user (a front end that is no database, a driver that cannot
// start) end a subcommand the same way as the program's.
using FatalError = orvanta::HostError;

// The exit status of usage and fatal errors; 0 and 1 belong to the check's result.
inline constexpr int kExitFailure = 2;

}  // namespace vantrel
