// Splits a fuzzer's bytes into text fields: the input is cut at each NUL, so one corpus file
// carries every argument of the procedure under test and the fuzzer can grow each one alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

// The NUL-separated pieces of data; at least count of them, the missing ones empty.
inline std::vector<std::string> fields(const std::uint8_t* data, std::size_t size,
                                       std::size_t count) {
  std::vector<std::string> out(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      out.emplace_back();
    else
      out.back() += static_cast<char>(data[i]);
  }
  if (out.size() < count)
    out.resize(count);
  return out;
}

// Stops the run with a report the fuzzer records as a crash, keeping the input that caused it.
[[noreturn]] void fail(const char* what, const std::string& detail);

}  // namespace fuzz
