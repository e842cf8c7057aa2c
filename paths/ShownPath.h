// How a candidate's path is shown in the Fix Set page's candidate list, whose rows have room for
// about fifty characters before the score.
#pragma once

#include <string>

namespace orvanta::paths {

// Paths of up to 50 characters are shown whole. Longer ones keep their head (the drive root
// "C:\", or for a path that starts with a separator the root and its first folder: "/srv/",
// "\\server\"), then "...", then as many trailing folders and the file name as keep head and
// tail under 48 characters. The topmost folder below the head is always elided. Characters are
// counted as UTF-8 code points; the path is only ever cut at its own separators.
std::string shownPath(const std::string& path);

}  // namespace orvanta::paths
