// Whether the component may write to a front end at all. Everything that changes link sets or
// table links writes to the front end itself; on a file that refuses writes each step would
// fail with its own raw error box, so callers ask first and say it once in their own words.
#pragma once

#include <string>

namespace orvanta::detail {

// True when the front end cannot be written: the file has no write permission bit (whoever
// runs the component, since tests run as root), or the file or its folder, where the engine
// creates its journal, refuses this process writing (a read-only file system, a share without
// write permission). A missing file is not read-only: opening it fails on its own terms.
bool frontEndReadOnly(const std::string& frontEnd);

}  // namespace orvanta::detail
