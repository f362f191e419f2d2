// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "distributedplaylistitem.h"

QDBusArgument &operator<<(QDBusArgument &argument, const distributedPlaylistItem &item)
{
    argument.beginStructure();
    argument << item.index << item.uuid << item.service;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, distributedPlaylistItem &item)
{
    argument.beginStructure();
    argument >> item.index >> item.uuid >> item.service;
    argument.endStructure();
    return argument;
}
