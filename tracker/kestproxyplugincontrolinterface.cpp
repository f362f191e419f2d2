#include "kestproxyplugincontrolinterface.h"

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
    : m_activateMessage(pluginCall(pluginName, QStringLiteral("activate")))
    , m_deactivateMessage(pluginCall(pluginName, QStringLiteral("deactivate")))
{
    qCDebug(lcKestTracker) << "KestProxyPluginControlInterface::KestProxyPluginControlInterface";
}

KestProxyPluginControlInterface::~KestProxyPluginControlInterface() = default;

void KestProxyPluginControlInterface::activate()
{
    qCDebug(lcKestTracker) << "KestProxyPluginControlInterface::activate";
    QDBusConnection::sessionBus().send(m_activateMessage);
}

void KestProxyPluginControlInterface::deactivate()
{
    qCDebug(lcKestTracker) << "KestProxyPluginControlInterface::deactivate";
    QDBusConnection::sessionBus().send(m_deactivateMessage);
}
