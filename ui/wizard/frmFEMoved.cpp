#include "ui/wizard/frmFEMoved.h"

#include "engine/ComponentState.h"
#include "ui/wizard/frmFixSet.h"

namespace orvanta {

frmFEMoved::frmFEMoved()
    : OptionPage("frmFEMoved", "Vantrel Wizard - Select Vantrel Option",
                 "We've noticed that your Application has been moved to a new folder location, "
                 "\r\nhowever your linked tables are still valid for the original location.  "
                 "Hover over an \r\noption below and a detailed description will appear.\r\n"),
      optRetainLinks(addOption("optRetainLinks", "Retain Current Table Links",
                               "Will keep this application linked to it's current valid link "
                               "set.")),
      optFixSet(addOption("optFixSet", "Fix Current Link Set",
                          "Provides you with a list of possible databases to relink the "
                          "tables.")),
      optIgnore(addOption("optIgnore", "Ignore",
                          "Exits the Vantrel Wizard. Your application may or may not function "
                          "properly.")),
      cmdNext(addNextButton()) {
  optRetainLinks.setValue(true);
  markBeside(optRetainLinks);
  cmdNext.Click = [this] { cmdNext_Click(); };
}

void frmFEMoved::cmdNext_Click() {
  runNext([this] {
    if (optIgnore.value()) {
      // The links still work; ignoring means "ask me again": the new location is not recorded,
      // so the next start-up finds the front end moved once more.
      if (confirmIgnore(false))
        state().frontEndMoved = false;
    } else if (optRetainLinks.value()) {
      // Nothing to change here; the start-up check records the new location on its way out.
      finish();
    } else {
      auto& next = uikit::form<frmFixSet>();
      next.cmdBack.Visible = true;
      next.txtCallingForm.Text = "frmFEMoved";
      handOver(next);
    }
  });
}

}  // namespace orvanta
