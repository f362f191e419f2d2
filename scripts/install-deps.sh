#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: LGPL-2.1-or-later

# Installs the Debian 12 packages that building, testing, the demonstration and the API reference
# need, when missing. qtbase5-doc-html holds the only Qt reference index files that Debian 12 has;
# the reference links Qt's classes through them.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    qt6-base-dev qtbase5-dev
    dbus dbus-bin dbus-daemon libglib2.0-bin
    python3 python3-dbus python3-gi
    libbenchmark-dev clang-format
    qt6-documentation-tools qtbase5-doc-html
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update
    apt-get install -y --no-install-recommends "${missing[@]}"
fi
