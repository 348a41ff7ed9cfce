#!/bin/sh
# Runs a GUI test program on a virtual screen with a small window manager, so that
# maximising and focus work as on a desktop.
set -e
program="$1"
shift
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  # The window manager is there once it names its window on the root window (at most a
  # minute on a busy machine).
  tries=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    tries=$((tries + 1))
    if [ $tries -gt 6000 ] || ! kill -0 $wm 2>/dev/null; then
      echo "no window manager started" >&2
      exit 1
    fi
    sleep 0.01
  done
  "$0" "$@"
  status=$?
  kill $wm 2>/dev/null || true
  exit $status
' "$program" "$@"
