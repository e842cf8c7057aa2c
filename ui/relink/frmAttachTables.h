// The window that carries the open-file dialog of adding links (GetLinks). It is never shown.
#pragma once

#include "uikit/form.h"

namespace orvanta {

class frmAttachTables : public uikit::Form {
 public:
  frmAttachTables();

  uikit::CommonDialog& dlgFileOpen;
  uikit::Label& lblStatus;
  uikit::CommandButton& cmdOK;

  void cmdOK_Click();
};

}  // namespace orvanta
