#!/usr/bin/env bash
# End to end: the real player plays a sample page through the sound server.
# Presses the play button, listens on the null sink's monitor for the
# teacher's voice and watches the time label count.
# Usage: playback.sh BUILD_DIR COURSE_DIR
set -euo pipefail

build=$1
course=$2
shots=
needs_sound=1
# shellcheck source=tests/e2e/common.sh
source "$(dirname "$0")/common.sh"

start_player "[Settings]\nDataFolder=$course\nLastChapter=sayfa04.ini\nLastScreenSize=1\nImageSizeType=0\n"
# The time label sits left of the five small buttons at the right end.
label="104x18+$((width - 4 - 80 - 8 - 104))+$((bar + 2))"
import -window root -crop "$label" "$work/time0.png"

parec -d null.monitor --raw --format=s16le --rate=22050 --channels=1 > "$work/heard.raw" &
helper=$!
sleep 0.3
xdotool mousemove --sync 18 $((bar + 20)) click 1   # the play button
sleep 2
import -window root -crop "$label" "$work/time1.png"
sleep 0.5
import -window root -crop "$label" "$work/time2.png"
kill "$helper"
wait "$helper" 2>/dev/null || true
helper=

# The voice was heard: a good part of the recording is louder than silence.
loud=$(python3 - "$work/heard.raw" <<'PY'
import sys, array
samples = array.array('h', open(sys.argv[1], 'rb').read())
print(sum(1 for s in samples if abs(s) > 1000) * 1000 // 22050)
PY
)
[ "$loud" -gt 200 ] || fail "only $loud ms of sound reached the sink"

# The time label counts.
[ "$(compare -metric AE "$work/time0.png" "$work/time1.png" null: 2>&1 || true)" != "0" ] || fail "time label did not change"
[ "$(compare -metric AE "$work/time1.png" "$work/time2.png" null: 2>&1 || true)" != "0" ] || fail "time label stopped"
echo "1 passed, 0 failed"
