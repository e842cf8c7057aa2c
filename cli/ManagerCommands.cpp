#include "cli/ManagerCommands.h"

#include "cli/Errors.h"

namespace vantrel {

int runSets(const Options&) {
  throw FatalError(
      "the Set Manager window is not available in this build yet; nothing was opened or "
      "changed");
}

}  // namespace vantrel
