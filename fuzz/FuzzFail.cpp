#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzInput.h"

namespace fuzz {

void fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "fuzz check failed: %s\n%s\n", what, detail.c_str());
  std::abort();
}

}  // namespace fuzz
