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
  sleep 1
  "$0" "$@"
  status=$?
  kill $wm 2>/dev/null || true
  exit $status
' "$program" "$@"
