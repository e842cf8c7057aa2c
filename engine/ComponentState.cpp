#include "engine/ComponentState.h"

#include "fs/fs.h"

namespace orvanta {

ComponentState& state() {
  // One copy per thread: two host threads each driving their own front end must not see each
  // other's paths, flags or active set.
  thread_local ComponentState threadState;
  return threadState;
}

const std::string& linkSetDatabase() {
  const ComponentState& s = state();
  return s.linkSetDatabasePath.empty() ? s.currentFrontEndPath : s.linkSetDatabasePath;
}

bool isCurrentFrontEnd(const std::string& path) {
  const std::string& frontEnd = state().currentFrontEndPath;
  return path == frontEnd || vfs::current().SameFile(path, frontEnd);
}

}  // namespace orvanta
