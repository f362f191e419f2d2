// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlplugincommand.h"

#include "kestbusnames_p.h"

#include <kestplugincontrolinterface.h>
#include <kestregistry.h>

#include <QDBusMessage>

bool KestCtlPluginCommand::parse(const QStringList &arguments, const KestCtlOptions &options)
{
    if (!acceptOptions(options, {}))
        return false;
    if (arguments.size() != 2
        || (arguments.at(1) != QLatin1String("activate") && arguments.at(1) != QLatin1String("deactivate")))
        return usage(QStringLiteral("the plugin command is: plugin NAME activate|deactivate"));
    m_activate = arguments.at(1) == QLatin1String("activate");
    return readElement(arguments.at(0), QStringLiteral("plugin name"), &m_plugin);
}

void KestCtlPluginCommand::start()
{
    if (!initializeTracker(KestShared::TrackPlugins))
        return;
    // Control proxies stay in the registry for the life of the process.
    KestPluginControlInterface *control = KestRegistry::instance()->findPluginControlInterface(m_plugin);
    setComponent(QStringLiteral("plugin ") + m_plugin, KestBusNames::pluginService(m_plugin));
    if (!control) {
        fail(ExitNoSuchComponent, QStringLiteral("neither on the bus nor activatable"));
        return;
    }
    // The bus daemon drops a request that starts a plugin once its sender has left: the plugin is
    // started first, which for a running one is answered at once.
    expect(QStringLiteral("answer to StartServiceByName"));
    askBusDaemon(QStringLiteral("StartServiceByName"), {KestBusNames::pluginService(m_plugin), 0u},
                 [this, control](const QDBusMessage &reply) {
                     if (isConcluded())
                         return;
                     if (reply.type() != QDBusMessage::ReplyMessage) {
                         fail(ExitFailed, QStringLiteral("cannot be started: ") + reply.errorMessage());
                         return;
                     }
                     if (m_activate)
                         control->activate();
                     else
                         control->deactivate();
                     flushAndFinish(ExitDone);
                 });
}
