// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// A plugin process for the tests, started by the bus daemon when something calls it.
//
//   kest-plugin-peer --service NAME --plugin PLUGIN [--renderer UUID]... [--source UUID]...
//
// It owns NAME and serves the plugin interface at the plugin's path. On "activate" it brings up
// its renderers and sources again (served by scripted objects that answer get_name with "Test
// component") and announces them from the registry path with new_renderer and new_source; on
// "deactivate" it gives up their names.

#include "kestpeercontrol.h"

#include "kestbusnames_p.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>

#include <cstdio>
#include <utility>

const QString DisplayName = QStringLiteral("Test component");

class KestPluginPeer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.plugin")
public:
    KestPluginPeer(KestPeerControl &control, const QString &plugin, const QStringList &renderers,
                   const QStringList &sources)
        : m_control(control)
    {
        m_control.Script(QStringLiteral("get_name"), QStringLiteral("reply"), {DisplayName});
        for (const QString &uuid : renderers)
            m_components.append({KestBusNames::rendererService(plugin, uuid), KestBusNames::rendererPath(uuid),
                                 QStringLiteral("new_renderer"), plugin, uuid});
        for (const QString &uuid : sources)
            m_components.append({KestBusNames::sourceService(plugin, uuid), KestBusNames::sourcePath(uuid),
                                 QStringLiteral("new_source"), plugin, uuid});
    }

public Q_SLOTS:
    void activate()
    {
        for (const QStringList &c : std::as_const(m_components)) {
            m_control.serve(c.at(1));
            m_control.RequestName(c.at(0));
            QDBusMessage signal = QDBusMessage::createSignal(KestBusNames::registryPath(),
                                                             KestBusNames::registryInterface(), c.at(2));
            signal << c.at(3) << c.at(4) << DisplayName;
            QDBusConnection::sessionBus().send(signal);
        }
    }

    void deactivate()
    {
        for (const QStringList &c : std::as_const(m_components))
            m_control.ReleaseName(c.at(0));
    }

private:
    KestPeerControl &m_control;
    // Service, path, announcement, plugin and uuid of each component.
    QList<QStringList> m_components;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    for (const char *option : {"service", "plugin", "renderer", "source"})
        parser.addOption({QLatin1String(option), QString(), QStringLiteral("value")});
    parser.process(app);

    QDBusConnection bus = QDBusConnection::sessionBus();
    KestPeerControl peerControl;
    KestPluginPeer peer(peerControl, parser.value(QStringLiteral("plugin")), parser.values(QStringLiteral("renderer")),
                        parser.values(QStringLiteral("source")));
    if (!peerControl.registerOn(bus)
        || !bus.registerObject(KestBusNames::pluginPath(parser.value(QStringLiteral("plugin"))), &peer,
                               QDBusConnection::ExportAllSlots)
        || !bus.registerService(parser.value(QStringLiteral("service")))) {
        std::fprintf(stderr, "kest-plugin-peer: cannot set up %s\n",
                     qPrintable(parser.value(QStringLiteral("service"))));
        return 1;
    }
    return app.exec();
}

#include "kestpluginpeer.moc"
