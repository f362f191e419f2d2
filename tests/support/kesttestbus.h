// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTTESTBUS_H
#define KESTTESTBUS_H

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>

// Small questions to the test's private bus daemon.
namespace KestTestBus {
inline bool hasOwner(const QString &name)
{
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(name).value();
}
//! Runs the event loop until \a name has an owner, or \a timeout milliseconds have passed.
inline bool waitForOwner(const QString &name, int timeout = 20000)
{
    return QTest::qWaitFor([&name] { return hasOwner(name); }, timeout);
}
//! Runs the event loop until \a name has no owner, or \a timeout milliseconds have passed.
inline bool waitForNoOwner(const QString &name, int timeout = 20000)
{
    return QTest::qWaitFor([&name] { return !hasOwner(name); }, timeout);
}
inline QString uniqueName()
{
    return QDBusConnection::sessionBus().baseService();
}
} // namespace KestTestBus

#endif
