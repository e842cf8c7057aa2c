#include "cli/RelinkCommand.h"

#include "cli/Errors.h"
#include "cli/Ui.h"
#include "engine/ComponentState.h"
#include "host/FrontEndFile.h"
#include "orvanta/clsOrvanta.h"

namespace vantrel {

int runRelink(const Options& options, int& argc, char** argv) {
  const std::string frontEnd = requireFrontEnd(options.frontEnd);
  const auto ui = startUi(options.ui, argc, argv);
  const bool allOpen = orvanta::OpenRelinkManager(frontEnd);
  if (orvanta::state().frontEndReadOnly)
    return kExitFailure;
  return allOpen ? 0 : 1;
}

}  // namespace vantrel
