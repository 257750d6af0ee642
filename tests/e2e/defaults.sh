#!/usr/bin/env bash
# End to end: a first start on the sample course, with the settings file the
# build writes, on a 1920 x 1080 and on a 1366 x 768 screen (an X server of
# that size each). The first page shows at once, at its own size (the
# default): its whole width, with no scroll bar, the chapter title beside it
# on the background and not on the page, and letters at least 24 pixels tall.
# Then play marks the words as they are read.
# Usage: defaults.sh BUILD_DIR COURSE_DIR [SHOT_DIR]
set -euo pipefail

build=$1
course=$2
shots=${3:-}
needs_sound=1
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

background="169 39 1"
cmake -DINI="$work/first-start.ini" -DCOURSE="$course" -P "$(dirname "$0")/../../scripts/write-settings.cmake"
read -r page_w page_h < <(identify -format '%w %h\n' "$course/sayfa01.jpg")

# The largest run of rows with dark (letter) pixels in an area of a shot, and
# the rightmost white (title) pixel left of a column, -1 when there is none.
measure() { # SHOT X Y W H TITLE_COLUMNS
    read -r shot_w _ < <(identify -format '%w %h\n' "$work/$1.png")
    convert "$work/$1.png" -depth 8 "rgb:$work/$1.rgb"
    python3 - "$work/$1.rgb" "$shot_w" "$2" "$3" "$4" "$5" "$6" <<'PY'
import sys
width, x0, y0, w, h, title_columns = map(int, sys.argv[2:8])
data = open(sys.argv[1], 'rb').read()
def rgb(x, y):
    i = 3 * (y * width + x)
    return data[i], data[i + 1], data[i + 2]
rows = [y for y in range(y0, y0 + h) if any(sum(rgb(x, y)) < 3 * 96 for x in range(x0, x0 + w))]
ink = rows[-1] - rows[0] + 1 if rows else 0
height = len(data) // (3 * width)
title = max((x for x in range(title_columns) for y in range(0, height - 40, 2) if min(rgb(x, y)) > 230), default=-1)
print(ink, title)
PY
}

check_screen() { # WIDTHxHEIGHT
    local size=$1
    start_screen "$size"
    start_player "$(cat "$work/first-start.ini")"
    [ "${width}x${height}" = "$size" ] || fail "the screen is ${width}x${height}, not $size"
    shot "defaults-$size"

    # The page, centred above the 40-pixel bar, is seen from edge to edge.
    local x0=$(((width - page_w) / 2)) y0=$(((height - page_h - 40) / 2))
    [ "$y0" -ge 0 ] || y0=0
    local middle=$((y0 + page_h / 2))
    [ "$(pixel "defaults-$size" $((x0 - 2)) "$middle")" = "$background" ] || fail "$size: no background left of the page"
    [ "$(pixel "defaults-$size" $((x0 + 2)) "$middle")" != "$background" ] || fail "$size: the page's left edge is not shown"
    [ "$(pixel "defaults-$size" $((x0 + page_w - 3)) "$middle")" != "$background" ] ||
        fail "$size: the page's right edge is not shown"
    [ "$(pixel "defaults-$size" $((x0 + page_w + 1)) "$middle")" = "$background" ] ||
        fail "$size: no background right of the page"
    # No scroll bar along the bottom of the page area.
    [ "$(pixel "defaults-$size" $((width / 2)) $((bar - 2)))" = "$background" ] ||
        fail "$size: something other than the background above the bar (a scroll bar?)"

    # The first word's letters, and the white title left of the page.
    local left top right bottom
    read -r left top right bottom _ _ < <(page_object "$course/sayfa01.ini" "g01 A a" own)
    local ink title
    read -r ink title < <(measure "defaults-$size" "$left" "$top" $((right - left)) $((bottom - top)) "$x0")
    [ "$ink" -ge 24 ] || fail "$size: the letters are $ink pixels tall"
    [ "$title" -ge 0 ] || fail "$size: no chapter title left of the page"
    [ "$title" -lt $((x0 - 4)) ] || fail "$size: the chapter title reaches the page (x $title, page from $x0)"

    # Play: the second word is marked (a frame, by default) while it is read.
    local start stop
    read -r left top right bottom start stop < <(page_object "$course/sayfa01.ini" "g02 B b" own)
    xdotool mousemove --sync 18 $((bar + 20)) click 1
    sleep "$(awk -v a="$start" -v b="$stop" 'BEGIN { printf "%.2f", (a + b) / 2000 }')"
    shot "playing-$size"
    same_area "defaults-$size" "playing-$size" "$((right - left + 2))x$((bottom - top + 2))+$((left - 1))+$((top - 1))" &&
        fail "$size: the word read is not marked"

    xdotool mousemove --sync $((width - 4 - 16 + 7)) $((bar + 12 + 7)) click 1   # close
    wait_closed
    stop_screen
}

check_screen 1920x1080
check_screen 1366x768
echo "1 passed, 0 failed"
