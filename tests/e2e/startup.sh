#!/usr/bin/env bash
# End to end: the real player in a real X window on the sample course.
# Starts it, checks it covers the screen with the page and the restored panel,
# checks that a second start exits 0 and leaves the first running, closes it
# with its close button and checks the settings it wrote; then ends one with
# SIGTERM and checks it wrote them too.
# Usage: startup.sh BUILD_DIR COURSE_DIR
set -euo pipefail

build=$1
course=$2
shots=
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

start_player "[Settings]\nDataFolder=$course\nLastChapter=sayfa01.ini\nLastScreenSize=2\nImageSizeType=0\n"
sleep 0.5
window=$(xdotool search --onlyvisible --name '^Vedra$' | head -n 1)
geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
screen=$(xdpyinfo | awk '/dimensions:/ {print $2}')
[ "$geometry" = "$screen" ] || fail "window is $geometry, screen is $screen"

shot start
# The page area shows the default background (R 169, G 39, B 1) beside the
# page, which is fitted to the screen's width less 4 %.
[ "$(pixel start 10 100)" = "169 39 1" ] || fail "background at 10,100 is $(pixel start 10 100)"
# The first page stands in the middle of the screen, on its light paper.
[ "$(pixel start 960 300)" != "169 39 1" ] || fail "no page in the middle"

# A second start exits at once with code 0; the first keeps running.
start=$(date +%s%N)
XDG_RUNTIME_DIR=$work/runtime "$work/lirena" || fail "second start exited with $?"
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$elapsed" -lt 3000 ] || fail "second start took $elapsed ms"
kill -0 "$pid" || fail "first instance ended"

# The close button is the last of the small buttons at the bar's right end;
# with the settings pages shown the bar starts 222 pixels above the bottom.
xdotool mousemove --sync $((width - 4 - 16 + 7)) $((height - 222 + 12 + 7)) click 1
wait_closed

grep -q '^LastChapter=sayfa01.ini' "$work/Vedra.ini" || fail "LastChapter not written: $(cat "$work/Vedra.ini")"
grep -q '^LastScreenSize=2' "$work/Vedra.ini" || fail "LastScreenSize not written"

# Ended by the system (logout, shutdown, kill): it closes the normal way and
# keeps the learner's place; the exit is a clean one.
start_player "[Settings]\nDataFolder=$course\nLastChapter=sayfa02.ini\nMediaPosition=1500\nLastScreenSize=1\n"
sleep 1
kill -TERM "$pid"
status=0
for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "SIGTERM: exit status $status"
grep -q '^LastChapter=sayfa02.ini' "$work/Vedra.ini" || fail "SIGTERM: LastChapter lost: $(cat "$work/Vedra.ini")"
grep -q '^MediaPosition=1500' "$work/Vedra.ini" || fail "SIGTERM: MediaPosition lost"
grep -q '^MarkColor=' "$work/Vedra.ini" || fail "SIGTERM: the settings were not written"
echo "1 passed, 0 failed"
