#!/usr/bin/env bash
# End to end: while the teacher reads, the word heard is marked on the page.
# Plays the words page of the sample course with the recolour mark and checks,
# on screenshots, that the rectangle of the second word ("kalem") is tinted in
# the middle of its segment and that the page is as before elsewhere.
# Usage: marking.sh BUILD_DIR COURSE_DIR [SHOT_DIR]
set -euo pipefail

build=$1
course=$2
shots=${3:-}
needs_sound=1
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

start_player "[Settings]\nDataFolder=$course\nLastChapter=sayfa04.ini\nLastScreenSize=1\nImageSizeType=0\nMarkType=2\n"

# Where "kalem" stands on screen by the fit rule (96 % of the screen, shrunk
# by 0.9 until it fits above the 40-pixel bar; the page centred above the bar),
# and when it is heard.
read -r left top right bottom start stop < <(page_object "$course/sayfa04.ini" "g02 kalem" fit)

shot before
xdotool mousemove --sync 18 $((height - 20)) click 1   # play
sleep "$(awk -v a="$start" -v b="$stop" 'BEGIN { printf "%.2f", (a + b) / 2000 }')"
shot marked

# Inside the rectangle, on paper: "Somon" adds 55 to red (clipped), 7 to green, takes 55 from blue.
read -r r0 g0 b0 < <(pixel before $((left + 6)) $((top + 6)))
read -r r1 g1 b1 < <(pixel marked $((left + 6)) $((top + 6)))
expected_r=$(( r0 + 55 > 255 ? 255 : r0 + 55 ))
expected_b=$(( b0 - 55 < 0 ? 0 : b0 - 55 ))
[ "$r1" -eq "$expected_r" ] && [ "$g1" -eq $((g0 + 7 > 255 ? 255 : g0 + 7)) ] && [ "$b1" -eq "$expected_b" ] ||
    fail "inside the rectangle: before $r0,$g0,$b0, during $r1,$g1,$b1"
# Just outside it the page is untouched.
[ "$(pixel before $((left - 3)) $((top + 6)))" = "$(pixel marked $((left - 3)) $((top + 6)))" ] ||
    fail "the page changed outside the rectangle"
[ "$(pixel before $((right + 2)) $((bottom - 6)))" = "$(pixel marked $((right + 2)) $((bottom - 6)))" ] ||
    fail "the page changed right of the rectangle"
echo "1 passed, 0 failed"
