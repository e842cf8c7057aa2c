// Connect strings come from linked tables that any tool may have written. Whatever they hold,
// setting the DATABASE part must be read back as the path that was set, keep every other part,
// and never show a password.
#include <cstddef>
#include <cstdint>

#include "dao/connect.h"
#include "fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto f = fuzz::fields(data, size, 2);
  const std::string& connect = f[0];
  const std::string& path = f[1];
  dao::ConnectDatabase(connect);
  dao::ShownConnect(connect);
  // A path with ";" or "=" in it may read back differently, and a leading or trailing blank may
  // be trimmed; paths as people have them are checked.
  if (path.find_first_of(";=") == std::string::npos && !path.empty() && path.front() != ' ' &&
      path.back() != ' ') {
    const std::string rewritten = dao::ConnectWithDatabase(connect, path);
    if (dao::ConnectDatabase(rewritten) != path)
      fuzz::fail("the DATABASE part set does not read back", connect + "\n" + rewritten);
    if (dao::ConnectWithDatabase(rewritten, path) != rewritten)
      fuzz::fail("setting the same DATABASE twice changed the string", rewritten);
  }
  return 0;
}
