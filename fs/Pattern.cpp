// Listing filters: the attribute mask and the wildcard pattern.
#include "fs/fs.h"

namespace vfs {

bool passesMask(unsigned attributes, unsigned mask) {
  // Only these bits exclude an entry; read-only and archive files are ordinary files.
  constexpr unsigned kExcludable = kHidden | kSystem | kDirectory;
  return (attributes & kExcludable & ~mask) == 0;
}

namespace {

char foldCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool matchesPattern(std::string_view name, std::string_view pattern) {
  // Greedy match that backtracks only to the last "*": linear in practice, and never
  // exponential on patterns with many stars, which a recursive matcher would be.
  std::size_t n = 0;
  std::size_t p = 0;
  std::size_t starP = std::string_view::npos;
  std::size_t starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() &&
               (pattern[p] == '?' || foldCase(pattern[p]) == foldCase(name[n]))) {
      ++p;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*')
    ++p;
  return p == pattern.size();
}

}  // namespace vfs
