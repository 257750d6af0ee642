#!/usr/bin/env bash
# End to end: the learner's keys. On the words page of the sample course,
# Space plays (the second word, "kalem", is marked as it is heard) and, in
# it, pauses (the mark stays there), Right plays the next word ("öğretmen", which
# is marked and "kalem" no longer), Alt+D opens the lessons tree, Escape
# closes it, and the arrows and Return in it choose the syllables page.
# Usage: keys.sh BUILD_DIR COURSE_DIR [SHOT_DIR]
set -euo pipefail

build=$1
course=$2
shots=${3:-}
needs_sound=1
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

start_player "[Settings]\nDataFolder=$course\nLastChapter=sayfa04.ini\nLastScreenSize=1\nImageSizeType=0\nMarkType=2\n\n[LessonGroups]\n01=Harfler\n02=Heceler ve Kelimeler\n09=Yardım\n"
tree_area="400x160+80+$((bar - 160))"

read -r k_left k_top k_right k_bottom k_start k_stop < <(page_object "$course/sayfa04.ini" "g02 kalem" fit)
read -r o_left o_top _ _ o_start _ < <(page_object "$course/sayfa04.ini" "g03 öğretmen" fit)
seconds() { awk -v ms="$1" 'BEGIN { printf "%.2f", ms / 1000 }'; }

# "Somon", the recolour mark, on paper: 55 more red (clipped), 7 more green, 55 less blue.
clip() { local v=$1; [ "$v" -lt 0 ] && v=0; [ "$v" -gt 255 ] && v=255; echo "$v"; }
marked() { # SHOT X Y: whether the point is tinted in SHOT where it was plain before
    local r0 g0 b0 r g b
    read -r r0 g0 b0 < <(pixel keys-before "$2" "$3")
    read -r r g b < <(pixel "$1" "$2" "$3")
    [ "$r $g $b" = "$(clip $((r0 + 55))) $(clip $((g0 + 7))) $(clip $((b0 - 55)))" ]
}
plain() { # SHOT X Y: whether the point is as it was before
    [ "$(pixel keys-before "$2" "$3")" = "$(pixel "$1" "$2" "$3")" ]
}

# The pointer away from the words: the keys alone play.
xdotool mousemove --sync 5 5
shot keys-before
xdotool key space
sleep "$(seconds $(((k_start + k_stop) / 2)))"
xdotool key space
shot keys-playing
marked keys-playing $((k_left + 6)) $((k_top + 6)) || fail "Space did not play: 'kalem' is not marked"

# Paused in "kalem": past its end it is still the word marked.
sleep "$(seconds $((k_stop - k_start + 300)))"
shot keys-paused
marked keys-paused $((k_left + 6)) $((k_top + 6)) && plain keys-paused $((o_left + 6)) $((o_top + 6)) ||
    fail "Space did not pause in 'kalem'"

# The next word by time, played from its start and marked.
xdotool key Right
sleep 0.4
shot keys-next
marked keys-next $((o_left + 6)) $((o_top + 6)) || fail "Right: 'öğretmen' is not marked"
plain keys-next $((k_left + 6)) $((k_top + 6)) || fail "Right: 'kalem' is still marked"

# The lessons tree, by the keyboard alone, with the page standing still.
xdotool key space
sleep 0.3
shot keys-still
xdotool key alt+d
sleep 0.8
shot keys-tree
same_area keys-still keys-tree "$tree_area" && fail "Alt+D did not open the lessons tree"
xdotool key Escape
sleep 0.5
shot keys-closed
same_area keys-still keys-closed "$tree_area" || fail "Escape did not close the lessons tree"
xdotool key alt+d
sleep 0.8
xdotool key Down Down Return
sleep 1.2
shot keys-chosen

xdotool mousemove --sync $((width - 4 - 16 + 7)) $((bar + 12 + 7)) click 1   # close
wait_closed
grep -q '^LastChapter=sayfa03.ini' "$work/Vedra.ini" || fail "the lesson chosen in the tree was not shown"
echo "1 passed, 0 failed"
