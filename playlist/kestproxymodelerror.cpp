// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxymodelerror.h"

#include <QDBusArgument>

QDBusArgument &operator<<(QDBusArgument &argument, const KestProxyModelError &error)
{
    argument.beginStructure();
    argument << error.value;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, KestProxyModelError &error)
{
    argument.beginStructure();
    argument >> error.value;
    argument.endStructure();
    return argument;
}
