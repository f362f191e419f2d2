// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlplugincommand.h"

#include "kestctlprobe.h"

#include "kestbusnames_p.h"

#include <kestplugincontrolinterface.h>
#include <kestregistry.h>

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
    // Any process on the bus answers Ping; asking an activatable plugin starts it.
    probe(KestBusNames::pluginPath(m_plugin), QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"),
          [this, control](const KestCtlProbe &answer) {
              if (answer.outcome() != KestCtlProbe::Answered) {
                  fail(ExitFailed, QStringLiteral("cannot be reached: ") + answer.error().message());
                  return;
              }
              if (m_activate)
                  control->activate();
              else
                  control->deactivate();
              flushAndFinish(ExitDone);
          });
}
