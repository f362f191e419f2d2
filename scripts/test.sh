#!/usr/bin/env bash
# Builds the library and its tests in three configurations (Qt 6, Qt 5.15, and Qt 6 with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs every test of all three in one CTest run.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KEST_BUILD_DIR:-$source_dir/build}
jobs=$(nproc)

"$source_dir/scripts/install-deps.sh"

configure_and_build() {
    local name=$1
    shift
    echo "== Building $name"
    cmake -S "$source_dir" -B "$build_dir/$name" -DCMAKE_BUILD_TYPE=Debug "$@" > "$build_dir/$name.configure.log" \
        || { cat "$build_dir/$name.configure.log"; return 1; }
    cmake --build "$build_dir/$name" --parallel "$jobs"
}

mkdir -p "$build_dir"
configure_and_build qt6 -DQKEST_QT_MAJOR_VERSION=6 -DQKEST_BUILD_BENCHMARKS=ON
configure_and_build qt5 -DQKEST_QT_MAJOR_VERSION=5
configure_and_build asan -DQKEST_QT_MAJOR_VERSION=6 -DQKEST_SANITIZE=ON

# One CTest run over the three builds, so that its summary line covers them all.
cat > "$build_dir/CTestTestfile.cmake" <<CTEST
subdirs("qt6" "qt5" "asan")
CTEST
cd "$build_dir"
exec ctest --output-on-failure --parallel "$jobs"
