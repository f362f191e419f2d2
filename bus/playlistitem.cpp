// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "playlistitem.h"

QDBusArgument &operator<<(QDBusArgument &argument, const playlistItem &item)
{
    argument.beginStructure();
    argument << item.index << item.uuid;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, playlistItem &item)
{
    argument.beginStructure();
    argument >> item.index >> item.uuid;
    argument.endStructure();
    return argument;
}
