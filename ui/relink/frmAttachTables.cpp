#include "ui/relink/frmAttachTables.h"

namespace orvanta {

frmAttachTables::frmAttachTables()
    : uikit::Form("frmAttachTables"),
      dlgFileOpen(add<uikit::CommonDialog>("dlgFileOpen")),
      lblStatus(add<uikit::Label>("lblStatus", {120, 120, 3000, 255})),
      cmdOK(add<uikit::CommandButton>("cmdOK", {1905, 480, 1215, 375})) {
  Caption = "Attach Tables";
  geometry = {0, 0, 3360, 1080};
  lblStatus.Caption = "- Checking linked tables";
  cmdOK.Caption = "&OK";
  cmdOK.Click = [this] { cmdOK_Click(); };
}

void frmAttachTables::cmdOK_Click() {
  uikit::unloadAllForms();
}

}  // namespace orvanta
