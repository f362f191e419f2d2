#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: LGPL-2.1-or-later

# Builds the benchmarks in release mode and runs each program three times, each run on a private
# bus of its own. Every program measures the library against raw QtDBus doing the same work in
# the same run; the table at the end shows, per row, the run with the least ratio. Rows without a
# raw side are bounds on a figure of the library alone (a stall, a count of calls): they show the
# run with the largest figure.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KEST_BUILD_DIR:-$source_dir/build}/bench
runs=${KEST_BENCH_RUNS:-3}
programs=(bench_browse bench_tracker bench_proxymodel bench_renderer bench_publish)

"$source_dir/scripts/install-deps.sh"
mkdir -p "$build_dir"

echo "== Building the benchmarks"
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DQKEST_BUILD_BENCHMARKS=ON \
    -DBUILD_TESTING=OFF -DQKEST_BUILD_EXAMPLES=OFF > "$build_dir.configure.log" 2>&1 \
    || { cat "$build_dir.configure.log"; exit 1; }
cmake --build "$build_dir" --parallel "$(nproc)" --target "${programs[@]}"

results=$build_dir/ratios.txt
: > "$results"
failed=0
for run in $(seq "$runs"); do
    for program in "${programs[@]}"; do
        echo "== $program, run $run of $runs"
        log=$build_dir/$program.$run.log
        # A case that fails leaves its rows without a ratio in this run; the others still count.
        if ! "$build_dir/bench/$program" > "$log" 2>&1; then
            failed=1
            grep -a ' failed: ' "$log" || tail -n 5 "$log"
        fi
        grep -a '^ratio ' "$log" | tee -a "$results" || true
    done
done

# Lines read: ratio NAME RATIO (target <= TARGET); cpu CPU; library VALUE; raw VALUE; WHAT
echo
echo "Library against raw QtDBus, least ratio of $runs runs, largest figure for bounds (logs in $build_dir):"
echo
awk -F '; ' '
{
    split($1, head, " ")
    name = head[2]
    if (!(name in best)) {
        order[++rows] = name
        best[name] = ""
        row[name] = "| " $2 " | | | n/a | | |"
    }
    # A row that could not be measured says n/a and nothing more.
    bound = $4 == "raw n/a"
    if (head[3] == "n/a" || (best[name] != "" && (bound ? head[3] + 0 <= best[name] + 0 : head[3] + 0 >= best[name] + 0)))
        next
    best[name] = head[3]
    target = head[6]; sub(/\)$/, "", target)
    cpu = $2; sub(/^cpu /, "", cpu)
    library = $3; sub(/^library /, "", library)
    raw = $4; sub(/^raw /, "", raw)
    row[name] = "| " $5 " | " library " | " raw " | " head[3] " | " cpu " | <= " target " |"
}
END {
    print "| what | library | raw | ratio | CPU ratio | target |"
    print "|---|---|---|---|---|---|"
    for (i = 1; i <= rows; ++i)
        print row[order[i]]
}' "$results"
exit $failed
