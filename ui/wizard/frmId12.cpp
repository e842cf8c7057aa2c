#include "ui/wizard/frmId12.h"

#include "engine/ComponentState.h"
#include "engine/Engine.h"
#include "ui/wizard/SetRewrite.h"

namespace orvanta {

frmId12::frmId12()
    : OptionPage("frmId12", "Vantrel Wizard - Select Vantrel Option",
                 "The links defined in your Active Link Set are valid, however there are more "
                 "linked tables \r\nthan you have defined in your link set. Hover over an option "
                 "below and a detailed \r\ndescription will appear.\r\n"),
      optRemoveExtraLinks(addOption(
          "optRemoveExtraLinks", "Remove extra table links and restore the Active Link Set",
          "Remove missing linked tables from your database and restore the Active Link Set.")),
      optCreateNewSet(addOption("optCreateNewSet",
                                "Create a new Active Link Set with current linked tables",
                                "A new Active Link Set will be created.")),
      optIgnore(addOption("optIgnore", "Ignore",
                          "Ignore this issue and your application may or may not function "
                          "properly.")),
      cmdNext(addNextButton()) {
  optRemoveExtraLinks.setValue(true);
  markBeside(optRemoveExtraLinks);
  cmdNext.Click = [this] { cmdNext_Click(); };
}

// Creating a set is tied to the host's permission to switch sets, as on the twin pages; the
// permission itself is the host's and is left alone.
void frmId12::Form_Load() {
  optCreateNewSet.Enabled = state().bolAllowSetSwitching;
}

void frmId12::cmdNext_Click() {
  runNext([this] {
    if (optIgnore.value()) {
      confirmIgnore(true);
    } else if (optCreateNewSet.value()) {
      goToCreateNewSet();
    } else if (optRemoveExtraLinks.value()) {
      applyActiveSet();
      finish();
    }
  });
}

}  // namespace orvanta
