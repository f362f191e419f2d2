// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTQUERYRESULTDBUSSTRUCT_H
#define KESTQUERYRESULTDBUSSTRUCT_H

#include "qkestshared_export.h"

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QStringList>

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestqueryresultdbusstruct.h
 * \brief One query result row as a remote source sends it: the D-Bus structure (uas). */
struct KestQueryResultDBusStruct
{
    /*! The row's position in the query's result. */
    uint index = 0;
    /*! The row's values, in the order of the query's columns. */
    QStringList resultRow;
};

/*!
 * \relates KestQueryResultDBusStruct
 * Writes \a row to \a argument as the structure (uas) and returns \a argument.
 */
QKESTSHARED_EXPORT QDBusArgument &operator<<(QDBusArgument &argument, const KestQueryResultDBusStruct &row);
/*!
 * \relates KestQueryResultDBusStruct
 * Reads \a row from \a argument and returns \a argument; a wrong signature leaves the argument in error.
 */
QKESTSHARED_EXPORT const QDBusArgument &operator>>(const QDBusArgument &argument, KestQueryResultDBusStruct &row);

Q_DECLARE_METATYPE(KestQueryResultDBusStruct)

#endif
