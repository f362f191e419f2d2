#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: LGPL-2.1-or-later

# Builds the API reference (Qt 6 configuration) and says where its HTML is. It lists every qdoc
# warning and every public name without documentation, as the test suite's tst_docs does.
set -euo pipefail

source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${KEST_BUILD_DIR:-$source_dir/build}/qt6

"$source_dir/scripts/install-deps.sh"
mkdir -p "$build_dir"
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DQKEST_QT_MAJOR_VERSION=6 \
    -DCMAKE_CXX_FLAGS_DEBUG=-g0 > "$build_dir.docs.log" 2>&1 || { cat "$build_dir.docs.log"; exit 1; }
cmake --build "$build_dir" --target docs
echo "The API reference: $build_dir/docs/html/index.html"
