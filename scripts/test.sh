#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: LGPL-2.1-or-later

# Builds the library and its tests in three configurations (Qt 6, Qt 5.15, and Qt 6 with
# AddressSanitizer and UndefinedBehaviorSanitizer), runs the tests of each and prints one summary
# line per configuration. The builds run side by side, sharing the machine's cores.
#
#   scripts/test.sh           all three configurations
#   scripts/test.sh --quick   Qt 6 only, for the edit-test loop
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KEST_BUILD_DIR:-$source_dir/build}
jobs=$(nproc)

configurations=(qt6 qt5 asan)
if [ "${1:-}" = "--quick" ]; then
    configurations=(qt6)
elif [ $# -gt 0 ]; then
    echo "usage: $0 [--quick]" >&2
    exit 2
fi

"$source_dir/scripts/install-deps.sh"
mkdir -p "$build_dir"

options() {
    # Debug information costs build time and tells little here: the sanitizers' reports still name
    # the functions, and a build of one's own with -g gives the lines.
    case $1 in
        qt6) echo "-DQKEST_QT_MAJOR_VERSION=6 -DCMAKE_CXX_FLAGS_DEBUG=-g0" ;;
        qt5) echo "-DQKEST_QT_MAJOR_VERSION=5 -DQKEST_BUILD_EXAMPLES=OFF -DCMAKE_CXX_FLAGS_DEBUG=-g0" ;;
        asan) echo "-DQKEST_QT_MAJOR_VERSION=6 -DQKEST_SANITIZE=ON -DQKEST_BUILD_EXAMPLES=OFF -DCMAKE_CXX_FLAGS_DEBUG=-g0" ;;
    esac
}

# Configures, builds and tests one configuration; everything it prints goes to its log.
run() {
    local name=$1 dir=$build_dir/$1 start
    start=$(date +%s)
    # shellcheck disable=SC2046
    cmake -S "$source_dir" -B "$dir" -DCMAKE_BUILD_TYPE=Debug $(options "$name") || return 1
    # Every build may use every core; the load limit keeps side-by-side builds from overloading it.
    cmake --build "$dir" -- -j"$jobs" -l"$jobs" || return 1
    echo "build seconds: $(($(date +%s) - start))"
    (cd "$dir" && ctest --output-on-failure --parallel $((jobs * 2)))
}

declare -A pids
for name in "${configurations[@]}"; do
    run "$name" > "$build_dir/$name.log" 2>&1 &
    pids[$name]=$!
done

failed=0
for name in "${configurations[@]}"; do
    status=0
    wait "${pids[$name]}" || status=$?
    log=$build_dir/$name.log
    summary=$(grep -E 'tests passed|No tests were found' "$log" | tail -n 1 || true)
    build=$(grep -E '^build seconds: ' "$log" | sed 's/^build seconds: //' || true)
    if [ $status -eq 0 ]; then
        echo "$name: ${summary:-no test summary} (built in ${build:-?} s)"
    else
        failed=1
        echo "$name: FAILED${summary:+: $summary} (log: $log)"
        # What failed, from the end of the log: the build error or the failing tests' output.
        grep -E -A 40 'error:|Error [0-9]|The following tests FAILED' "$log" | tail -n 80 || tail -n 40 "$log"
    fi
done
exit $failed
