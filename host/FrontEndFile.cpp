#include "host/FrontEndFile.h"

#include <filesystem>
#include <system_error>

#include "dao/dao.h"
#include "host/HostError.h"

namespace fs = std::filesystem;

namespace vantrel {

using orvanta::HostError;

std::string absolutePath(const std::string& path) {
  std::error_code ec;
  fs::path absolute = fs::absolute(path, ec);
  if (ec)
    return path;
  return absolute.lexically_normal().string();
}

std::string requireFrontEnd(const std::string& path) {
  const std::string absolute = absolutePath(path);
  std::error_code ec;
  const fs::file_status status = fs::status(absolute, ec);
  if (!fs::exists(status))
    throw HostError(path + ": no such file");
  if (fs::is_directory(status))
    throw HostError(path + ": is a folder, not a database file");
  if (!fs::is_regular_file(status))
    throw HostError(path + ": not a regular file");

  try {
    auto db = dao::OpenDatabase(absolute, 0, true);
    // Opening is lazy underneath; listing the tables makes the engine read the file's header
    // and schema, which is where a file that is not a database shows itself.
    (void)db->TableDefs().Count();
    db->Close();
  } catch (const dao::Error& e) {
    switch (e.Number()) {
      case dao::kErrUnfinishedChange:  // a writer left it mid-change: check completes it
      case dao::kErrLocked:            // a database another program is writing right now
        break;
      case dao::kErrFileNotFound:
        throw HostError(path + ": no such file");
      case dao::kErrNotADatabase:
        throw HostError(path + ": not a database file");
      case dao::kErrCannotOpen:
        throw HostError(path + ": cannot be opened (permission denied)");
      case dao::kErrExclusivelyLocked:
        throw HostError(path + ": in exclusive use by another program");
      default:
        throw HostError(path + ": cannot be opened: " + e.Description());
    }
  }
  return absolute;
}

}  // namespace vantrel
