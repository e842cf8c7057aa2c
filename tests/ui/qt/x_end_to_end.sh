#!/usr/bin/env bash
# The desktop windows under a real X server: starts Xvfb on a free display, builds the demo whose
# sales back end was renamed, runs `vantrel check --ui=auto` on it and repairs it as a user does,
# with mouse clicks and key presses sent by xdotool: a click on Next, a click on the best
# candidate, Alt+N for Next, Enter for the Finished page's default button. Then the check must
# end with status 0 and `vantrel status --json` must show every link opening.
#
# Usage: x_end_to_end.sh VANTREL. Exits 77 (skipped) when Xvfb or xdotool is missing or Xvfb
# cannot start. Every wait is bounded; Xvfb and the check are always ended.
set -uo pipefail
vantrel=$1
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; exit 1; }
command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v xdotool >/dev/null || skip "xdotool is not installed"

work=$(mktemp -d)
xvfb_pid=""
check_pid=""
cleanup() {
  [ -n "$check_pid" ] && kill "$check_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number once it accepts connections.
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || skip "Xvfb could not start: $(tail -1 "$work/xvfb.log")"
  sleep 0.1
done
[ -s "$work/display" ] || skip "Xvfb did not report a display within 10 s"
export DISPLAY=":$(head -1 "$work/display")"
unset QT_QPA_PLATFORM WAYLAND_DISPLAY
# The server has said it is ready; on a loaded machine its first answer can still come late, and
# a program that cannot connect gives up at once, so wait until it answers a client.
for _ in $(seq 50); do
  xdotool getdisplaygeometry >/dev/null 2>&1 && break
  sleep 0.1
done
xdotool getdisplaygeometry >/dev/null 2>&1 || skip "Xvfb on $DISPLAY does not answer"

"$vantrel" demo "$work/demo" >/dev/null || fail "vantrel demo"
fe="$work/demo/App/Front.mdb"
"$vantrel" check "$fe" --ui=auto >"$work/check.log" 2>&1 &
check_pid=$!

# The id of the shown window whose title contains $1, waiting up to $2 tenths of a second (200).
window() {
  local id
  for _ in $(seq "${2:-200}"); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$check_pid" 2>/dev/null || break
    sleep 0.1
  done
  echo "no window \"$1\"; the check printed: $(cat "$work/check.log")" >&2
  return 1
}
# True once the check has ended, waiting up to $1 tenths of a second.
ended() {
  for _ in $(seq "$1"); do
    kill -0 "$check_pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}
# Clicks window $1 at the designed position ($2, $3) in twips. The driver scales every window
# evenly, so the scale is the window's width over its designed width $4 (15 twips a pixel).
click_at() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  local x y
  x=$(awk -v t="$2" -v w="$WIDTH" -v d="$4" 'BEGIN { printf "%d", t / d * w }')
  y=$(awk -v t="$3" -v w="$WIDTH" -v d="$4" 'BEGIN { printf "%d", t / d * w }')
  xdotool mousemove --window "$1" "$x" "$y" click 1
}
# Gives window $1 the keyboard (no window manager does it here) and presses keys $2, until the
# window titled $3 shows (or, for "", the check ends). A window that was not active yet when the
# keys arrived ignores them, so they go again, at most three times.
press() {
  for _ in 1 2 3; do
    xdotool mousemove --window "$1" 5 5 windowfocus --sync "$1" key "$2"
    if [ -n "$3" ]; then
      window "$3" 30 2>/dev/null >/dev/null && return 0
    else
      ended 30 && return 0
    fi
  done
  return 1
}

# First page: Next, by mouse (designed at left 6405, top 4920, 1215 x 375 on a 7800-wide page).
w=$(window "Select Vantrel Option") || fail "the first page did not show"
click_at "$w" 7012 5107 7800
# Fix Set: the best candidate is the first row of the list (its text starts at left 2160, top
# 1800 in twips); pick it by mouse, then Alt+N.
w=$(window "Fix Link Set") || fail "the Fix Set page did not show"
click_at "$w" 3000 1920 7800
press "$w" alt+n "Finished" || fail "Alt+N did not lead to the Finished page"
# Finished: Enter presses the default button, Finish, and the check ends.
w=$(window "Finished") || fail "the Finished page did not show"
press "$w" Return "" || fail "the check did not end after Finish"
wait "$check_pid"
status=$?
check_pid=""
[ "$status" -eq 0 ] || fail "the check ended with status $status: $(cat "$work/check.log")"

json=$("$vantrel" status "$fe" --json) || fail "vantrel status"
opens=$(grep -o '"opens": *true' <<<"$json" | wc -l)
shut=$(grep -o '"opens": *false' <<<"$json" | wc -l)
renamed=$(grep -o 'Sales-2024.mdb' <<<"$json" | wc -l)
[ "$opens" -eq 4 ] && [ "$shut" -eq 0 ] && [ "$renamed" -ge 2 ] ||
  fail "links after the repair: $json"
echo "repaired under X: 4 links open, Customers and Orders on Sales-2024.mdb"
