#!/usr/bin/env bash
# End to end: while the teacher reads, the word heard is marked on the page.
# Plays the words page of the sample course with the recolour mark and checks,
# on screenshots, that the rectangle of the second word ("kalem", heard from
# 1550 to 2017 ms) is tinted while it is read and that the page is as before
# elsewhere.
# Usage: marking.sh BUILD_DIR COURSE_DIR [SHOT_DIR]
set -euo pipefail

build=$1
course=$2
shots=${3:-}
[ -n "$shots" ] && mkdir -p "$shots"
if [ -z "${LIRENA_TEST_DISPLAY:-}" ] || [ -z "${LIRENA_TEST_PULSE:-}" ]; then
    echo "no test display or sound server (run through test.sh)"
    exit 77
fi
export DISPLAY=$LIRENA_TEST_DISPLAY
export QT_QPA_PLATFORM=xcb
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native

work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

mkdir -m 700 "$work/runtime"
cp "$build/lirena" "$work/lirena"
printf '[Settings]\nDataFolder=%s\nLastChapter=sayfa04.ini\nLastScreenSize=1\nImageSizeType=0\nMarkType=2\n' \
    "$course" > "$work/Vedra.ini"

XDG_RUNTIME_DIR=$work/runtime "$work/lirena" &
pid=$!
timeout 15 xdotool search --sync --onlyvisible --name '^Vedra$' >/dev/null || fail "no window"
sleep 1
read -r width height < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')

# Where "kalem" (962, 231, 1358, 381 on the 1600 x 1000 page) stands on screen,
# worked out from the fit rule: 96 % of the screen, shrunk by 0.9 until it fits
# above the 40-pixel bar; the page centred above the bar.
read -r left top right bottom < <(python3 - "$width" "$height" <<'PY'
import math, sys
sw, sh = int(sys.argv[1]), int(sys.argv[2])
w, h = 1600, 1000
s = sw * 0.96 / w
while w * s > sw or h * s > sh - 40:
    s *= 0.9
pw, ph = math.trunc(w * s), math.trunc(h * s)
x0, y0 = (sw - pw) // 2, max(0, (sh - ph - 40) // 2)
print(x0 + math.trunc(962 * s), y0 + math.trunc(231 * s), x0 + round(1358 * s), y0 + round(381 * s))
PY
)

import -window root "$work/before.png"
xdotool mousemove --sync 18 $((height - 20)) click 1   # play
sleep 1.78
import -window root "$work/during.png"
[ -n "$shots" ] && cp "$work/during.png" "$shots/marked.png"

pixel() { convert "$1" -crop "1x1+$2+$3" -format "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]\n" info:; }
# Inside the rectangle, on paper: "Somon" adds 55 to red (clipped), 7 to green, takes 55 from blue.
read -r r0 g0 b0 < <(pixel "$work/before.png" $((left + 6)) $((top + 6)))
read -r r1 g1 b1 < <(pixel "$work/during.png" $((left + 6)) $((top + 6)))
expected_r=$(( r0 + 55 > 255 ? 255 : r0 + 55 ))
expected_b=$(( b0 - 55 < 0 ? 0 : b0 - 55 ))
[ "$r1" -eq "$expected_r" ] && [ "$g1" -eq $((g0 + 7 > 255 ? 255 : g0 + 7)) ] && [ "$b1" -eq "$expected_b" ] ||
    fail "inside the rectangle: before $r0,$g0,$b0, during $r1,$g1,$b1"
# Just outside it the page is untouched.
[ "$(pixel "$work/before.png" $((left - 3)) $((top + 6)))" = "$(pixel "$work/during.png" $((left - 3)) $((top + 6)))" ] ||
    fail "the page changed outside the rectangle"
[ "$(pixel "$work/before.png" $((right + 2)) $((bottom - 6)))" = "$(pixel "$work/during.png" $((right + 2)) $((bottom - 6)))" ] ||
    fail "the page changed right of the rectangle"
echo "1 passed, 0 failed"
