// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef PLAYLISTITEM_H
#define PLAYLISTITEM_H

#include "qkestshared_export.h"

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>

/*! One playlist entry on the bus: a D-Bus structure (us). Lists travel as a(us). */
struct playlistItem
{
    uint index = 0;
    QString uuid;

    bool operator==(const playlistItem &other) const { return index == other.index && uuid == other.uuid; }
};

QKESTSHARED_EXPORT QDBusArgument &operator<<(QDBusArgument &argument, const playlistItem &item);
QKESTSHARED_EXPORT const QDBusArgument &operator>>(const QDBusArgument &argument, playlistItem &item);

Q_DECLARE_METATYPE(playlistItem)

#endif
