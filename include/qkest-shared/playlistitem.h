// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef PLAYLISTITEM_H
#define PLAYLISTITEM_H

#include "qkestshared_export.h"

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/playlistitem.h
 * \brief One playlist entry on the bus: a D-Bus structure (us). Lists travel as a(us). */
struct playlistItem
{
    /*! The item's position in the playlist. */
    uint index = 0;
    /*! The item's uuid. */
    QString uuid;

    /*! Returns true when \a other has the same index and uuid. */
    bool operator==(const playlistItem &other) const { return index == other.index && uuid == other.uuid; }
};

/*!
 * \relates playlistItem
 * Writes \a item to \a argument as the structure (us) and returns \a argument.
 */
QKESTSHARED_EXPORT QDBusArgument &operator<<(QDBusArgument &argument, const playlistItem &item);
/*!
 * \relates playlistItem
 * Reads \a item from \a argument and returns \a argument; a wrong signature leaves the argument in error.
 */
QKESTSHARED_EXPORT const QDBusArgument &operator>>(const QDBusArgument &argument, playlistItem &item);

Q_DECLARE_METATYPE(playlistItem)

#endif
