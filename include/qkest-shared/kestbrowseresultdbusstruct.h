// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTBROWSERESULTDBUSSTRUCT_H
#define KESTBROWSERESULTDBUSSTRUCT_H

#include "qkestshared_export.h"

#include <QByteArray>
#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestbrowseresultdbusstruct.h
 * \brief One browse result row as a remote source sends it: the D-Bus structure (iusaysus).
 *
 * A good row has errorCode 0 and an empty errorMessage; its metadata is a metadata block
 * (see DBusMessageUtil). The row with remainingCount 0 is the browse's last.
 */
struct KestBrowseResultDBusStruct
{
    /*! The number of rows that follow this one; 0 for the last. */
    int remainingCount = 0;
    /*! The row's position in the browse. */
    uint index = 0;
    /*! The object id (uuid) of the item. */
    QString objectId;
    /*! The item's metadata block. */
    QByteArray metadata;
    /*! Carried on the wire, not read by the proxy. */
    QString errorDomain;
    /*! 0 for a good row, else the source's error code. */
    uint errorCode = 0;
    /*! Empty for a good row, else the source's error text. */
    QString errorMessage;
};

/*!
 * \relates KestBrowseResultDBusStruct
 * Writes \a row to \a argument as the structure (iusaysus) and returns \a argument.
 */
QKESTSHARED_EXPORT QDBusArgument &operator<<(QDBusArgument &argument, const KestBrowseResultDBusStruct &row);
/*!
 * \relates KestBrowseResultDBusStruct
 * Reads \a row from \a argument and returns \a argument; a wrong signature leaves the argument in error.
 */
QKESTSHARED_EXPORT const QDBusArgument &operator>>(const QDBusArgument &argument, KestBrowseResultDBusStruct &row);

Q_DECLARE_METATYPE(KestBrowseResultDBusStruct)

#endif
