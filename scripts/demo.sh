#!/usr/bin/env bash
# The README's first command (`make demo`): installs what is missing, builds, makes a demo front
# end whose sales back end has been renamed, and runs the start-up check on it exactly as the
# application would at start-up. The check talks to you through this terminal (or the desktop
# windows when a display is there); standard input is passed straight through, so the answers
# can also come from a pipe: `scripts/demo.sh < answers.txt`.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "==> Checking build dependencies"
scripts/deps.sh
echo "==> Building (${BUILD_DIR:-build})"
scripts/build.sh
vantrel="${BUILD_DIR:-build}/cli/vantrel"

demo_dir=$(mktemp -d "${TMPDIR:-/tmp}/vantrel-demo-XXXXXX")
echo "==> Building the demo in $demo_dir"
"$vantrel" demo "$demo_dir" --scenario renamed

front_end="$demo_dir/App/Front.mdb"
echo
echo "==> Running the start-up check: $vantrel check $front_end --ui=auto"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "    No display: the wizard appears here as text. Type a command after each '> ', for"
  echo "    example 'click cmdNext'; answer message boxes ('? ') with a button word such as 'yes'."
fi
set +e
"$vantrel" check "$front_end" --ui=auto
result=$?
set -e

echo
case $result in
  0) echo "==> The check returned 0: the application would start now." ;;
  1) echo "==> The check returned 1: you chose to ignore the problem." ;;
  *) echo "==> The check failed (exit status $result)."; exit "$result" ;;
esac
echo "==> The front end's links now:"
"$vantrel" status "$front_end"
echo
echo "The demo stays in $demo_dir; remove it with: rm -rf '$demo_dir'"
