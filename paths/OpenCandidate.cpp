#include "paths/OpenCandidate.h"

namespace orvanta {

std::unique_ptr<dao::Database> openCandidate(const std::string& path) {
  // Read-only and shared (only True asks for exclusive use): two copies of the program scoring
  // the same files never lock each other out, and nothing found on disk is ever written.
  try {
    return dao::OpenDatabase(path, 4, true);
  } catch (const dao::Error&) {
  }
  return nullptr;
}

}  // namespace orvanta
