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
