// TEMPORARY stand-in for the Switch Set Manager window: the caption and a way to close it, so
// that clsOrvanta::OpenSwitchSetManager can show it. The real window (set list, tables,
// description and the switch on OK) replaces this file.
#pragma once

#include "uikit/form.h"

namespace orvanta {

class frmSwitchSetManager : public uikit::Form {
 public:
  frmSwitchSetManager();

  uikit::CommandButton& cmdCancel;

  void cmdCancel_Click();
};

}  // namespace orvanta
