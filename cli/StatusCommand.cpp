#include "cli/StatusCommand.h"

#include <iostream>

#include "host/FrontEndFile.h"
#include "host/StatusReport.h"

namespace vantrel {

int runStatus(const Options& options) {
  const Status status = readStatus(requireFrontEnd(options.frontEnd));
  // Formatted in full before anything is printed, so a failure never leaves half a report.
  std::cout << (options.json ? formatStatusJson(status) : formatStatusText(status));
  return 0;
}

}  // namespace vantrel
