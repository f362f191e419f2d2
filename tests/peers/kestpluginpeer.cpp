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
        , m_plugin(plugin)
        , m_renderers(renderers)
        , m_sources(sources)
    {
        m_control.Script(QStringLiteral("get_name"), QStringLiteral("reply"), {DisplayName});
    }

public Q_SLOTS:
    void activate()
    {
        for (const QString &uuid : std::as_const(m_renderers))
            bringUp(KestBusNames::rendererService(m_plugin, uuid), KestBusNames::rendererPath(uuid), uuid,
                    QStringLiteral("new_renderer"));
        for (const QString &uuid : std::as_const(m_sources))
            bringUp(KestBusNames::sourceService(m_plugin, uuid), KestBusNames::sourcePath(uuid), uuid,
                    QStringLiteral("new_source"));
    }

    void deactivate()
    {
        for (const QString &uuid : std::as_const(m_renderers))
            m_control.ReleaseName(KestBusNames::rendererService(m_plugin, uuid));
        for (const QString &uuid : std::as_const(m_sources))
            m_control.ReleaseName(KestBusNames::sourceService(m_plugin, uuid));
    }

private:
    void bringUp(const QString &service, const QString &path, const QString &uuid, const QString &announcement)
    {
        m_control.serve(path);
        m_control.RequestName(service);
        QDBusMessage signal = QDBusMessage::createSignal(KestBusNames::registryPath(),
                                                         KestBusNames::registryInterface(), announcement);
        signal << m_plugin << uuid << DisplayName;
        QDBusConnection::sessionBus().send(signal);
    }

    KestPeerControl &m_control;
    QString m_plugin;
    QStringList m_renderers;
    QStringList m_sources;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption service(QStringLiteral("service"), QStringLiteral("Bus name to own."),
                                     QStringLiteral("name"));
    const QCommandLineOption plugin(QStringLiteral("plugin"), QStringLiteral("Plugin name."), QStringLiteral("name"));
    const QCommandLineOption renderer(QStringLiteral("renderer"), QStringLiteral("Renderer uuid."),
                                      QStringLiteral("uuid"));
    const QCommandLineOption source(QStringLiteral("source"), QStringLiteral("Source uuid."), QStringLiteral("uuid"));
    parser.addOptions({service, plugin, renderer, source});
    parser.process(app);

    QDBusConnection bus = QDBusConnection::sessionBus();
    KestPeerControl peerControl;
    KestPluginPeer peer(peerControl, parser.value(plugin), parser.values(renderer), parser.values(source));
    if (!peerControl.registerOn(bus)
        || !bus.registerObject(KestBusNames::pluginPath(parser.value(plugin)), &peer, QDBusConnection::ExportAllSlots)
        || !bus.registerService(parser.value(service))) {
        std::fprintf(stderr, "kest-plugin-peer: cannot set up %s\n", qPrintable(parser.value(service)));
        return 1;
    }
    return app.exec();
}

#include "kestpluginpeer.moc"
