#!/usr/bin/env bash
# End to end: an author marks a word in the sound editor. With the authoring
# pages on, on a copy of the words page: "Show Editor" decodes the page's
# recording through the decoder library beside the program and shows its
# waveform; "Find First" selects the first spoken word; Ctrl+A makes a voice
# object of it, which the "All Objects" page lists and selects with its times.
# Keeps screenshots of the editor before and after the search.
# Usage: soundeditor.sh BUILD_DIR COURSE_DIR [SHOT_DIR]
set -euo pipefail

build=$1
course=$2
shots=${3:-}
needs_sound=1
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

cp -r "$course" "$work/course"
cp "$build/libxaudio.so" "$work/libxaudio.so"
settings="[Settings]\nDataFolder=$work/course\nLastChapter=sayfa04.ini\nLastScreenSize=1\nAuthorMode=1\n"
start_accessibility
start_player "$settings"

atspi click "push button" "Ayar Sayfasını Göster"
atspi click "page tab" "All Objects"
atspi click "push button" "Show Editor"
editor=$(timeout 10 xdotool search --sync --onlyvisible --name '^Corvel Sound Editor$' | head -1) ||
    fail "no sound editor window"

# The whole recording decoded (10.19 s at 88,200 bytes a second) and shown:
# the waveform darkens the view, which holds only a frame and a line before.
for _ in $(seq 100); do
    [ "$(stat -c %s "$work/x.raw" 2>/dev/null)" = 898740 ] && break
    sleep 0.1
done
[ "$(stat -c %s "$work/x.raw" 2>/dev/null)" = 898740 ] || fail "x.raw is not the whole recording"
sleep 0.5
shot soundeditor-decoded
read -r vx vy vw vh < <(atspi extents filler "Waveform")
white=$(convert "$work/soundeditor-decoded.png" -crop "${vw}x${vh}+${vx}+${vy}" -colorspace gray \
    -threshold 50% -format "%[fx:mean]" info:)
awk -v w="$white" 'BEGIN { exit !(w < 0.95) }' || fail "the editor shows no waveform ($white white)"

# The first word, spoken from about 0.4 s to 0.8 s into the recording,
# becomes voice object 028, the page's ninth.
atspi click "push button" "Find First"
sleep 1.5
shot soundeditor-found
xdotool windowfocus --sync "$editor" key ctrl+a
sleep 0.3
atspi click "list item" "028"
xdotool key ctrl+s
sleep 0.5
voice=$(grep -a '^28=' "$work/course/sayfa04.ini" | tr -d '\r') || fail "Ctrl+A made no voice object"
IFS='|' read -r _ start stop <<<"$voice"
[ "$start" -ge 250 ] && [ "$start" -le 550 ] && [ "$stop" -ge 650 ] && [ "$stop" -le 1400 ] ||
    fail "the new voice object does not span the first word: $voice"

# The program ends with the editor open; its settings are kept for the
# author's own closing of it.
atspi click "push button" "Programı Kapat"
wait_closed
[ ! -e "$work/EditForm.INI" ] || fail "the editor's settings were written at the program's end"
