// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestqueryresultdbusstruct.h"

QDBusArgument &operator<<(QDBusArgument &argument, const KestQueryResultDBusStruct &row)
{
    argument.beginStructure();
    argument << row.index << row.resultRow;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, KestQueryResultDBusStruct &row)
{
    argument.beginStructure();
    argument >> row.index >> row.resultRow;
    argument.endStructure();
    return argument;
}
