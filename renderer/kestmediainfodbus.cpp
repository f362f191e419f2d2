// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestmediainfodbus.h"

#include <QDBusArgument>

QDBusArgument &operator<<(QDBusArgument &argument, const KestMediaInfo &mediaInfo)
{
    // Qt writes a QMap as a dict in ascending key order, and a QVariantList as an array of variants.
    argument.beginStructure();
    argument << mediaInfo.uuid() << mediaInfo.metaData();
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, KestMediaInfo &mediaInfo)
{
    QString uuid;
    KestMediaInfo::MetaData metaData;
    argument.beginStructure();
    argument >> uuid >> metaData;
    argument.endStructure();
    mediaInfo.setUuid(uuid);
    mediaInfo.setMetaData(metaData);
    return argument;
}
