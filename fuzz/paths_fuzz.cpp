// ParsePath and GetRelativePath take stored paths of any shape (Windows or POSIX, truncated,
// empty). Every piece must be a part of the path, and a relative path must end with the part of
// the target below the folders it climbs to.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/FuzzInput.h"
#include "paths/modFunctions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto f = fuzz::fields(data, size, 2);
  const std::string& path = f[0];
  for (int mode = 0; mode <= 5; ++mode) {
    const std::string piece = orvanta::ParsePath(path, mode);
    if (piece.size() > path.size())
      fuzz::fail("a piece is longer than its path", path + "\n" + piece);
  }
  const std::string relative = orvanta::GetRelativePath(f[1], path);
  std::string_view rest = relative;
  const std::string_view seps = "\\/";
  if (rest.size() >= 2 && rest[0] == '.' && seps.find(rest[1]) != std::string_view::npos)
    rest.remove_prefix(2);
  while (rest.size() >= 3 && rest.substr(0, 2) == ".." &&
         seps.find(rest[2]) != std::string_view::npos)
    rest.remove_prefix(3);
  if (!path.ends_with(rest))
    fuzz::fail("a relative path does not end with a part of its target", path + "\n" + relative);
  return 0;
}
