// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestlogging_p.h"

// Debug traces are off until the logging rules turn them on: an application that sets none
// must not pay for a trace on every row a browse delivers.
Q_LOGGING_CATEGORY(lcKestBus, "qkest.bus", QtInfoMsg)
Q_LOGGING_CATEGORY(lcKestTracker, "qkest.tracker", QtInfoMsg)
Q_LOGGING_CATEGORY(lcKestRenderer, "qkest.renderer", QtInfoMsg)
Q_LOGGING_CATEGORY(lcKestSource, "qkest.source", QtInfoMsg)
Q_LOGGING_CATEGORY(lcKestPlaylist, "qkest.playlist", QtInfoMsg)
