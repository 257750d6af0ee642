# What the end-to-end scripts share. Source it after setting build, course and
# shots (a folder for screenshots, or empty); `needs_sound` first when the
# script plays through the sound server.
#
# - checks the test environment (exits 77, "skipped", without it),
# - a work folder removed at exit, with the player stopped,
# - start_player SETTINGS: the player copied into the work folder with its
#   own "Vedra.ini" and runtime folder, started, and its window waited for,
# - fail, shot NAME, pixel NAME X Y, same_area NAME1 NAME2 GEOMETRY,
# - start_accessibility: a private session bus with the accessibility bus, so
#   that `atspi` (atspi.py) finds the player's controls by name,
# - start_screen WIDTHxHEIGHT, stop_screen: an X server of that size of the
#   script's own, for checks on a given screen.

if [ -z "${LIRENA_TEST_DISPLAY:-}" ] || { [ -n "${needs_sound:-}" ] && [ -z "${LIRENA_TEST_PULSE:-}" ]; }; then
    echo "no test display or sound server (run through test.sh)"
    exit 77
fi
export DISPLAY=$LIRENA_TEST_DISPLAY
export QT_QPA_PLATFORM=xcb
if [ -n "${needs_sound:-}" ]; then
    # The player talks to the test environment's server, wherever its own runtime folder is.
    export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
fi
[ -n "${shots:-}" ] && mkdir -p "$shots"

work=$(mktemp -d)
pid=
helper=
bus=
screen_pid=
# Waits for what it ends: a player still writing its files would leave the
# work folder half removed (and fail the script).
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
    if [ -n "$helper" ]; then kill "$helper" 2>/dev/null || true; wait "$helper" 2>/dev/null || true; fi
    # The accessibility bus and its registry leave with the session bus.
    if [ -n "$bus" ]; then kill "$bus" 2>/dev/null || true; fi
    if [ -n "$screen_pid" ]; then kill "$screen_pid" 2>/dev/null || true; wait "$screen_pid" 2>/dev/null || true; fi
    rm -rf "$work" || true
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

start_player() {
    mkdir -p -m 700 "$work/runtime"
    # The program with its own libraries, as it is built and installed.
    cp "$build/lirena" "$build/libxaudio.so" "$build/liblirena-words.so" "$work/"
    printf '%b' "$1" > "$work/Vedra.ini"
    XDG_RUNTIME_DIR=$work/runtime "$work/lirena" &
    pid=$!
    timeout 15 xdotool search --sync --onlyvisible --name '^Vedra$' >/dev/null || fail "no window"
    sleep 1
    read -r width height < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')
    bar=$((height - 40))
}

start_accessibility() {
    command -v dbus-launch >/dev/null && [ -x /usr/libexec/at-spi-bus-launcher ] &&
        /usr/bin/python3 -c 'import pyatspi' 2>/dev/null ||
        fail "dbus-launch, at-spi2-core or python3-pyatspi is missing (scripts/setup installs them)"
    eval "$(dbus-launch --sh-syntax)"
    bus=$DBUS_SESSION_BUS_PID
    /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    sleep 0.5
}

atspi() {
    /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/atspi.py" "$@"
}

# Starts an X server with one screen of the size and points DISPLAY at it.
# A display number another server takes at the same moment is passed over.
start_screen() { # WIDTHxHEIGHT
    local display=120
    for _ in $(seq 10); do
        while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
            display=$((display + 1))
        done
        Xvfb ":${display}" -screen 0 "${1}x24" -nolisten tcp >/dev/null 2>&1 &
        screen_pid=$!
        for _ in $(seq 50); do
            [ -e "/tmp/.X11-unix/X${display}" ] && kill -0 "$screen_pid" 2>/dev/null && break
            kill -0 "$screen_pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$screen_pid" 2>/dev/null; then
            export DISPLAY=":${display}"
            return
        fi
        wait "$screen_pid" 2>/dev/null || true
        screen_pid=
        display=$((display + 1))
    done
    fail "no X server of ${1} could be started"
}

stop_screen() {
    kill "$screen_pid"
    wait "$screen_pid" 2>/dev/null || true
    screen_pid=
}

shot() {
    import -window root "$work/$1.png"
    if [ -n "${shots:-}" ]; then cp "$work/$1.png" "$shots/$1.png"; fi
}

pixel() {
    convert "$work/$1.png" -crop "1x1+$2+$3" -format "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]\n" info:
}

same_area() {
    [ "$(compare -metric AE "$work/$1.png[$3]" "$work/$2.png[$3]" null: 2>&1 || true)" = "0" ]
}

# Waits up to 5 s for the player to end.
wait_closed() {
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "the window did not close"
    wait "$pid" 2>/dev/null || true
    pid=
}

# page_object CHAPTER NAME MODE: where the object named NAME (its link's
# graphic part, as "g02 kalem") of chapter file CHAPTER stands on this screen,
# with the page shown at the fit size (MODE fit) or at its own size (MODE own)
# above the 40-pixel button bar, and its voice segment:
# "left top right bottom start stop" (screen pixels, ms).
page_object() {
    python3 - "$1" "$2" "$3" "$width" "$height" <<'PY'
import math, os, subprocess, sys
chapter, name, mode, sw, sh = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5])
raw = open(chapter, 'rb').read()
try:
    text = raw.decode('utf-8')
except UnicodeDecodeError:
    text = raw.decode('cp1254')
sections, current = {}, None
for line in text.splitlines():
    line = line.strip()
    if line.startswith('[') and line.endswith(']'):
        current = sections.setdefault(line[1:-1].lower(), {})
    elif '=' in line and current is not None:
        key, value = line.split('=', 1)
        current.setdefault(key.strip().lower(), value.strip())

def resolve(folder, relative):
    # Course files name their files Windows-style: "\" and any letter case.
    path = folder
    for part in relative.replace('\\', '/').split('/'):
        match = [e for e in os.listdir(path) if e.lower() == part.lower()]
        path = os.path.join(path, match[0] if match else part)
    return path

picture = resolve(os.path.dirname(chapter), sections['general']['imagefile'])
w, h = map(int, subprocess.check_output(['identify', '-format', '%w %h', picture]).split())
link = next(v for v in sections['vgobjects'].values() if v.split(',')[0] == name)
graphic, voice = link.split('|')[1:3]
left, top, right, bottom = map(int, sections['graphicobjects'][graphic].split('|')[1:5])
start, stop = map(int, sections['voiceobjects'][voice].split('|')[1:3])
if mode == 'fit':
    s = sw * 0.96 / w if h < w else (sh - 40) * 0.96 / h
    while w * s > sw or h * s > sh - 40:
        s *= 0.9
    pw, ph = math.trunc(w * s), math.trunc(h * s)
    left, top, right, bottom = math.trunc(left * s), math.trunc(top * s), round(right * s), round(bottom * s)
else:
    pw, ph = w, h
x0, y0 = (sw - pw) // 2, max(0, (sh - ph - 40) // 2)
print(x0 + left, y0 + top, x0 + right, y0 + bottom, start, stop)
PY
}
