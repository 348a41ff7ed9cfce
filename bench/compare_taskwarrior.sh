#!/usr/bin/env bash
# Times vantry against Taskwarrior on the same generated items, in one run on this machine:
# `vantry --list --show 5` against `task list` and `vantry --save-as` against
# `task export`, the median of several runs each (wall and processor time), and prints
# both ratios.
#
#   bench/compare_taskwarrior.sh [BUILD_DIR] [NODES] [RUNS]
#
# Defaults: build, 100000 nodes, 7 runs; VANTRY=path times another vantry binary. Taskwarrior comes from Debian's packages and is
# installed when missing. Its data lives in a private folder (VANTRY_BENCH_DIR, default
# /tmp/vantry-taskwarrior-bench), never in ~/.task; the import there is reused while the
# generated items stay the same. Not part of `make test`.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
nodes=${2:-100000}
runs=${3:-7}
work=${VANTRY_BENCH_DIR:-${TMPDIR:-/tmp}/vantry-taskwarrior-bench}

vantry=${VANTRY:-$build/src/vantry}
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

# Median wall time and median processor time (user + system) of a command in milliseconds,
# after one untimed run that warms the caches. On a busy machine the processor time says
# more than the wall time, which also counts the waits for a processor.
median_ms() {
    "$@" >/dev/null 2>&1
    local walls=() cpus=() wall user sys
    local TIMEFORMAT='%3R %3U %3S'
    for ((i = 0; i < runs; i++)); do
        read -r wall user sys < <({ time "$@" >/dev/null 2>&1; } 2>&1)
        walls+=("$wall")
        cpus+=("$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')")
    done
    local median='{ t[NR] = $1 } END { printf "%.1f", t[int((NR + 1) / 2)] * 1000 }'
    printf '%s %s\n' "$(printf '%s\n' "${walls[@]}" | sort -n | awk "$median")" \
        "$(printf '%s\n' "${cpus[@]}" | sort -n | awk "$median")"
}

read -r list list_cpu < <(median_ms "$vantry" --list --show 5 doc.vnt)
read -r task_list task_list_cpu < <(median_ms task list)
read -r save save_cpu < <(median_ms "$vantry" --save-as saved.vnt doc.vnt)
read -r task_export task_export_cpu < <(median_ms task export)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.1f", a / b }'; }
items=$(wc -l <tasks.json)
printf 'items: %d in %d nodes; vantry document %s bytes; %d runs each, medians in ms\n' \
    "$items" "$nodes" "$(stat -c %s doc.vnt)" "$runs"
printf '%-24s %9s %9s   %-12s %9s %9s   %7s %7s\n' "" wall cpu "" wall cpu "ratio" "(cpu)"
printf '%-24s %9s %9s   %-12s %9s %9s   %7s %7s\n' \
    "vantry --list --show 5" "$list" "$list_cpu" "task list" "$task_list" "$task_list_cpu" \
    "$(ratio "$task_list" "$list")" "$(ratio "$task_list_cpu" "$list_cpu")"
printf '%-24s %9s %9s   %-12s %9s %9s   %7s %7s\n' \
    "vantry --save-as" "$save" "$save_cpu" "task export" "$task_export" "$task_export_cpu" \
    "$(ratio "$task_export" "$save")" "$(ratio "$task_export_cpu" "$save_cpu")"
