// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTQUERYRESULTDBUSSTRUCT_H
#define KESTQUERYRESULTDBUSSTRUCT_H

#include "qkestshared_export.h"

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QStringList>

/*! One query result row as a remote source sends it: the D-Bus structure (uas). */
struct KestQueryResultDBusStruct
{
    uint index = 0;
    QStringList resultRow;
};

QKESTSHARED_EXPORT QDBusArgument &operator<<(QDBusArgument &argument, const KestQueryResultDBusStruct &row);
QKESTSHARED_EXPORT const QDBusArgument &operator>>(const QDBusArgument &argument, KestQueryResultDBusStruct &row);

Q_DECLARE_METATYPE(KestQueryResultDBusStruct)

#endif
