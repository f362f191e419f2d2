// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTLOGGING_P_H
#define KESTLOGGING_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QLoggingCategory>

// One category per subsystem, so applications can tune them with QT_LOGGING_RULES.
Q_DECLARE_LOGGING_CATEGORY(lcKestBus)
Q_DECLARE_LOGGING_CATEGORY(lcKestTracker)
Q_DECLARE_LOGGING_CATEGORY(lcKestRenderer)
Q_DECLARE_LOGGING_CATEGORY(lcKestSource)
Q_DECLARE_LOGGING_CATEGORY(lcKestPlaylist)

#endif
