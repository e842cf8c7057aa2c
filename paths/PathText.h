// Small text helpers shared by the path and scoring procedures. Paths are compared as text: the
// separator rule and the case folding here are the whole of what "same path" means to them.
#pragma once

#include <string>
#include <string_view>

namespace orvanta::paths {

// A path's separator: the backslash when the path contains one, otherwise the slash. So
// C:\App\Be.mdb splits at "\" and /srv/app/be.mdb at "/", whichever platform we run on.
inline char separatorOf(std::string_view path) {
  return path.find('\\') != std::string_view::npos ? '\\' : '/';
}

// path with sep as its separator. A path written the other way, such as a Windows path stored
// by a front end that has since been carried to this platform, loses what only its own platform
// knows (a drive letter, a network path's host) and has its separators turned into sep, so that
// positions worked out from it compare with positions worked out here. A path already written
// with sep comes back unchanged.
inline std::string inSeparatorOf(std::string_view path, char sep) {
  const char other = sep == '/' ? '\\' : '/';
  if (path.find(other) == std::string_view::npos)
    return std::string(path);
  if (path.size() >= 2 && path[1] == ':') {
    path.remove_prefix(2);  // the drive
  } else if (path.size() >= 2 && path[0] == other && path[1] == other) {
    const std::size_t share = path.find(other, 2);  // \\host\share: the host goes
    path.remove_prefix(share == std::string_view::npos ? path.size() : share);
  }
  std::string out(path);
  for (char& c : out) {
    if (c == other)
      c = sep;
  }
  return out;
}

// ASCII upper case. Deliberately not std::toupper: under a host's single-byte locale that would
// rewrite bytes of UTF-8 sequences. Upper-cased paths are for comparing only, never for opening.
inline std::string upperCase(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

inline bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && upperCase(a) == upperCase(b);
}

}  // namespace orvanta::paths
