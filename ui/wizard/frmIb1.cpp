#include "ui/wizard/frmIb1.h"

#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "ui/wizard/SetRewrite.h"

namespace orvanta {

frmIb1::frmIb1()
    : OptionPage("frmIb1", "Vantrel Wizard - Select Option",
                 "The links defined in your Active Link Set and your current linked tables are "
                 "both valid, \r\nhowever they do not match. Hover over an option below and a "
                 "detailed description will \r\nappear.\r\n"),
      optRelinkToSet(addOption(
          "optRelinkToSet", "Relink to Current Active Set",
          "Removes your current table links and creates new links based on the Active Set.")),
      optUpdateSet(addOption(
          "optUpdateSet", "Update the Active Set with current linked tables",
          "Deletes your link set and recreates these links using your current table links.")),
      optSwitchSet(addOption("optSwitchSet", "Switch to another valid link set",
                             "You can select a new link set to make active.")),
      optCreateNewSet(addOption("optCreateNewSet",
                                "Create a new Active Link Set with current linked tables",
                                "Create a new Active Link Set based on your linked tables.")),
      optIgnore(addOption("optIgnore", "Ignore",
                          "You can ignore this issue and your application will run, however you "
                          "may not be linked to the proper database.")),
      cmdNext(addNextButton()) {
  optRelinkToSet.setValue(true);
  markBeside(optRelinkToSet);
  cmdNext.Click = [this] { cmdNext_Click(); };
}

void frmIb1::Form_Activate() {
  const ComponentState& s = state();
  if (s.bolAllowSetSwitching && anotherMatchingSetExists()) {
    optUpdateSet.setValue(false);
    optSwitchSet.Enabled = true;
    optSwitchSet.setValue(true);
    markBeside(optSwitchSet);
  } else if (s.bolAllowSetSwitching) {
    optSwitchSet.Enabled = false;
    markBeside(optRelinkToSet);
  } else {
    optSwitchSet.Enabled = false;
    optCreateNewSet.Enabled = false;
    markBeside(optRelinkToSet);
  }
  if (s.bolAllowSetSwitching)
    optCreateNewSet.Enabled = true;
  optUpdateSet.Enabled = s.bolAllowAddTables;
}

void frmIb1::cmdNext_Click() {
  runNext([this] {
    if (optIgnore.value()) {
      // The links work as they are: ignoring here is not a problem the host must hear about.
      confirmIgnore(false);
    } else if (optCreateNewSet.value()) {
      goToCreateNewSet();
    } else if (optSwitchSet.value()) {
      goToSwitchSet();
    } else if (optRelinkToSet.value()) {
      applyActiveSet();
      finish();
    } else {
      updateActiveSetFromCurrentLinks();
    }
  });
}

}  // namespace orvanta
