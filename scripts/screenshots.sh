#!/usr/bin/env bash
# Renders every window of the product in a typical state under Xvfb into docs/screenshots/*.png:
# the window fit test draws each one with the Qt driver on a real X server and saves it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh "$@"
build_dir=${BUILD_DIR:-build}
out=$PWD/docs/screenshots
mkdir -p "$out"
displayfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -f "$displayfile"' EXIT
for _ in $(seq 100); do
  [ -s "$displayfile" ] && break
  sleep 0.1
done
[ -s "$displayfile" ] || { echo "Xvfb did not start" >&2; exit 1; }
DISPLAY=":$(head -1 "$displayfile")" QT_QPA_PLATFORM=xcb VANTREL_GALLERY_DIR="$out" \
  "$build_dir/tests/ui/qt/windows_fit_tests" --gtest_brief=1
echo "Screenshots in $out:"
ls "$out"
