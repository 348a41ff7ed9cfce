#!/bin/sh
# The window started again and again on a document of repeats, used at once while its
# splash still shows (a click where the ribbon's Agenda button is, one on the rows, the
# keys), each start lived through to the end of the splash's time: no crash, no error
# box, nothing fatal in the log.
# Runs under run-under-xvfb.sh: vantry, the calendar to start from, and how many starts.
set -u
vantry="$1"
calendar="$2"
starts="${3:-50}"
work=$(mktemp -d) || exit 1
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
trap 'exit 1' HUP INT TERM

fail() {
    echo "soak_starts_test: start $n: $*" >&2
    [ -f "$log" ] && tail -20 "$log" >&2
    exit 1
}

n=0
log="$work/state/vantry/QLOG.txt"
"$vantry" --import-ics "$calendar" "$work/repeats.vnt" >/dev/null || { echo "import failed" >&2; exit 1; }
while [ $n -lt "$starts" ]; do
    n=$((n + 1))
    rm -rf "$work/state"
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state" \
        "$vantry" "$work/repeats.vnt" >"$work/out" 2>"$work/err" &
    pid=$!
    tries=0
    until window=$(xdotool search --all --onlyvisible --pid "$pid" --name "repeats.vnt" 2>/dev/null); do
        kill -0 "$pid" 2>/dev/null || fail "vantry ended before its window showed"
        tries=$((tries + 1))
        [ $tries -le 6000 ] || fail "no window within a minute"
        sleep 0.01
    done
    window=$(echo "$window" | head -1)
    # Used at once, splash or no splash: Agenda on the ribbon (where a maximized window
    # has it), a row, the keys.
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xdotool mousemove $((X + 225)) $((Y + 95)) click 1 \
        mousemove $((X + WIDTH / 2)) $((Y + 255)) click 1 key Down key End
    # Lived through the splash's time (its timer logs when it fires), a minute at most.
    tries=0
    until grep -q "splash time over" "$log" 2>/dev/null; do
        kill -0 "$pid" 2>/dev/null || fail "vantry ended (crashed?) before its splash's time was over"
        tries=$((tries + 1))
        [ $tries -le 6000 ] || fail "the splash's time never ended"
        sleep 0.01
    done
    kill -0 "$pid" 2>/dev/null || fail "vantry ended after its splash's time"
    if grep -q "FATAL\|Exception 0x" "$log" || xdotool search --all --onlyvisible --pid "$pid" --name "^Error$" >/dev/null 2>&1; then
        fail "a fatal error was reported"
    fi
    kill "$pid"
    wait "$pid" 2>/dev/null
    pid=
done
echo "soak_starts_test: $starts starts, used at once, none crashed"
