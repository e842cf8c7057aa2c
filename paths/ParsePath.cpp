// ParsePath: one piece of a path, by text alone.
//
// The pieces are cut at the path's own separator, so a Windows-style path and a POSIX path split
// the same way. Nothing here can fail: a path without a separator or a dot simply has an empty
// folder or extension, and its whole text is the name.
#include "paths/PathText.h"
#include "paths/modFunctions.h"

namespace orvanta {

std::string ParsePath(const std::string& path, int mode) {
  const char sep = paths::separatorOf(path);
  const std::size_t lastSep = path.rfind(sep);
  const std::size_t nameStart = lastSep == std::string::npos ? 0 : lastSep + 1;

  switch (mode) {
    case 1:
      // A drive is "X:" at the very start; a path beginning with a separator (POSIX, or a
      // network path \\server\share) has none.
      return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : std::string();
    case 2:
      return lastSep == std::string::npos ? std::string() : path.substr(0, lastSep + 1);
    case 3: {
      // The first dot of the file name ends the name: b.c.mdb is "b". Callers compare these
      // names, so "Sales.old.mdb" counts as a copy named Sales.
      const std::size_t dot = path.find('.', nameStart);
      return path.substr(nameStart, dot == std::string::npos ? std::string::npos : dot - nameStart);
    }
    case 4: {
      // Only a dot inside the file name starts an extension: C:\Data.old\file has none.
      const std::size_t dot = path.rfind('.');
      if (dot == std::string::npos || dot < nameStart)
        return std::string();
      return path.substr(dot + 1);
    }
    default:
      return std::string();
  }
}

}  // namespace orvanta
