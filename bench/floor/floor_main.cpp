// check_floor FRONTEND: the floor of the start-up check as a program of its own, so the whole
// process of `vantrel check` can be timed against it.
#include <cstdio>

#include "bench/floor/check_floor.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: check_floor FRONTEND\n");
    return 2;
  }
  return floorcheck::run(argv[1]) < 0 ? 1 : 0;
}
