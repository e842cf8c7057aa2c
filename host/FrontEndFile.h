// The front end a host names (the FRONTEND operand of vantrel's commands, the path given to the
// C interface's status report): made absolute (the component records the path it is given, so a
// relative one would be meaningless the next time) and proved to be an existing database file
// before anything else runs, so that the user gets one clear line instead of an engine error box.
#pragma once

#include <string>

namespace vantrel {

// The absolute, lexically normalised form of path (no file-system access).
std::string absolutePath(const std::string& path);

// Returns the absolute path of a front end that exists and opens as a database. Opens it
// read-only and closes it again, so the file is not changed. Throws orvanta::HostError otherwise.
std::string requireFrontEnd(const std::string& path);

}  // namespace vantrel
