// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestbrowseresultdbusstruct.h"

QDBusArgument &operator<<(QDBusArgument &argument, const KestBrowseResultDBusStruct &row)
{
    argument.beginStructure();
    argument << row.remainingCount << row.index << row.objectId << row.metadata << row.errorDomain << row.errorCode
             << row.errorMessage;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, KestBrowseResultDBusStruct &row)
{
    argument.beginStructure();
    argument >> row.remainingCount >> row.index >> row.objectId >> row.metadata >> row.errorDomain >> row.errorCode
        >> row.errorMessage;
    argument.endStructure();
    return argument;
}
