#include "paths/OpenCandidate.h"

namespace orvanta {

std::unique_ptr<dao::Database> openCandidate(const std::string& path) {
  // Both attempts are read-only; the second one only drops the options value, for engines that
  // read more into it than shared use.
  for (const int options : {4, 0}) {
    try {
      return dao::OpenDatabase(path, options, true);
    } catch (const dao::Error&) {
    }
  }
  return nullptr;
}

}  // namespace orvanta
