// `vantrel demo`: builds a small, realistic installation to try the start-up check on: a front
// end with a local table and an active link set "Office" whose four linked tables come from two
// back ends, then breaks it the way the chosen scenario says. The front end and its link set
// are made with the same engine procedures the component uses, so the check meets exactly what
// a real application would hold.
#pragma once

#include <string>

#include "cli/Options.h"

namespace vantrel {

struct DemoResult {
  std::string dir;       // the folder the demo was built in
  std::string frontEnd;  // the front end's absolute path after the scenario
};

// Builds the demo in dir ("" makes a fresh folder under the system's temporary folder) and
// applies scenario. Refuses (FatalError) a dir that already holds App/, and removes whatever it
// created when a step fails, so a failed run leaves dir as it was.
DemoResult buildDemo(const std::string& dir, Scenario scenario);

// Runs `vantrel demo`: builds, then prints what it built and the command that runs the check.
// program is how vantrel was invoked (argv[0]), used for the printed command.
int runDemo(const Options& options, const std::string& program);

// text quoted for a POSIX shell when it needs it, so printed commands can be pasted.
std::string shellQuote(const std::string& text);

}  // namespace vantrel
