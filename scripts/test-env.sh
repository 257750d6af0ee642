# Starts and stops the services the tests use. Source it, then call
# start_test_env; stop_test_env undoes it (test.sh runs it on exit, also when
# a test fails).
#
# - A PulseAudio server in user mode with a private runtime folder and a null
#   sink named "null", plus a silent keep-alive stream: the idle null sink
#   works in 2 s blocks, so without it a new stream may wait that long.
# - An Xvfb display for the tests that need a real window (they ask for the
#   xcb platform; the rest run offscreen).

start_test_env() {
    LIRENA_TEST_RUNTIME=$(mktemp -d /tmp/lirena-test.XXXXXX)
    chmod 700 "$LIRENA_TEST_RUNTIME"
    export XDG_RUNTIME_DIR=$LIRENA_TEST_RUNTIME
    export LIRENA_TEST_RUNTIME

    pulseaudio --kill >/dev/null 2>&1 || true
    if pulseaudio -D --exit-idle-time=-1 -n \
        --load="module-null-sink sink_name=null" \
        --load=module-native-protocol-unix >/dev/null 2>&1; then
        for _ in $(seq 50); do
            pactl info >/dev/null 2>&1 && break
            sleep 0.1
        done
        pactl set-default-sink null >/dev/null 2>&1 || true
        pacat --playback --latency-msec=20 --raw /dev/zero >/dev/null 2>&1 &
        LIRENA_KEEPALIVE_PID=$!
        for _ in $(seq 50); do
            [ -n "$(pactl list short sink-inputs 2>/dev/null)" ] && break
            sleep 0.1
        done
        # The sink finishes the 2 s block it was idling in before it runs at
        # the keep-alive stream's pace; a stream started earlier stalls.
        sleep 2.5
        export LIRENA_TEST_PULSE=1
    else
        echo "test-env: the sound server did not start; sound tests will be skipped" >&2
    fi

    local display=99
    while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
        display=$((display + 1))
    done
    Xvfb ":${display}" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
    LIRENA_XVFB_PID=$!
    for _ in $(seq 50); do
        [ -e "/tmp/.X11-unix/X${display}" ] && break
        sleep 0.1
    done
    # A display that is taken where the lock files do not show it (another
    # /tmp, the same abstract socket) ends our server: tests would talk to
    # someone else's.
    if kill -0 "$LIRENA_XVFB_PID" 2>/dev/null; then
        export LIRENA_TEST_DISPLAY=":${display}"
    else
        echo "test-env: Xvfb did not start on :${display}; tests that need a display will be skipped" >&2
        LIRENA_XVFB_PID=
        unset LIRENA_TEST_DISPLAY
    fi
}

# Runs from test.sh's exit trap under set -e: nothing here may fail the run,
# also when a service has already gone.
stop_test_env() {
    if [ -n "${LIRENA_KEEPALIVE_PID:-}" ]; then kill "$LIRENA_KEEPALIVE_PID" 2>/dev/null || true; fi
    pulseaudio --kill >/dev/null 2>&1 || true
    if [ -n "${LIRENA_XVFB_PID:-}" ]; then kill "$LIRENA_XVFB_PID" 2>/dev/null || true; fi
    if [ -n "${LIRENA_TEST_RUNTIME:-}" ]; then rm -rf "$LIRENA_TEST_RUNTIME" || true; fi
    return 0
}
