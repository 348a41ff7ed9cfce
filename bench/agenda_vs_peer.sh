#!/usr/bin/env bash
# `vantry --agenda` for one year against python3-recurring-ical-events expanding the same
# calendar over the same year, in one run on this machine, and what an item repeating
# every second (never ending) adds to the agenda.
#
#   bench/agenda_vs_peer.sh [BUILD_DIR] [RUNS] [YEAR]      (or: make bench-agenda)
#
# Defaults: build, 3 runs, 2026. make_agenda_calendar writes 100,000 to-dos and events in
# ten calendar files (every tenth item repeating, zoned, UTC, floating and all-day times);
# they are imported once into one document (not timed) and a copy gets the secondly item
# too. Then, taking turns (vantry, Python, vantry, Python, ...) after one untimed run of
# each, /usr/bin/time measures each whole process: processor time (user + system) and
# peak memory. Printed: the minimum and median of each, the ratio of the medians and the
# median of the ratios run by run; then, in SECONDLY_RUNS (9) turns of the two documents,
# the secondly item's cost (the medians' difference, and the median difference by pair).
# The files live in a scratch folder that is removed at the end, unless VANTRY_BENCH_DIR
# names a folder to keep them in. Needs python3-recurring-ical-events (Debian) and
# /usr/bin/time. A Python run takes about a minute. Not part of `make test`.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-build}" && pwd)
runs=${2:-3}
year=${3:-2026}
secondly_runs=${SECONDLY_RUNS:-9}

vantry=${VANTRY:-$build/src/vantry}
generator=$build/bench/make_agenda_calendar
peer=$here/recurring_ical_events_agenda.py
for program in "$vantry" "$generator" /usr/bin/time; do
    if [ ! -x "$program" ]; then
        echo "agenda_vs_peer: $program is missing; build the tree first" >&2
        exit 1
    fi
done
if ! /usr/bin/python3 -c 'import icalendar, recurring_ical_events' 2>/dev/null; then
    echo "agenda_vs_peer: python3-recurring-ical-events is missing (apt-get install python3-recurring-ical-events)" >&2
    exit 1
fi

if [ -n "${VANTRY_BENCH_DIR:-}" ]; then
    work=$VANTRY_BENCH_DIR
    mkdir -p "$work"
else
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
fi
cd "$work" # vantry writes its log files into the current folder

"$generator" "$year" .
calendars=(calendar-*.ics)
rm -f agenda.vnt secondly.vnt
for file in "${calendars[@]}"; do
    "$vantry" --import-ics "$file" agenda.vnt >/dev/null
done
cp agenda.vnt secondly.vnt
"$vantry" --import-ics secondly.ics secondly.vnt >/dev/null

from=$year-01-01
to=$year-12-31
agenda=("$vantry" --agenda --from "$from" --to "$to")
python=(/usr/bin/python3 "$peer" "$from" "$to" "${calendars[@]}")

# measure NAME COMMAND...: one run; appends "cpu_seconds peak_kb" to NAME.times. The
# command's output goes to /dev/null, its messages to NAME.err.
measure() {
    local name=$1
    shift
    /usr/bin/time -f '%U %S %M' -o "$name.time" "$@" >/dev/null 2>"$name.err"
    awk '{ printf "%.3f %d\n", $1 + $2, $3 }' "$name.time" >>"$name.times"
}

# lines NAME COMMAND...: how many lines the command prints.
lines() {
    local name=$1
    shift
    "$@" 2>/dev/null | wc -l >"$name.lines"
}

rm -f ./*.times
lines vantry "${agenda[@]}" agenda.vnt
lines python "${python[@]}"
lines secondly "${agenda[@]}" secondly.vnt
for ((i = 0; i < runs; ++i)); do
    measure vantry "${agenda[@]}" agenda.vnt
    measure python "${python[@]}"
done
# The secondly item's cost is small beside the machine's noise: more runs, each pair of
# the two documents taken back to back.
for ((i = 0; i < secondly_runs; ++i)); do
    measure base "${agenda[@]}" agenda.vnt
    measure secondly "${agenda[@]}" secondly.vnt
done

# stats NAME COLUMN: minimum and median of a column of NAME.times.
stats() {
    cut -d' ' -f"$2" "$1.times" | sort -g |
        awk '{ v[NR] = $1 } END { m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print v[1], m }'
}
read -r vantry_min vantry_median < <(stats vantry 1)
read -r python_min python_median < <(stats python 1)
read -r secondly_min secondly_median < <(stats secondly 1)
read -r _ vantry_kb < <(stats vantry 2)
read -r _ python_kb < <(stats python 2)
read -r _ secondly_kb < <(stats secondly 2)
read -r base_min base_median < <(stats base 1)
# median AWK_PROGRAM: the median of the numbers the program prints from its input, a line
# for each pair.
median() {
    awk "$1" | sort -g |
        awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
pair_ratio=$(paste -d' ' python.times vantry.times | median '{ print $1 / $3 }')
pair_difference=$(paste -d' ' secondly.times base.times | median '{ print $1 - $3 }')

printf 'agenda of %s to %s over %d files of %s; %d runs each; processor time (user + system)\n' \
    "$from" "$to" "${#calendars[@]}" "$(cat calendar-*.ics | grep -c '^UID:') items" "$runs"
printf '%-36s %8s %8s %9s %10s\n' "" "min s" "median s" "peak MB" lines
row() { printf '%-36s %8.2f %8.2f %9.0f %10d\n' "$1" "$2" "$3" "$(awk -v k="$4" 'BEGIN { print k / 1024 }')" "$5"; }
row "vantry --agenda" "$vantry_min" "$vantry_median" "$vantry_kb" "$(cat vantry.lines)"
row "python3-recurring-ical-events" "$python_min" "$python_median" "$python_kb" "$(cat python.lines)"
awk -v p="$python_median" -v v="$vantry_median" -v r="$pair_ratio" \
    'BEGIN { printf "python / vantry: %.1fx (medians), %.1fx (median of the runs pair by pair)\n", p / v, r }'
printf '%d runs each, taking turns:\n' "$secondly_runs"
row "vantry --agenda" "$base_min" "$base_median" "$vantry_kb" "$(cat vantry.lines)"
row "vantry --agenda, with FREQ=SECONDLY" "$secondly_min" "$secondly_median" "$secondly_kb" \
    "$(cat secondly.lines)"
awk -v s="$secondly_median" -v v="$base_median" -v d="$pair_difference" \
    'BEGIN { printf "FREQ=SECONDLY item adds %.2f s of processor time (medians), %.2f s (median of the differences pair by pair)\n", s - v, d }'
if [ -s secondly.err ]; then sed 's/^/  (vantry says) /' secondly.err; fi
