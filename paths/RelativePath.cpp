// GetRelativePath: where a target file or folder lies as seen from a base folder.
//
// The scoring compares two such positions (the old back end from the old front end, a candidate
// from the moved front end), so the result must be the same text for the same layout on any
// drive: ".\Data\Be.mdb" below the base, "..\Data\Be.mdb" beside it, "" when the two paths do
// not share a drive (or a root). Comparisons are case-sensitive; callers that want to ignore
// case upper-case both paths first.
//
// Folders match only as whole folders: the base C:\A\B\ does not find C:\AB\x.mdb under C:\A,
// because C:\AB is a different folder that merely starts with the same letters.
//
// POSIX paths follow the same steps with "/" and give "./", "../" results. Walking up from the
// base ends at its root: at C:\ for a drive path, where the remaining folder is "C:", and at /
// for a POSIX path, where it is the empty text. A target rooted the same way is always found
// there and taken from just after that root separator: the "..\..\..\X\Be.mdb" of a distant
// folder and its POSIX twin "../../../x/be.mdb" both come from this step. Walking off the top
// happens only when the target does not share the base's root: a drive path whose target lacks
// the "C:\" (a drive-relative "C:x"), where the target is appended after its own root, or two
// relative paths, where the base's top folder is one more level up and the target follows whole.
#include "paths/PathText.h"
#include "paths/modFunctions.h"

namespace orvanta {
namespace {

bool isDrive(const std::string& folder) {
  return folder.size() == 2 && folder[1] == ':';
}

// Length of a path's root: "C:\" is 3, "C:" is 2, "/" (or a leading "\") is 1, none is 0.
std::size_t rootLength(const std::string& path, char sep) {
  std::size_t n = path.size() >= 2 && path[1] == ':' ? 2 : 0;
  if (n < path.size() && path[n] == sep)
    ++n;
  return n;
}

// True when target lies inside folder (given without its trailing separator): it starts with
// folder followed by a separator.
bool isUnder(const std::string& target, const std::string& folder, char sep) {
  return target.size() > folder.size() && target.compare(0, folder.size(), folder) == 0 &&
         target[folder.size()] == sep;
}

}  // namespace

std::string GetRelativePath(const std::string& base, const std::string& target) {
  // Different first characters mean different drives (or one rooted, one not).
  if (base.empty() || target.empty() || base[0] != target[0])
    return std::string();
  const char sep = paths::separatorOf(base);
  // A Windows-style path and a POSIX path have no position relative to each other.
  if (paths::separatorOf(target) != sep)
    return std::string();

  // The base is a folder; callers pass it with its trailing separator, but a base without one
  // names the same folder.
  std::string folder = base;
  if (folder.back() == sep)
    folder.pop_back();

  if (isUnder(target, folder, sep)) {
    return std::string(1, '.') + sep + target.substr(folder.size() + 1);
  }

  std::string result;
  for (;;) {
    const std::size_t p = folder.rfind(sep);
    if (p == std::string::npos) {
      if (!isDrive(folder)) {
        result += "..";
        result += sep;
      }
      result += target.substr(rootLength(target, sep));
      return result;
    }
    result += "..";
    result += sep;
    folder.resize(p);
    if (isUnder(target, folder, sep)) {
      result += target.substr(folder.size() + 1);
      return result;
    }
  }
}

}  // namespace orvanta
