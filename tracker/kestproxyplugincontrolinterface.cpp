// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxyplugincontrolinterface.h"
#include "kestproxyplugincontrolinterface_p.h"

#include "kestbusnames_p.h"
#include "kestlogging_p.h"

#include <QDBusConnection>

namespace {

QDBusMessage pluginCall(const QString &pluginName, const QString &member)
{
    return QDBusMessage::createMethodCall(KestBusNames::pluginService(pluginName), KestBusNames::pluginPath(pluginName),
                                          KestBusNames::pluginInterface(), member);
}

} // namespace

KestProxyPluginControlInterface::KestProxyPluginControlInterface(const QString &pluginName)
    : d(new KestProxyPluginControlInterfacePrivate{pluginCall(pluginName, QStringLiteral("activate")),
                                                   pluginCall(pluginName, QStringLiteral("deactivate"))})
{
    qCDebug(lcKestTracker) << "KestProxyPluginControlInterface::KestProxyPluginControlInterface";
}

KestProxyPluginControlInterface::~KestProxyPluginControlInterface() = default;

void KestProxyPluginControlInterface::activate()
{
    qCDebug(lcKestTracker) << "KestProxyPluginControlInterface::activate";
    QDBusConnection::sessionBus().send(d->m_activateMessage);
}

void KestProxyPluginControlInterface::deactivate()
{
    qCDebug(lcKestTracker) << "KestProxyPluginControlInterface::deactivate";
    QDBusConnection::sessionBus().send(d->m_deactivateMessage);
}
