#include "host/FrontEndFile.h"

#include <unistd.h>

#include <cerrno>
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
  // A loop of symbolic links or an overlong name is no missing file.
  if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory)
    throw HostError(path + ": cannot be opened: " + ec.message());
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
        if (access(absolute.c_str(), R_OK) != 0 && errno == EACCES)
          throw HostError(path + ": cannot be opened (permission denied)");
        throw HostError(path + ": cannot be opened: " + e.Description());
      case dao::kErrExclusivelyLocked:
        throw HostError(path + ": in exclusive use by another program (error 3356)");
      default:
        throw HostError(path + ": cannot be opened: " + e.Description());
    }
  }
  return absolute;
}

}  // namespace vantrel
