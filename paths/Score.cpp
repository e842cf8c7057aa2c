// Score arithmetic. Everything is integer: found/needed*10 and points*3.33 are rounded exactly,
// so a half (2.5 from 1 of 4) goes to the even neighbour every time, not when the binary
// fraction happens to fall that way.
#include "paths/Score.h"

#include "paths/PathText.h"
#include "paths/modFunctions.h"

namespace orvanta::paths {
namespace {

// numerator / denominator rounded to the nearest integer, halves to even; both non-negative,
// denominator positive.
long long divideRoundingHalfEven(long long numerator, long long denominator) {
  const long long quotient = numerator / denominator;
  const long long twiceRemainder = 2 * (numerator % denominator);
  if (twiceRemainder > denominator)
    return quotient + 1;
  if (twiceRemainder == denominator)
    return quotient + (quotient % 2);
  return quotient;
}

}  // namespace

int namePoints(const std::string& candidatePath, const std::string& missingPath) {
  const std::string missing = upperCase(ParsePath(missingPath, 3));
  // Every name contains the empty text; an unknown missing name must not hand out points.
  if (missing.empty())
    return 0;
  const std::string candidate = upperCase(ParsePath(candidatePath, 3));
  if (candidate == missing)
    return 10;
  if (candidate.find(missing) != std::string::npos)
    return 5;
  return 0;
}

int folderPoints(const std::string& candidatePath, const std::string& missingPath,
                 const std::string& savedFrontEndPath, const std::string& currentFrontEndPath) {
  // Stored paths may have been written on another platform; everything is compared as it would
  // be written beside the current front end.
  const char sep = separatorOf(currentFrontEndPath);
  const auto folderOf = [sep](const std::string& path) {
    return upperCase(ParsePath(inSeparatorOf(path, sep), 2));
  };
  const std::string candidateFolder = folderOf(candidatePath);
  const std::string missingFolder = folderOf(missingPath);
  const std::string currentFolder = folderOf(currentFrontEndPath);
  const std::string oldPosition = GetRelativePath(folderOf(savedFrontEndPath), missingFolder);
  const std::string newPosition = GetRelativePath(currentFolder, candidateFolder);
  if (!oldPosition.empty() && oldPosition == newPosition)
    return 10;
  if (candidateFolder == missingFolder)
    return 8;
  if (candidateFolder == currentFolder)
    return 5;
  return 0;
}

int tablePoints(int found, int needed) {
  if (needed <= 0)
    return 0;
  return static_cast<int>(divideRoundingHalfEven(10LL * found, needed));
}

std::string scoreText(int points) {
  // points * 3.33 == points * 333 / 100. A full 30 points would be 100: a perfect match would
  // not need relinking, so the scale stops at 99.
  long long score = divideRoundingHalfEven(333LL * points, 100);
  if (score > 99)
    score = 99;
  if (score < 0)
    score = 0;
  std::string text = score < 10 ? "0" : "";
  text += std::to_string(score);
  return text;
}

}  // namespace orvanta::paths
