// Shortening a long candidate path for the candidate list: the head says which drive (or which
// top-level folder of a POSIX tree), the tail says which file in which folders, and "..." stands
// for the middle. Cutting only at separators keeps every folder name that is shown whole.
#include "paths/ShownPath.h"

#include "paths/PathText.h"

namespace orvanta::paths {
namespace {

constexpr std::size_t kLongestShownWhole = 50;
constexpr std::size_t kHeadAndTailLimit = 48;

// UTF-8 code points: every byte that is not a continuation byte starts a character.
std::size_t characters(const std::string& text) {
  std::size_t n = 0;
  for (unsigned char c : text) {
    if ((c & 0xC0) != 0x80)
      ++n;
  }
  return n;
}

}  // namespace

std::string shownPath(const std::string& path) {
  if (characters(path) <= kLongestShownWhole)
    return path;
  const char sep = separatorOf(path);

  // The head ends at the first separator from the third character on: "C:\" for a drive path.
  // A path that starts with a separator keeps its first folder too ("/srv/", "\\server\"),
  // since "/" alone tells the reader nothing.
  const std::size_t headEnd = path.find(sep, 2);
  if (headEnd == std::string::npos)
    return path;  // nothing to cut at
  const std::string head = path.substr(0, headEnd + 1);
  std::string rest = path.substr(headEnd + 1);

  const std::size_t nameStart = rest.rfind(sep);
  // The file sits right below the head: there is no folder to elide.
  if (nameStart == std::string::npos)
    return path;
  std::string tail = rest.substr(nameStart);
  rest.resize(nameStart);

  const std::size_t headLength = characters(head);
  std::size_t tailLength = characters(tail);
  for (;;) {
    const std::size_t partStart = rest.rfind(sep);
    if (partStart == std::string::npos)
      break;
    const std::string part = rest.substr(partStart);
    const std::size_t partLength = characters(part);
    if (headLength + partLength + tailLength >= kHeadAndTailLimit)
      break;
    tail.insert(0, part);
    tailLength += partLength;
    rest.resize(partStart);
  }
  return head + "..." + tail;
}

}  // namespace orvanta::paths
