#include "search/SearchShared.h"

namespace orvanta {

SearchShared& searchShared() {
  thread_local SearchShared shared;
  return shared;
}

}  // namespace orvanta
