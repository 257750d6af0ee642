#!/usr/bin/env bash
# End to end: an author adds a word to a page. On a copy of the words page
# shown at 75 %, with the authoring pages on, finds every control by its name:
# deletes the last word's link, draws a rectangle in Design mode and adds it,
# adds a voice object at the playing position, links the two, puts the link in
# both sequences and saves with Ctrl+S. Checks the chapter file (the rectangle
# in the picture's pixels), starts the player again, clicks the new rectangle
# and checks that it is marked, where it was drawn, while its segment plays.
# Keeps screenshots of the File and All Objects pages.
# Usage: authoring.sh BUILD_DIR COURSE_DIR [SHOT_DIR]
set -euo pipefail

build=$1
course=$2
shots=${3:-}
needs_sound=1
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

cp -r "$course" "$work/course"
chapter=$work/course/sayfa04.ini
settings="[Settings]\nDataFolder=$work/course\nLastChapter=sayfa04.ini\nLastScreenSize=1\nImageSizeType=1\nImageSize=1\nMarkType=2\nAuthorMode=1\n"
start_accessibility
start_player "$settings"

atspi click "push button" "Ayar Sayfasını Göster"
atspi click "page tab" "File"
atspi click "radio button" "Design"
sleep 0.3
read -r px py _ _ < <(atspi extents filler "Sayfa resmi")

# A rectangle between "ağaç" and "şemsiye", drawn in view pixels: the page is
# shown at 75 %, so it stands at (520, 420)-(700, 520) on the picture.
x1=390 y1=315 x2=525 y2=390
xdotool mousemove --sync $((px + x1)) $((py + y1)) mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove --sync $((px + x1 + (x2 - x1) * step / 5)) $((py + y1 + (y2 - y1) * step / 5))
done
xdotool mouseup 1
sleep 0.3
shot authoring-file

atspi click "page tab" "All Objects"
atspi click "list item" "g08 güneş,008"
atspi click "push button" "Delete link"
atspi click "push button" "Add graphic object"
# The voice object starts where the recording is when it is added, in the
# stretch the deleted link covered (9.0 s to 10.2 s).
atspi click "push button" "Oynat"
sleep 8.8
atspi click "push button" "Add voice object"
atspi click "list item" "025"
atspi click "list item" "028"
atspi click "push button" "Link"
atspi click "list item" "025,028"
atspi click "push button" "R+C >"
sleep 0.3
shot authoring-objects
xdotool key ctrl+s
sleep 0.5

# The chapter as saved: the rectangle in picture pixels, the link in both
# sequences in place of the deleted one.
read -r voice_start voice_stop < <(/usr/bin/python3 - "$chapter" <<'PY' || fail "the saved chapter is not as authored"
import sys
text = open(sys.argv[1], 'rb').read().decode('cp1254')
sections, current = {}, None
for line in text.splitlines():
    line = line.strip()
    if line.startswith('[') and line.endswith(']'):
        current = sections.setdefault(line[1:-1], {})
    elif '=' in line and current is not None:
        key, value = line.split('=', 1)
        current[key] = value
def check(what, ok):
    if not ok:
        sys.exit(f'{what}: {sections}')
check('rectangle', sections['GraphicObjects'].get('25') == '025|520|420|700|520')
check('deleted link', '65' not in sections['VGObjects'])
check('link', sections['VGObjects'].get('66') == '025,028|25|28')
for key in ('ClickObjects', 'ReadObjects'):
    check(key, sections['General'][key] == '30|35|40|45|50|55|60|66')
start, stop = map(int, sections['VoiceObjects']['28'].split('|')[1:3])
check('voice object', 9007 < start <= 10000 and stop == start + 2000)
print(start, stop)
PY
)

# Saved: closing asks nothing.
atspi click "push button" "Programı Kapat"
wait_closed

start_player "$settings"
read -r px py _ _ < <(atspi extents filler "Sayfa resmi")
shot authoring-before
xdotool mousemove --sync $((px + (x1 + x2) / 2)) $((py + (y1 + y2) / 2)) click 1
sleep 0.6
shot authoring-marked
xdotool mousemove --sync 5 5

# Inside the drawn rectangle the page is tinted ("Somon" adds 55 to red, 7 to
# green, takes 55 from blue); just outside it, it is as before.
clip() { local v=$1; [ "$v" -lt 0 ] && v=0; [ "$v" -gt 255 ] && v=255; echo "$v"; }
read -r r0 g0 b0 < <(pixel authoring-before $((px + x1 + 4)) $((py + y1 + 4)))
read -r r1 g1 b1 < <(pixel authoring-marked $((px + x1 + 4)) $((py + y1 + 4)))
[ "$r1 $g1 $b1" = "$(clip $((r0 + 55))) $(clip $((g0 + 7))) $(clip $((b0 - 55)))" ] ||
    fail "inside the new rectangle: before $r0,$g0,$b0, during its segment $r1,$g1,$b1"
[ "$(pixel authoring-before $((px + x1 - 4)) $((py + y1 + 4)))" = "$(pixel authoring-marked $((px + x1 - 4)) $((py + y1 + 4)))" ] ||
    fail "the page changed left of the new rectangle"
[ "$(pixel authoring-before $((px + x2 + 3)) $((py + y2 - 4)))" = "$(pixel authoring-marked $((px + x2 + 3)) $((py + y2 - 4)))" ] ||
    fail "the page changed right of the new rectangle"
echo "voice object $voice_start-$voice_stop ms; 1 passed, 0 failed"
