// TEMPORARY stand-in for the Set Manager window: the caption and a way to close it, so that
// clsOrvanta::OpenSetManager and the start-up check can show it. The real window (its set
// browser, link list and every handler) replaces this file.
#pragma once

#include "uikit/form.h"

namespace orvanta {

class frmSetManager : public uikit::Form {
 public:
  frmSetManager();

  uikit::CommandButton& cmdClose;

  void cmdClose_Click();
};

}  // namespace orvanta
