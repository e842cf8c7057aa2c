// A failure that ends a subcommand: main prints "vantrel COMMAND: <message>" as one line on
// stderr and exits with status 2. Used for conditions the user can fix (a missing file, a file
// that is not a database, a folder that is in the way), as opposed to UsageError for a command
// line that cannot be run as written.
#pragma once

#include <stdexcept>
#include <string>

namespace vantrel {

class FatalError : public std::runtime_error {
 public:
  explicit FatalError(const std::string& message) : std::runtime_error(message) {}
};

// The exit status of usage and fatal errors; 0 and 1 belong to the check's result.
inline constexpr int kExitFailure = 2;

}  // namespace vantrel
