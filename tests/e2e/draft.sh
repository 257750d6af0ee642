#!/usr/bin/env bash
# End to end: Auto Draft. On a copy of the sample course whose words page has
# had its objects taken out, with the authoring pages on, finds "Auto Draft" on
# "All Objects" by its name, clicks it, waits for the drafted links and saves
# with Ctrl+S. Checks the chapter file: the eight words, each a graphic object,
# a voice object and a link, both sequences in reading order, the heading left
# out. Then plays the page as drafted, at the fit size with the recolour mark,
# and checks on screenshots that every word is marked while it is heard.
# Usage: draft.sh BUILD_DIR COURSE_DIR [SHOT_DIR]
set -euo pipefail

build=$1
course=$2
shots=${3:-}
needs_sound=1
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

cp -r "$course" "$work/course"
chapter=$work/course/sayfa04.ini
# The page as an author starts one: picture, recording and subjects, no objects.
LC_ALL=C awk '/^\[/ { skip = /^\[(GraphicObjects|VoiceObjects|VGObjects)\]/ } skip && !/^\[/ { next }
    { sub(/^ClickObjects=[0-9|]*/, "ClickObjects="); sub(/^ReadObjects=[0-9|]*/, "ReadObjects="); print }' \
    "$course/sayfa04.ini" > "$chapter"
settings="[Settings]\nDataFolder=$work/course\nLastChapter=sayfa04.ini\nLastScreenSize=1\nImageSizeType=0\nMarkType=2\nAuthorMode=1\n"
start_accessibility
start_player "$settings"

atspi click "push button" "Ayar Sayfasını Göster"
atspi click "page tab" "All Objects"
atspi click "push button" "Auto Draft"
# Drafted when the last word's link is listed (the draft takes well under a second).
atspi extents "list item" "güneş,güneş" >/dev/null || fail "Auto Draft listed no link for 'güneş'"
sleep 0.3
shot draft-objects
xdotool key ctrl+s
sleep 0.5

# The chapter as saved, as the player reads it: a graphic object per word,
# named after it, linked to a voice object of that name ("elma,elma"), both
# sequences in reading order, nothing for the heading.
words=(elma kalem öğretmen çiçek ağaç şemsiye ışık güneş)
"$build/lirena-check" dump "$chapter" | /usr/bin/python3 -c '
import json, sys
d, words = json.load(sys.stdin), sys.argv[1:]
link = {l["id"]: l["name"] for l in d["links"]}
reading = [f"{w},{w}" for w in words]
if sorted(g["name"] for g in d["graphics"]) != sorted(words) or any(
        [link[i] for i in d[key]] != reading for key in ("click", "read")):
    sys.exit(f"the saved chapter is not the drafted page: {d}")' "${words[@]}" || fail "see above"

# The page alone at the fit size, then played: in the middle of each word's
# segment its rectangle is tinted and the word before is not.
atspi click "push button" "Ayar Sayfasını Kapat"
sleep 0.5
read -r play_x play_y play_w play_h < <(atspi extents "push button" "Oynat")
xdotool mousemove --sync 5 5
sleep 0.3
shot draft-before
ms() { echo $(($(date +%s%N) / 1000000)); }
declare -a boxes
for i in "${!words[@]}"; do
    boxes[i]=$(page_object "$chapter" "${words[i]}" fit)
done
xdotool mousemove --sync $((play_x + play_w / 2)) $((play_y + play_h / 2)) click 1
started=$(ms)
xdotool mousemove 5 5
for i in "${!words[@]}"; do
    read -r _ _ _ _ start stop <<<"${boxes[i]}"
    wait=$(((start + stop) / 2 - ($(ms) - started)))
    [ "$wait" -gt 0 ] && sleep "$(awk -v ms="$wait" 'BEGIN { printf "%.3f", ms / 1000 }')"
    import -window root -define png:compression-level=1 "$work/draft-word$i.png"
done
[ -n "$shots" ] && cp "$work"/draft-word*.png "$shots/"

# "Somon", the recolour mark, on paper: 55 more red (clipped), 7 more green, 55 less blue.
clip() { local v=$1; [ "$v" -lt 0 ] && v=0; [ "$v" -gt 255 ] && v=255; echo "$v"; }
marked() { # SHOT X Y
    local r0 g0 b0 r g b
    read -r r0 g0 b0 < <(pixel draft-before "$2" "$3")
    read -r r g b < <(pixel "$1" "$2" "$3")
    [ "$r $g $b" = "$(clip $((r0 + 55))) $(clip $((g0 + 7))) $(clip $((b0 - 55)))" ]
}
plain() { [ "$(pixel draft-before "$2" "$3")" = "$(pixel "$1" "$2" "$3")" ]; }
for i in "${!words[@]}"; do
    read -r left top _ _ start stop <<<"${boxes[i]}"
    marked "draft-word$i" $((left + 6)) $((top + 6)) ||
        fail "'${words[i]}' is not marked while it is heard ($start..$stop ms)"
    if [ "$i" -gt 0 ]; then
        read -r left top _ _ _ _ <<<"${boxes[i - 1]}"
        plain "draft-word$i" $((left + 6)) $((top + 6)) ||
            fail "'${words[i - 1]}' is still marked while '${words[i]}' is heard"
    fi
done
echo "1 passed, 0 failed"
