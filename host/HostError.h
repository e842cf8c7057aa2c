// A failure a host can do something about: a front end that is missing or no database, a window
// driver that cannot start. The message is one line meant for the user; the vantrel program
// prints it on stderr, the C interface hands it back with its error code.
#pragma once

#include <stdexcept>
#include <string>

namespace orvanta {

class HostError : public std::runtime_error {
 public:
  explicit HostError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace orvanta
