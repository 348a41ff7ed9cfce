#!/usr/bin/env bash
# Time from starting the window program on a document to its main window showing, on a
# virtual screen (Xvfb with openbox). The document is opened, the panes filled and the
# views laid out before the frame is shown, so the frame's mapping is when it paints.
#
#   bench/window_startup.sh [BUILD_DIR] [NODES] [RUNS] [TIMEOUT_SECONDS]
#
# Defaults: build, a generated document of 100000 nodes, 3 runs, 120 s per run.
# VANTRY=path times another vantry binary on the same document. Not part of `make test`.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-build}" && pwd)
nodes=${2:-100000}
runs=${3:-3}
limit=${4:-120}
vantry=${VANTRY:-$build/src/vantry}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/bench/make_bench_documents" "$nodes" "$work/startup.vnt" "$work/unused.json"

# On the GUI tests' virtual screen, which starts the loop once its window manager is up.
export VANTRY_NO_SPLASH=1
export VANTRY_BIN=$vantry WORK=$work RUNS=$runs LIMIT=$limit
"$here/tests/gui/run-under-xvfb.sh" bash -c '
  cd "$WORK"
  for ((run = 1; run <= RUNS; run++)); do
    start=$(date +%s%N)
    "$VANTRY_BIN" startup.vnt >/dev/null 2>&1 &
    app=$!
    shown=""
    while [ -z "$shown" ]; do
      id=$(xwininfo -root -tree 2>/dev/null | awk "/startup\\.vnt( \\*)?\": \\(/ { print \$1; exit }")
      if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable; then
        shown=$(date +%s%N)
      elif (( ($(date +%s%N) - start) / 1000000000 >= LIMIT )); then
        shown=none
      else
        sleep 0.02
      fi
    done
    kill "$app" 2>/dev/null || true
    wait "$app" 2>/dev/null || true
    if [ "$shown" = none ]; then
      echo "run $run: no window within $LIMIT s"
    else
      echo "run $run: window shown after $(( (shown - start) / 1000000 )) ms"
    fi
  done
'
