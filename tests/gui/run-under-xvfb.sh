#!/bin/sh
# Runs a GUI test program on a virtual screen with a small window manager, so that
# maximising and focus work as on a desktop.
#
# The X server picks a free display itself (-displayfd): tests that start at the same
# moment never take the same one, as they may with xvfb-run -a. With -noreset the server
# keeps running as it is when its last client leaves, instead of resetting and turning
# away whoever connects next (the window manager after the readiness probe, say).
program="$1"
shift
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
work=$(mktemp -d) || exit 1
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
wm=
stop() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap stop EXIT
trap 'exit 1' INT TERM

# Waits (at most a minute on a busy machine) until the command succeeds while $1 runs.
wait_for() {
  pid=$1
  shift
  tries=0
  until "$@"; do
    tries=$((tries + 1))
    if [ $tries -gt 6000 ] || ! kill -0 "$pid" 2>/dev/null; then return 1; fi
    sleep 0.01
  done
}

# The display's number arrives, ending in a newline, once the server has its sockets. On a
# busy machine a client can still be turned away for a moment after that, so the server is
# ready once a client gets an answer from it.
if ! wait_for "$server" grep -qs '^[0-9][0-9]*$' "$work/display"; then
  echo "no X server started:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
DISPLAY=":$(cat "$work/display")"
export DISPLAY
if ! wait_for "$server" sh -c 'xprop -root >/dev/null 2>&1'; then
  echo "the X server on $DISPLAY takes no clients:" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi

openbox >"$work/openbox.log" 2>&1 &
wm=$!
# The window manager is there once it names its window on the root window.
if ! wait_for "$wm" sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'; then
  echo "no window manager started:" >&2
  cat "$work/openbox.log" >&2
  exit 1
fi

"$program" "$@"
