// Chooses and starts the window driver that the component's windows are shown through (the
// library's choice, orvanta/Driver.h), with vantrel's own words for what cannot start. The
// driver is the thread's desktop while the returned object lives.
#pragma once

#include <memory>

#include "cli/Options.h"

namespace vantrel {

class UiSession {
 public:
  virtual ~UiSession() = default;
};

// Starts the driver choice asks for. auto: Qt when built and a display is available, else the
// console. Throws FatalError when qt is asked for but not built or no display can be reached.
std::unique_ptr<UiSession> startUi(orvanta::Driver choice, int& argc, char** argv);

}  // namespace vantrel
