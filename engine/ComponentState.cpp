#include "engine/ComponentState.h"

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

}  // namespace orvanta
