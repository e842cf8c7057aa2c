// The score arithmetic: any counts and paths give points within their bounds and a two-digit
// score text.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "fuzz/FuzzInput.h"
#include "paths/Score.h"

namespace {
void inRange(int points, int most, const char* what) {
  if (points < 0 || points > most)
    fuzz::fail(what, std::to_string(points));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  int numbers[3] = {0, 0, 0};
  const std::size_t taken = size < sizeof numbers ? size : sizeof numbers;
  std::memcpy(numbers, data, taken);
  const auto f = fuzz::fields(data + taken, size - taken, 4);
  using namespace orvanta::paths;
  inRange(namePoints(f[0], f[1]), 10, "name points out of range");
  inRange(folderPoints(f[0], f[1], f[2], f[3]), 10, "folder points out of range");
  const int found = numbers[0], needed = numbers[1];
  if (found >= 0 && needed >= 0 && found <= needed)
    inRange(tablePoints(found, needed), 10, "table points out of range");
  else
    tablePoints(found, needed);
  const std::string score = scoreText(numbers[2]);
  const bool twoDigits =
      score.size() == 2 && score[0] >= '0' && score[0] <= '9' && score[1] >= '0' && score[1] <= '9';
  if (numbers[2] >= 0 && numbers[2] <= 30 && !twoDigits)
    fuzz::fail("score text is not two digits", score);
  return 0;
}
