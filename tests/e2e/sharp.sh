#!/usr/bin/env bash
# End to end: the page is as sharp on a 4K screen at 200 % as on a 1080p
# screen at 100 %. An A4 page at 300 dpi (more than twice the size it is shown
# at) in fit mode, shot on a 1920 x 1080 screen at scale 1 and on a
# 3840 x 2160 screen with QT_SCALE_FACTOR=2, each on an X server of its own.
# The figure: the median 10-90 % width, in device pixels, of the letters'
# vertical edges. It may be no wider at 4K than at 1080p.
# Usage: sharp.sh BUILD_DIR COURSE_DIR [SHOT_DIR]
set -euo pipefail

build=$1
course=$2
shots=${3:-}
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

# The course with an A4 first page of tall, straight letters.
cp -r "$course" "$work/course"
convert -size 2480x3508 xc:'#fbf8ee' -font DejaVu-Sans-Bold -pointsize 56 -density 300 -fill '#1e1e1e' \
    -annotate +220+700 'Il Hl Il Hl' -annotate +220+1300 'Ll Il Hl Il' -annotate +220+1900 'Hl Il Ll Il' \
    -quality 92 "$work/course/sayfa01.jpg"
settings="[Settings]\nDataFolder=$work/course\nLastChapter=sayfa01.ini\nImageSizeType=0\nLastScreenSize=1\n"

# Prints the median 10-90 % width of the dark-to-light and light-to-dark edges
# along rows of the page (the light area in the middle of the screen).
edge_width() { # SHOT
    read -r shot_w shot_h < <(identify -format '%w %h\n' "$work/$1.png")
    convert "$work/$1.png" -colorspace Gray -depth 8 "gray:$work/$1.gray"
    python3 - "$work/$1.gray" "$shot_w" "$shot_h" <<'PY'
import statistics, sys
data = open(sys.argv[1], 'rb').read()
w, h = int(sys.argv[2]), int(sys.argv[3])
def row(y):
    return data[y * w:(y + 1) * w]
# The page: the columns and rows of the middle that are light paper.
mid = row(h // 2)
left = next(x for x in range(w) if mid[x] > 200)
right = max(x for x in range(w) if mid[x] > 200)
widths = []
for y in range(0, h, 2):
    r = row(y)[left:right]
    if min(r, default=255) > 80:
        continue
    paper, ink = max(r), min(r)
    lo, hi = ink + 0.1 * (paper - ink), ink + 0.9 * (paper - ink)
    x = 1
    while x < len(r):
        # An edge: from at or above hi to at or below lo (or back), monotonic.
        if r[x - 1] >= hi and r[x] < hi:
            start, step = x - 1, -1
        elif r[x - 1] <= lo and r[x] > lo:
            start, step = x - 1, 1
        else:
            x += 1
            continue
        end = start + 1
        while end < len(r) and (r[end] - r[end - 1]) * step >= 0 and lo < r[end] < hi:
            end += 1
        if end < len(r) and (r[end] <= lo if step < 0 else r[end] >= hi):
            def cross(level):
                for i in range(start, end):
                    a, b = r[i], r[i + 1]
                    if (a - level) * (b - level) <= 0 and a != b:
                        return i + (a - level) / (a - b)
                return start
            widths.append(abs(cross(lo) - cross(hi)))
        x = end + 1
print(f"{statistics.median(widths):.2f} {len(widths)}" if widths else "nan 0")
PY
}

shoot() { # WIDTHxHEIGHT NAME [SCALE]
    start_screen "$1"
    QT_SCALE_FACTOR=${3:-1} start_player "$settings"
    shot "$2"
    kill "$pid"
    wait_closed
    stop_screen
}

shoot 1920x1080 sharp-1080p
shoot 3840x2160 sharp-4k 2
read -r base base_edges < <(edge_width sharp-1080p)
read -r high high_edges < <(edge_width sharp-4k)
echo "edge width, 10-90 %: ${base} px at 1080p (${base_edges} edges), ${high} px at 4K x2 (${high_edges} edges)"
[ "$base_edges" -ge 20 ] && [ "$high_edges" -ge 20 ] || fail "too few letter edges found"
python3 -c "import sys; sys.exit(0 if float('$high') <= float('$base') + 0.25 else 1)" ||
    fail "the page is softer at 4K x2 (${high} px) than at 1080p (${base} px)"
echo "1 passed, 0 failed"
