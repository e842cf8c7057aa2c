// The live handles of the C interface. A handle is a number that is never reused, not an
// address, so a call with a destroyed handle is recognised instead of reaching freed memory,
// and each remembers the thread that made it, whose component state and windows it uses.
#pragma once

#include <memory>
#include <thread>

#include "orvanta/clsOrvanta.h"
#include "orvanta/orvanta.h"
#include "uikit/desktop.h"

namespace orvanta::capi {

struct Component {
  std::thread::id owner = std::this_thread::get_id();
  // Qt's application object keeps argc and argv for its whole life, which is the desktop's.
  int argc = 1;
  char program[8] = "orvanta";
  char* argv[2] = {program, nullptr};
  std::unique_ptr<uikit::Desktop> desktop;
  clsOrvanta instance;
};

// Registers component and returns its new handle.
orvanta_component* addHandle(std::unique_ptr<Component> component);
// The component behind handle when it is live and belongs to the calling thread; otherwise
// nullptr, with error set to ORVANTA_ERROR_INVALID_HANDLE or ORVANTA_ERROR_WRONG_THREAD.
Component* findHandle(orvanta_component* handle, orvanta_error& error);
// Unregisters a handle findHandle accepted and hands its component back.
std::unique_ptr<Component> removeHandle(orvanta_component* handle);

}  // namespace orvanta::capi
