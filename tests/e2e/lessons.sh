#!/usr/bin/env bash
# End to end: a learner walks the sample course. Chooses a lesson in the
# "Dersler" tree, runs the find-the-word exercise from the "Konular" menu and
# answers it by clicking (the word turns green), runs it again without
# answering (the word turns red), then goes back and forward through the pages.
# Usage: lessons.sh BUILD_DIR COURSE_DIR [SHOT_DIR]
set -euo pipefail

build=$1
course=$2
shots=${3:-}
needs_sound=1
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

# The course with one word, "ba", in the read sequence of the syllables page,
# so the word to find is known.
cp -r "$course" "$work/course"
sed -i 's/^ReadObjects=.*/ReadObjects=1\r/' "$work/course/sayfa03.ini"
start_player "[Settings]\nDataFolder=$work/course\nLastChapter=sayfa04.ini\nLastScreenSize=1\nImageSizeType=0\nTest3WaitTime=1\n\n[LessonGroups]\n01=Harfler\n02=Heceler ve Kelimeler\n09=Yardım\n"
button_y=$((bar + 20))
page_area="${width}x$((bar - 10))+0+0"

# "ba" (205, 302, 476, 534 on the 1240 x 1754 page) on screen, by the fit rule.
read -r ba_x ba_y ba_cx ba_cy < <(python3 - "$width" "$height" <<'PY'
import math, sys
sw, sh = int(sys.argv[1]), int(sys.argv[2])
w, h = 1240, 1754
s = (sh - 40) * 0.96 / h if h >= w else sw * 0.96 / w
while w * s > sw or h * s > sh - 40:
    s *= 0.9
x0, y0 = (sw - math.trunc(w * s)) // 2, max(0, (sh - math.trunc(h * s) - 40) // 2)
left, top, right, bottom = math.trunc(205 * s), math.trunc(302 * s), round(476 * s), round(534 * s)
print(x0 + left + 4, y0 + top + 4, x0 + (left + right) // 2, y0 + (top + bottom) // 2)
PY
)

shot words
# The lessons tree opens above "Dersler", its first node current; the syllables
# page is the first lesson of the group that is open.
xdotool mousemove --sync 129 "$button_y" click 1
sleep 0.8
shot tree
same_area words tree "400x160+80+$((bar - 160))" && fail "the lessons tree did not open"
xdotool key Down Down Return
sleep 1.2
shot syllables
same_area words syllables "$page_area" && fail "the chosen lesson is not shown"

run_test3() {
    xdotool mousemove --sync 206 "$button_y" click 1   # "Konular"
    sleep 0.6
    xdotool key Down Down Down Down Down Down Return   # "Kendin oku", TEST3
}

# Found: a click on "ba" once it has been read out turns it green.
read -r r0 g0 b0 < <(pixel syllables "$ba_x" "$ba_y")
run_test3
sleep 1.2
xdotool mousemove --sync "$ba_cx" "$ba_cy"
sleep 0.2
xdotool click 1
sleep 0.5
xdotool mousemove --sync 5 5
shot green
read -r r g b < <(pixel green "$ba_x" "$ba_y")
clip() { local v=$1; [ "$v" -lt 0 ] && v=0; [ "$v" -gt 255 ] && v=255; echo "$v"; }
[ "$r $g $b" = "$(clip $((r0 - 63))) $(clip $((g0 + 59))) $(clip $((b0 - 60)))" ] ||
    fail "found word: $r0,$g0,$b0 became $r,$g,$b, not green"

# Not found in time (1 s): the word turns red.
run_test3
sleep 3
shot red
read -r r g b < <(pixel red "$ba_x" "$ba_y")
[ "$r $g $b" = "$(clip $((r0 + 39))) $(clip $((g0 - 143))) $(clip $((b0 - 143)))" ] ||
    fail "missed word: $r0,$g0,$b0 became $r,$g,$b, not red"

# Back to the words page, as it was; forward to the syllables page, tints gone.
xdotool mousemove --sync 264 "$button_y" click 1
sleep 1.2
shot back
same_area words back "$page_area" || fail "back did not return to the words page"
xdotool mousemove --sync 290 "$button_y" click 1
sleep 1.2
shot forward
same_area syllables forward "$page_area" || fail "forward did not return to the syllables page"

xdotool mousemove --sync $((width - 4 - 16 + 7)) $((bar + 12 + 7)) click 1   # close
wait_closed
grep -q '^LastChapter=sayfa03.ini' "$work/Vedra.ini" || fail "the last chapter was not kept"
echo "1 passed, 0 failed"
