#include "engine/FrontEndAccess.h"

#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>

#include "fs/fs.h"
#include "paths/modFunctions.h"

namespace orvanta::detail {

bool frontEndReadOnly(const std::string& frontEnd) {
  const std::string parent = ParsePath(frontEnd, 2);
  const std::string folder = parent.empty() ? std::string(".") : parent;
  for (const std::string& path : {frontEnd, folder}) {
    const std::optional<unsigned> attributes = vfs::current().Attributes(path);
    if (attributes && (*attributes & vfs::kReadOnly) != 0)
      return true;
    if (::access(path.c_str(), W_OK) != 0 && errno != ENOENT)
      return true;
  }
  return false;
}

}  // namespace orvanta::detail
