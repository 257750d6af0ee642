#!/usr/bin/env bash
# End to end: the real player in a real X window on the sample course.
# Starts it, checks it covers the screen with the page and the restored panel,
# checks that a second start exits 0 and leaves the first running, closes it
# with its close button and checks the settings it wrote.
# Usage: startup.sh BUILD_DIR COURSE_DIR
set -euo pipefail

build=$1
course=$2
if [ -z "${LIRENA_TEST_DISPLAY:-}" ]; then
    echo "no test display (run through test.sh)"
    exit 77
fi
export DISPLAY=$LIRENA_TEST_DISPLAY
export QT_QPA_PLATFORM=xcb

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime
cp "$build/lirena" "$work/lirena"
printf '[Settings]\nDataFolder=%s\nLastChapter=sayfa01.ini\nLastScreenSize=2\nImageSizeType=0\n' "$course" > "$work/Vedra.ini"

fail() {
    echo "FAIL: $*"
    exit 1
}

"$work/lirena" &
pid=$!
window=$(timeout 15 xdotool search --sync --onlyvisible --name '^Vedra$' | head -n 1) || fail "no window"
sleep 1.5

geometry=$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')
screen=$(xdpyinfo | awk '/dimensions:/ {print $2}')
[ "$geometry" = "$screen" ] || fail "window is $geometry, screen is $screen"

import -window root "$work/shot.png"
pixel() { convert "$work/shot.png" -format "%[pixel:p{$1,$2}]" info:; }
# The page area shows the default background (R 169, G 39, B 1) beside the page.
[ "$(pixel 100 100)" = "srgb(169,39,1)" ] || fail "background at 100,100 is $(pixel 100 100)"
# The A4 page stands in the middle of the screen, on its light paper.
middle=$(pixel 960 300)
[ "$middle" != "srgb(169,39,1)" ] || fail "no page in the middle"

# A second start exits at once with code 0; the first keeps running.
start=$(date +%s%N)
"$work/lirena" || fail "second start exited with $?"
elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
[ "$elapsed" -lt 3000 ] || fail "second start took $elapsed ms"
kill -0 "$pid" || fail "first instance ended"

# The close button is the last of the small buttons at the bar's right end;
# with the settings pages shown the bar starts 222 pixels above the bottom.
width=${screen%x*}
height=${screen#*x}
xdotool mousemove --sync $((width - 4 - 16 + 7)) $((height - 222 + 12 + 7)) click 1
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    fail "the close button did not close the window"
fi
wait "$pid" || true
pid=

grep -q '^LastChapter=sayfa01.ini' "$work/Vedra.ini" || fail "LastChapter not written: $(cat "$work/Vedra.ini")"
grep -q '^LastScreenSize=2' "$work/Vedra.ini" || fail "LastScreenSize not written"
echo "1 passed, 0 failed"
