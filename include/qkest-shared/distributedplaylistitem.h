// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef DISTRIBUTEDPLAYLISTITEM_H
#define DISTRIBUTEDPLAYLISTITEM_H

#include "qkestshared_export.h"

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>

/*! A playlist entry together with the service that holds it: a D-Bus structure (uss). Lists travel as a(uss). */
struct distributedPlaylistItem
{
    uint index = 0;
    QString uuid;
    QString service;

    bool operator==(const distributedPlaylistItem &other) const
    {
        return index == other.index && uuid == other.uuid && service == other.service;
    }
};

QKESTSHARED_EXPORT QDBusArgument &operator<<(QDBusArgument &argument, const distributedPlaylistItem &item);
QKESTSHARED_EXPORT const QDBusArgument &operator>>(const QDBusArgument &argument, distributedPlaylistItem &item);

Q_DECLARE_METATYPE(distributedPlaylistItem)

#endif
