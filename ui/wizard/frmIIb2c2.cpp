#include "ui/wizard/frmIIb2c2.h"

#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "ui/wizard/frmAddExtraLinks.h"

namespace orvanta {

frmIIb2c2::frmIIb2c2()
    : OptionPage("frmIIb2c2", "Vantrel Wizard - Select Vantrel Option",
                 "The links in your Active Link Set are invalid, however there are valid linked "
                 "tables in your \r\ndatabase. Hover over an option below and a detailed "
                 "description will appear.\r\n"),
      optSwitchSet(addOption("optSwitchSet", "Switch to another valid link set",
                             "You can select a new link set to make active.")),
      optFixSet(addOption("optFixSet", "Fix the Active Link Set",
                          "Provides you with a list of possible databases to relink the tables")),
      optUpdateSet(addOption("optUpdateSet", "Update the Active Set with current linked tables",
                             "Delete all links in your link set and recreate these links based "
                             "on your current table links.")),
      optCreateNewSet(addOption("optCreateNewSet",
                                "Create a new Active Link Set with current linked tables",
                                "Create a new Active Link Set based on your linked tables.")),
      optIgnore(addOption("optIgnore", "Ignore",
                          "Ignore this issue and your application will function properly, "
                          "however you may not be linked to the proper database.")),
      cmdNext(addNextButton()) {
  optSwitchSet.setValue(true);
  markBeside(optSwitchSet);
  cmdNext.Click = [this] { cmdNext_Click(); };
}

void frmIIb2c2::Form_Load() {
  const ComponentState& s = state();
  if (anotherMatchingSetExists()) {
    optFixSet.setValue(false);
    optSwitchSet.Enabled = true;
    optSwitchSet.setValue(true);
    markBeside(optSwitchSet);
  } else {
    // Nothing to switch to (or switching not permitted): fixing the set is the way forward.
    optSwitchSet.setValue(false);
    optSwitchSet.Enabled = false;
    optFixSet.setValue(true);
    markBeside(optFixSet);
  }
  // A new set from the current (valid) links needs only the permission, as on frmIb1 and
  // frmId12; whether another set happens to match has nothing to do with it.
  optCreateNewSet.Enabled = s.bolAllowSetSwitching;
  optUpdateSet.Enabled = s.bolAllowAddTables;
}

void frmIIb2c2::cmdNext_Click() {
  runNext([this] {
    if (optIgnore.value()) {
      confirmIgnore(true);
    } else if (optCreateNewSet.value()) {
      goToCreateNewSet();
    } else if (optSwitchSet.value()) {
      goToSwitchSet();
    } else if (optUpdateSet.value()) {
      updateActiveSetFromCurrentLinks();
    } else {
      // The current links may hold tables the set lacks: settle those before fixing.
      auto& next = uikit::form<frmAddExtraLinks>();
      next.txtCallingForm.Text = "frmIIb2c2";
      handOver(next);
    }
  });
}

}  // namespace orvanta
