#!/usr/bin/env bash
# End to end: the window looks the same as the reference pictures in
# tests/e2e/reference in four fixed, paused states: the words page with
# "kalem" marked, the lessons tree open, the options page and the About page.
# The time labels are left out of the comparison. With --record it takes the
# pictures anew instead (after a change of the look that is meant).
# Usage: screens.sh BUILD_DIR COURSE_DIR [SHOT_DIR] [--record]
set -euo pipefail

build=$1
course=$2
shots=${3:-}
record=${4:-}
reference=$(cd "$(dirname "$0")" && pwd)/reference
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

# A picture of a state: the part of the screen given, the time labels (at the
# right end of the button bar, whose top is given) blacked out.
take() { # NAME GEOMETRY BAR_TOP
    shot "$1"
    convert "$work/$1.png" -fill black -draw "rectangle $((width - 112)),$3 $width,$(($3 + 40))" \
        -crop "$2" +repage "$work/$1-cut.png"
    if [ "$record" = "--record" ]; then
        cp "$work/$1-cut.png" "$reference/$1.png"
    elif [ ! -f "$reference/$1.png" ]; then
        fail "no reference picture $1.png (record it with --record)"
    else
        differ=$(compare -metric AE "$work/$1-cut.png" "$reference/$1.png" "$work/$1-diff.png" 2>&1 || true)
        [ "$differ" = "0" ] || { [ -n "$shots" ] && cp "$work/$1-diff.png" "$shots/"; fail "$1: $differ pixels differ"; }
    fi
}

groups="\n[LessonGroups]\n01=Harfler\n02=Heceler ve Kelimeler\n09=Yardım\n"
# "kalem" is heard from 1400 to 2616 ms: restored at 2000 ms, it is marked, paused.
start_player "[Settings]\nDataFolder=$course\nLastChapter=sayfa04.ini\nMediaPosition=2000\nLastScreenSize=1\nMarkType=2\n$groups"
xdotool mousemove --sync 5 5
sleep 0.3
take page-marked "${width}x${height}+0+0" "$bar"
xdotool mousemove --sync 129 $((bar + 20)) click 1   # "Dersler"
sleep 0.8
xdotool mousemove --sync 5 5
sleep 0.3
take lessons-tree "${width}x${height}+0+0" "$bar"
xdotool key Escape
kill "$pid"
wait "$pid" 2>/dev/null || true
pid=

# The settings pages: the About page is the one shown at start.
start_player "[Settings]\nDataFolder=$course\nLastChapter=sayfa04.ini\nLastScreenSize=2\n$groups"
panel=$((height - 222))
xdotool mousemove --sync 5 5
sleep 0.3
take about "${width}x222+0+$panel" "$panel"
xdotool mousemove --sync 30 $((panel + 40 + 12)) click 1   # the first tab shown: "Seçenekler"
xdotool mousemove --sync 5 5
sleep 0.3
take options "${width}x222+0+$panel" "$panel"
echo "1 passed, 0 failed"
