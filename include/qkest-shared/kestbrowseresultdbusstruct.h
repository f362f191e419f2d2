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
 * One browse result row as a remote source sends it: the D-Bus structure (iusaysus).
 *
 * A good row has errorCode 0 and an empty errorMessage; its metadata is a metadata block
 * (see DBusMessageUtil). The row with remainingCount 0 is the browse's last.
 */
struct KestBrowseResultDBusStruct
{
    int remainingCount = 0;
    uint index = 0;
    QString objectId;
    QByteArray metadata;
    QString errorDomain; //!< Carried on the wire, not read by the proxy.
    uint errorCode = 0;
    QString errorMessage;
};

QKESTSHARED_EXPORT QDBusArgument &operator<<(QDBusArgument &argument, const KestBrowseResultDBusStruct &row);
QKESTSHARED_EXPORT const QDBusArgument &operator>>(const QDBusArgument &argument, KestBrowseResultDBusStruct &row);

Q_DECLARE_METATYPE(KestBrowseResultDBusStruct)

#endif
