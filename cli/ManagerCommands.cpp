#include "cli/ManagerCommands.h"

#include "cli/Errors.h"
#include "cli/Ui.h"
#include "engine/FrontEndAccess.h"
#include "host/FrontEndFile.h"
#include "orvanta/clsOrvanta.h"

namespace vantrel {

int runSets(const Options& options, int& argc, char** argv) {
  const std::string frontEnd = requireFrontEnd(options.frontEnd);
  if (orvanta::detail::frontEndReadOnly(frontEnd)) {
    throw FatalError(options.frontEnd +
                     ": is read-only (the file or its folder); the Set Manager cannot change it");
  }
  const auto ui = startUi(options.ui, argc, argv);
  orvanta::clsOrvanta().OpenSetManager(frontEnd);
  return 0;
}

}  // namespace vantrel
