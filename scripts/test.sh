#!/usr/bin/env bash
# The test command: installs what is missing, builds, and runs every test suite through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh "$@"
# Qt's offscreen platform lets the desktop driver's tests run without a display.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"
# Each fuzz target a few seconds on its seed corpus (a clang build of its own); `make fuzz` runs
# them for long. VANTREL_SKIP_FUZZ=1 leaves them out, e.g. under the sanitizer build.
if [ "${VANTREL_SKIP_FUZZ:-0}" != 1 ]; then
  scripts/fuzz.sh smoke
fi
