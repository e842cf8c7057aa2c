#include "cli/SwitchCommand.h"

#include "cli/CheckCommand.h"
#include "orvanta/clsOrvanta.h"

namespace vantrel {

int runSwitch(const Options& options, int& argc, char** argv) {
  return runCheck(options, argc, argv,
                  [](orvanta::clsOrvanta& component) { component.OpenSwitchSetManager(); });
}

}  // namespace vantrel
