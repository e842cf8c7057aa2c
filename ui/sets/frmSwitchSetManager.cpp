// TEMPORARY stand-in; see frmSwitchSetManager.h.
#include "ui/sets/frmSwitchSetManager.h"

namespace orvanta {

frmSwitchSetManager::frmSwitchSetManager()
    : uikit::Form("frmSwitchSetManager"),
      cmdCancel(add<uikit::CommandButton>("cmdCancel", {120, 120, 1215, 375})) {
  Caption = "Vantrel Set Switch Manager";
  geometry = {0, 0, 3000, 1200};
  cmdCancel.Caption = "&Cancel";
  cmdCancel.Click = [this] { cmdCancel_Click(); };
}

void frmSwitchSetManager::cmdCancel_Click() {
  Unload();
}

}  // namespace orvanta
