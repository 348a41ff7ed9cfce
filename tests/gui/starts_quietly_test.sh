#!/bin/sh
# The window program starts without a word on the terminal: no GTK warning or critical
# message, nothing at all on standard error, from the start until its window is shown.
# Runs under run-under-xvfb.sh, with folders of its own for settings, data and log.
set -u
vantry="$1"
work=$(mktemp -d) || exit 1
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
trap 'exit 1' HUP INT TERM

fail() {
    echo "starts_quietly_test: $*" >&2
    exit 1
}

# Once with no document, once with the demo document.
for document in "" "$2"; do
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state" \
        VANTRY_NO_SPLASH=1 "$vantry" $document >"$work/out" 2>"$work/err" &
    pid=$!
    # Shown once the window manager knows a window of that process (a minute at most).
    tries=0
    until xdotool search --onlyvisible --pid "$pid" --name "Vantry" >/dev/null 2>&1; do
        kill -0 "$pid" 2>/dev/null || { cat "$work/err" >&2; fail "vantry ended before its window showed"; }
        tries=$((tries + 1))
        [ $tries -le 6000 ] || fail "no window within a minute"
        sleep 0.01
    done
    kill "$pid"
    wait "$pid" 2>/dev/null
    pid=
    if [ -s "$work/err" ]; then
        cat "$work/err" >&2
        fail "the start ${document:+with $document }printed the above on standard error"
    fi
done
echo "starts_quietly_test: nothing on standard error"
