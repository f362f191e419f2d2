// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef DISTRIBUTEDPLAYLISTITEM_H
#define DISTRIBUTEDPLAYLISTITEM_H

#include "qkestshared_export.h"

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/distributedplaylistitem.h
 * \brief A playlist entry together with the service that holds it: a D-Bus structure (uss). Lists travel as a(uss). */
struct distributedPlaylistItem
{
    /*! The item's position in the playlist. */
    uint index = 0;
    /*! The item's uuid. */
    QString uuid;
    /*! The bus name of the service that holds the item. */
    QString service;

    /*! Returns true when \a other has the same index, uuid and service. */
    bool operator==(const distributedPlaylistItem &other) const
    {
        return index == other.index && uuid == other.uuid && service == other.service;
    }
};

/*!
 * \relates distributedPlaylistItem
 * Writes \a item to \a argument as the structure (uss) and returns \a argument.
 */
QKESTSHARED_EXPORT QDBusArgument &operator<<(QDBusArgument &argument, const distributedPlaylistItem &item);
/*!
 * \relates distributedPlaylistItem
 * Reads \a item from \a argument and returns \a argument; a wrong signature leaves the argument in error.
 */
QKESTSHARED_EXPORT const QDBusArgument &operator>>(const QDBusArgument &argument, distributedPlaylistItem &item);

Q_DECLARE_METATYPE(distributedPlaylistItem)

#endif
