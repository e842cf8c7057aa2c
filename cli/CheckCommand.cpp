#include "cli/CheckCommand.h"

#include "cli/Errors.h"
#include "cli/Ui.h"
#include "engine/ComponentState.h"
#include "host/FrontEndFile.h"
#include "orvanta/clsOrvanta.h"

namespace vantrel {

int runCheck(const Options& options, int& argc, char** argv,
             const std::function<void(orvanta::clsOrvanta&)>& then) {
  // The component records the path it is given with the active set and compares it on the next
  // start-up to notice a moved front end, so it must be the same absolute path whatever folder
  // vantrel was started from.
  const std::string frontEnd = requireFrontEnd(options.frontEnd);
  const auto ui = startUi(options.ui, argc, argv);

  orvanta::clsOrvanta component;
  bool allowSetSwitching = options.allowSetSwitching;
  bool allowPathChange = options.allowPathChange;
  bool allowAddTables = options.allowAddTables;
  bool allowSetMgmt = options.allowSetMgmt;
  component.SetConfiguration(allowSetSwitching, allowPathChange, allowAddTables, allowSetMgmt);
  const int result = component.CheckLinkedTables(frontEnd) == 0 ? 0 : 1;
  // The check has already told the user that it could not run; the exit status says the same
  // to a script.
  if (orvanta::state().frontEndReadOnly)
    return kExitFailure;
  if (then)
    then(component);
  return result;
}

}  // namespace vantrel
