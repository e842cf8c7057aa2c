// Opening a database file that was found on disk (a folder listing, the file dialog, a drive
// search) or named by a link row, to read its tables.
//
// Such a file is untrusted and is never opened for writing. A writer that opens a file left with
// a hot rollback journal replays that journal into it, and then deletes the super-journal the
// journal names, which may be any file the user can delete, the front end included. Opened
// read-only, such a file is refused instead, and so is one held exclusively elsewhere or one that
// is not a database: to the user it is "Locked".
#pragma once

#include <memory>
#include <string>

#include "dao/dao.h"

namespace orvanta {

// The candidate opened read-only and shared, or nullptr when it will not open that way.
std::unique_ptr<dao::Database> openCandidate(const std::string& path);

}  // namespace orvanta
