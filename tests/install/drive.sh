#!/bin/sh
# SPDX-FileCopyrightText: 2026 The libqkest-shared developers
# SPDX-License-Identifier: BSD-3-Clause

# drive.sh APP KEST_CTL: runs the application with --serve and has kest-ctl, another process, list,
# drive and browse what it publishes.
"$1" --serve &
app=$!
tries=0
until "$2" list renderers | grep -q installed_renderer; do
    tries=$((tries + 1))
    [ $tries -lt 100 ] || break
    sleep 0.1
done
"$2" list && "$2" renderer installed_renderer position && "$2" source installed_source browse '' --keys title
status=$?
kill $app
exit $status
