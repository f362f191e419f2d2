// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestbusregistration_p.h"

#include "kestbuscall_p.h"
#include "kestbusnames_p.h"
#include "kestlogging_p.h"

#include <QDBusConnection>

bool KestBusRegistration::registerAt(const QString &path, const QString &service, QObject *object, const char *what)
{
    if (isRegistered())
        return path == m_path && service == m_service;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()) {
        qCWarning(lcKestBus) << what << "cannot be published: there is no session bus.";
        return false;
    }
    if (!bus.registerObject(path, object, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcKestBus) << what << "cannot be published: the path" << path << "is taken.";
        return false;
    }
    // Releasing a name that this process owned already would take it from its owner.
    const QVariant owned = KestBusCall::firstArgument(
        KestBusCall::blocking(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                              KestBusNames::busDaemonInterface(), QStringLiteral("NameHasOwner"), {service}));
    if (!owned.isValid() || owned.toBool() || !bus.registerService(service)) {
        qCWarning(lcKestBus) << what << "cannot be published: the name" << service << "is taken.";
        bus.unregisterObject(path);
        return false;
    }
    m_path = path;
    m_service = service;
    return true;
}

bool KestBusRegistration::claimName(const QString &service)
{
    // A name that is owned already, even by this process, is not claimed: releasing it later would
    // take it from its owner.
    const QVariant owned = KestBusCall::firstArgument(
        KestBusCall::blocking(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                              KestBusNames::busDaemonInterface(), QStringLiteral("NameHasOwner"), {service}));
    return owned.isValid() && !owned.toBool() && QDBusConnection::sessionBus().registerService(service);
}

void KestBusRegistration::release()
{
    if (!isRegistered())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(m_service);
    bus.unregisterObject(m_path);
    m_path.clear();
    m_service.clear();
}
