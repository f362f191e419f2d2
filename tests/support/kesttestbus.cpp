// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kesttestbus.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>

bool KestTestBus::hasOwner(const QString &name)
{
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(name).value();
}

bool KestTestBus::waitForOwner(const QString &name, int timeout)
{
    return QTest::qWaitFor([&name] { return hasOwner(name); }, timeout);
}

bool KestTestBus::waitForNoOwner(const QString &name, int timeout)
{
    return QTest::qWaitFor([&name] { return !hasOwner(name); }, timeout);
}

QString KestTestBus::uniqueName()
{
    return QDBusConnection::sessionBus().baseService();
}
