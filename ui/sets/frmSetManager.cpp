// TEMPORARY stand-in; see frmSetManager.h.
#include "ui/sets/frmSetManager.h"

namespace orvanta {

frmSetManager::frmSetManager()
    : uikit::Form("frmSetManager"),
      cmdClose(add<uikit::CommandButton>("cmdClose", {120, 120, 1215, 375})) {
  Caption = "Set Manager";
  geometry = {0, 0, 3000, 1200};
  cmdClose.Caption = "&Close";
  cmdClose.Click = [this] { cmdClose_Click(); };
}

void frmSetManager::cmdClose_Click() {
  Unload();
}

}  // namespace orvanta
