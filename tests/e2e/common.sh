# What the end-to-end scripts share. Source it after setting build, course and
# shots (a folder for screenshots, or empty); `needs_sound` first when the
# script plays through the sound server.
#
# - checks the test environment (exits 77, "skipped", without it),
# - a work folder removed at exit, with the player stopped,
# - start_player SETTINGS: the player copied into the work folder with its
#   own "Vedra.ini" and runtime folder, started, and its window waited for,
# - fail, shot NAME, pixel NAME X Y, same_area NAME1 NAME2 GEOMETRY.

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
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$helper" ] && kill "$helper" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*"
    exit 1
}

start_player() {
    mkdir -p -m 700 "$work/runtime"
    cp "$build/lirena" "$work/lirena"
    printf '%b' "$1" > "$work/Vedra.ini"
    XDG_RUNTIME_DIR=$work/runtime "$work/lirena" &
    pid=$!
    timeout 15 xdotool search --sync --onlyvisible --name '^Vedra$' >/dev/null || fail "no window"
    sleep 1
    read -r width height < <(xdpyinfo | awk '/dimensions:/ {split($2, d, "x"); print d[1], d[2]}')
    bar=$((height - 40))
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
