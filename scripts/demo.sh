#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: LGPL-2.1-or-later

# Builds the library and runs the demonstration on a private session bus of its own.
# With --serve the demonstration's components stay up for kest-ctl (built as well) until Ctrl-C.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KEST_BUILD_DIR:-$source_dir/build}/demo

"$source_dir/scripts/install-deps.sh"
mkdir -p "$(dirname "$build_dir")"

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release > "$build_dir.configure.log" 2>&1 \
    || { cat "$build_dir.configure.log"; exit 1; }
cmake --build "$build_dir" --parallel "$(nproc)" --target kest-demo-all kest-ctl
exec "$build_dir/examples/demo/kest-demo" "$@"
