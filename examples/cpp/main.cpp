// A host application's start-up: before anything else it lets Vantrel check that the front
// end's tables are linked to working back ends, and it stops when the user chose to ignore a
// problem the check found.
//
//   cpp_host FRONTEND [auto|qt|console]
#include <orvanta/Driver.h>
#include <orvanta/clsOrvanta.h>

#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: cpp_host FRONTEND [auto|qt|console]\n";
    return 2;
  }
  const auto driver = orvanta::driverNamed(argc > 2 ? argv[2] : "auto");
  if (!driver) {
    std::cerr << "cpp_host: the driver is auto, qt or console\n";
    return 2;
  }
  // The component records the front end's path to notice when it moves: always the same,
  // absolute one.
  const std::string frontEnd = std::filesystem::absolute(argv[1]).lexically_normal().string();
  try {
    // The windows are shown through the driver made current here, on this thread.
    orvanta::DriverSession windows(orvanta::makeDesktop(*driver, argc, argv));
    orvanta::clsOrvanta vantrel;
    if (vantrel.CheckLinkedTables(frontEnd) != 0) {
      std::cerr << "cpp_host: the links were not repaired; leaving\n";
      return 1;
    }
    std::cout << "Linked through set \"" << vantrel.ActiveLinkSet() << "\" to "
              << vantrel.DatabasePath() << "\n";
  } catch (const std::exception& e) {
    std::cerr << "cpp_host: " << e.what() << "\n";
    return 2;
  }
  return 0;
}
