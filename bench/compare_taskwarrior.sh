#!/usr/bin/env bash
# Times vantry against Taskwarrior on the same generated items, in one run on this machine:
# `vantry --list --show 5` against `task list` and `vantry --save-as` against
# `task export`, the median of several runs each, and prints both ratios.
#
#   bench/compare_taskwarrior.sh [BUILD_DIR] [NODES] [RUNS]
#
# Defaults: build, 100000 nodes, 7 runs. Taskwarrior comes from Debian's packages and is
# installed when missing. Its data lives in a private folder (VANTRY_BENCH_DIR, default
# /tmp/vantry-taskwarrior-bench), never in ~/.task; the import there is reused while the
# generated items stay the same. Not part of `make test`.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
nodes=${2:-100000}
runs=${3:-7}
work=${VANTRY_BENCH_DIR:-${TMPDIR:-/tmp}/vantry-taskwarrior-bench}

vantry=$build/src/vantry
generator=$build/bench/make_bench_documents
for program in "$vantry" "$generator"; do
    if [ ! -x "$program" ]; then
        echo "compare_taskwarrior: $program is missing; build the tree first" >&2
        exit 1
    fi
done

if ! command -v task >/dev/null; then
    echo "compare_taskwarrior: installing taskwarrior" >&2
    as_root=()
    [ "$(id -u)" -eq 0 ] || as_root=(sudo)
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y taskwarrior >&2
fi

mkdir -p "$work"
cd "$work" # vantry writes its log files into the current folder
"$generator" "$nodes" doc.vnt tasks.json

# Taskwarrior's settings and data stay in the private folder.
export TASKRC=$work/taskrc
export TASKDATA=$work/taskdata
cat >"$TASKRC" <<EOF
data.location=$TASKDATA
confirmation=off
hooks=off
verbose=nothing
EOF
stamp=$(cksum <tasks.json)
if [ ! -f "$TASKDATA/imported" ] || [ "$(cat "$TASKDATA/imported")" != "$stamp" ]; then
    rm -rf "$TASKDATA"
    mkdir -p "$TASKDATA"
    echo "compare_taskwarrior: importing $(wc -l <tasks.json) tasks into Taskwarrior (once)" >&2
    task import tasks.json >/dev/null 2>&1
    echo "$stamp" >"$TASKDATA/imported"
fi

# Median wall time of a command in milliseconds, after one untimed run that warms the caches.
median_ms() {
    "$@" >/dev/null 2>&1
    local times=() start end
    for ((i = 0; i < runs; i++)); do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "%.1f", t[int((NR + 1) / 2)] / 1000 }'
}

list=$(median_ms "$vantry" --list --show 5 doc.vnt)
task_list=$(median_ms task list)
save=$(median_ms "$vantry" --save-as saved.vnt doc.vnt)
task_export=$(median_ms task export)

items=$(wc -l <tasks.json)
printf 'items: %d in %d nodes; vantry document %s bytes; %d runs each, median\n' \
    "$items" "$nodes" "$(stat -c %s doc.vnt)" "$runs"
printf '%-30s %9s ms   %-12s %9s ms   ratio %6.1f\n' \
    "vantry --list --show 5" "$list" "task list" "$task_list" \
    "$(awk -v a="$task_list" -v b="$list" 'BEGIN { print a / b }')"
printf '%-30s %9s ms   %-12s %9s ms   ratio %6.1f\n' \
    "vantry --save-as" "$save" "task export" "$task_export" \
    "$(awk -v a="$task_export" -v b="$save" 'BEGIN { print a / b }')"
