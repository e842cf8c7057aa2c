// What a running drive search shares with the dialog that drives it: the dialog's Stop raises a
// flag the walk reads after every entry, and the walk writes the folder it is exploring into the
// first panel of the dialog's status bar. Both live here, per thread (a search runs on the
// thread of the windows), so the walk needs no window and the dialog no walk.
#pragma once

#include <chrono>

#include "uikit/controls.h"

namespace orvanta {

struct SearchShared {
  // Raised by the dialog's Stop, cleared when a search starts.
  bool stopFlag = false;
  // The status bar whose first panel shows progress; nullptr while no dialog is loaded.
  uikit::StatusBar* statusBar = nullptr;
  // How often a walk lets pending window events run. A driver redraws and polls its input at
  // every yield, which costs far more than reading one folder; a few milliseconds keeps Stop
  // prompt without the yields costing more than the walk. Zero yields at every folder and
  // every match (tests that act at a given step).
  std::chrono::steady_clock::duration yieldEvery = std::chrono::milliseconds(5);
};

// The calling thread's.
SearchShared& searchShared();

}  // namespace orvanta
