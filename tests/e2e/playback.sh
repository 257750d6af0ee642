#!/usr/bin/env bash
# End to end: the real player plays a sample page through the sound server.
# Presses the play button, listens on the null sink's monitor for the
# teacher's voice and watches the time label count.
# Usage: playback.sh BUILD_DIR COURSE_DIR
set -euo pipefail

build=$1
course=$2
if [ -z "${LIRENA_TEST_DISPLAY:-}" ] || [ -z "${LIRENA_TEST_PULSE:-}" ]; then
    echo "no test display or sound server (run through test.sh)"
    exit 77
fi
export DISPLAY=$LIRENA_TEST_DISPLAY
export QT_QPA_PLATFORM=xcb
# The player talks to the test environment's server, wherever its own runtime folder is.
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native

work=$(mktemp -d)
pid=
recorder=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$recorder" ] && kill "$recorder" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    exit 1
}

mkdir -m 700 "$work/runtime"
cp "$build/lirena" "$work/lirena"
printf '[Settings]\nDataFolder=%s\nLastChapter=sayfa04.ini\nLastScreenSize=1\nImageSizeType=0\n' "$course" > "$work/Vedra.ini"

XDG_RUNTIME_DIR=$work/runtime "$work/lirena" &
pid=$!
timeout 15 xdotool search --sync --onlyvisible --name '^Vedra$' >/dev/null || fail "no window"
sleep 1

height=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[2]}')
width=$(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1]}')
bar=$((height - 40))
# The time label sits left of the five small buttons at the right end.
label="104x18+$((width - 4 - 80 - 8 - 104))+$((bar + 2))"
import -window root -crop "$label" "$work/time0.png"

parec -d null.monitor --raw --format=s16le --rate=22050 --channels=1 > "$work/heard.raw" &
recorder=$!
sleep 0.3
xdotool mousemove --sync 18 $((bar + 20)) click 1   # the play button
sleep 2
import -window root -crop "$label" "$work/time1.png"
sleep 0.5
import -window root -crop "$label" "$work/time2.png"
kill "$recorder"
wait "$recorder" 2>/dev/null || true
recorder=

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
