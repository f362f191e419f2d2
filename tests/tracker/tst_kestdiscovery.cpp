// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Discovery of components on the bus and their removal when their process leaves it.

#include "kestregistrycleaner.h"

#include "kestbusnames_p.h"
#include <kestproxyplaylist.h>
#include <kestproxyrenderer.h>
#include <kestproxysource.h>
#include <kestshared.h>

#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString Plugin = QStringLiteral("p");

QVariantList announcement(const QString &plugin, const QString &uuid, const QString &name)
{
    return {plugin, uuid, name};
}

} // namespace

class DiscoveryTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // Everything a listing of the bus can meet, in one process.
        const QStringList names{
            KestBusNames::rendererService(Plugin, QStringLiteral("r1")),
            KestBusNames::sourceService(Plugin, QStringLiteral("s1")),
            KestBusNames::playlistService(QStringLiteral("pl1")),
            KestBusNames::pluginService(QStringLiteral("pg")),
            QStringLiteral("com.zorvo.kest.plugin.a.b"), // six pieces, also a plugin name
            QStringLiteral("com.zorvo.kest.other.p.u"), // six pieces, no known kind
            QStringLiteral("com.zorvo.kest.source.a.b.c"),
            QStringLiteral("Com.Zorvo.Kest.renderer.p.r9"),
        };
        QVERIFY(m_components.start(
            names, {KestBusNames::rendererPath(QStringLiteral("r1")), KestBusNames::sourcePath(QStringLiteral("s1"))}));
        QVERIFY(m_components.scriptReply(QStringLiteral("get_name"), {QStringLiteral("Peer component")}));
        QVERIFY(m_announcer.start());
    }

    void cleanup()
    {
        m_tracker.reset();
        for (const QString &name : std::as_const(m_extraNames))
            QVERIFY(m_components.releaseName(name));
        m_extraNames.clear();
        QVERIFY(clearRegistry());
    }

    void startupFollowsTheFlags_data()
    {
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("renderers");
        QTest::addColumn<int>("sources");
        QTest::addColumn<int>("playlists");
        QTest::addColumn<QStringList>("plugins");

        // Activatable plugins of the test bus come on top of those on the bus.
        const QStringList plugins{QStringLiteral("alpha"), QStringLiteral("b"), QStringLiteral("pg"),
                                  QStringLiteral("y")};
        QTest::newRow("nothing") << 0 << 0 << 0 << 0 << QStringList();
        QTest::newRow("sources") << int(KestShared::TrackSources) << 0 << 1 << 0 << QStringList();
        QTest::newRow("renderers") << int(KestShared::TrackRenderers) << 1 << 0 << 0 << QStringList();
        QTest::newRow("playlists") << int(KestShared::TrackPlaylists) << 0 << 0 << 1 << QStringList();
        QTest::newRow("plugins") << int(KestShared::TrackPlugins) << 0 << 0 << 0 << plugins;
        QTest::newRow("everything") << 0x3F << 1 << 1 << 1 << plugins;
    }

    void startupFollowsTheFlags()
    {
        QFETCH(int, flags);
        QFETCH(int, renderers);
        QFETCH(int, sources);
        QFETCH(int, playlists);
        QFETCH(QStringList, plugins);

        if (flags & KestShared::TrackSources)
            QTest::ignoreMessage(QtWarningMsg, "Received name is not a valid source or renderer name");
        m_tracker.reset(new KestShared(nullptr));
        QVERIFY(m_tracker->initialize(KestShared::TrackFlagSet(flags)));

        KestRegistry *registry = KestRegistry::instance();
        QCOMPARE(registry->renderers().size(), renderers);
        QCOMPARE(registry->sources().size(), sources);
        QCOMPARE(registry->playlists().size(), playlists);
        QCOMPARE(registry->pluginControlInterfaces().keys(), plugins);
        if (renderers)
            QVERIFY(qobject_cast<KestProxyRenderer *>(registry->findRenderer(QStringLiteral("r1"))));
        if (sources) {
            auto *source = qobject_cast<KestProxySource *>(registry->findSource(QStringLiteral("s1")));
            QVERIFY(source);
            QCOMPARE(source->parent(), registry);
            QTRY_COMPARE(source->name(), QStringLiteral("Peer component"));
        }
        if (playlists) {
            auto *playlist = qobject_cast<KestProxyPlaylist *>(registry->findPlaylist(QStringLiteral("pl1")));
            QVERIFY(playlist);
            QCOMPARE(playlist->size(), 0);
            QCOMPARE(playlist->getCurrentIndex(), 0);
        }
    }

    void announcements()
    {
        m_tracker.reset(new KestShared(nullptr));
        QVERIFY(m_tracker->initialize(KestShared::TrackSources | KestShared::TrackRenderers
                                      | KestShared::TrackRendererSignals));
        KestRegistry *registry = KestRegistry::instance();
        QSignalSpy renderersAdded(registry, &KestRegistry::rendererAdded);
        const QString registryPath = KestBusNames::registryPath();
        const QString registryInterface = KestBusNames::registryInterface();

        // Found at start-up and announced again: still one proxy.
        QTest::ignoreMessage(QtDebugMsg,
                             "KestSharedPrivate::createProxySource: Source with this uuid exist at "
                             "registry. Not creating proxy");
        QVERIFY(m_announcer.emitSignal(registryPath, registryInterface, QStringLiteral("new_source"),
                                       announcement(Plugin, QStringLiteral("s1"), QStringLiteral("S"))));
        // Announcements without a plugin name or a uuid name nothing that can be reached.
        QTest::ignoreMessage(QtCriticalMsg, "Empty uuid or plugin name. Proxy will not be createn.");
        QVERIFY(m_announcer.emitSignal(registryPath, registryInterface, QStringLiteral("new_renderer"),
                                       announcement(QString(), QStringLiteral("u"), QStringLiteral("R"))));
        QTest::ignoreMessage(QtCriticalMsg, "Empty uuid or plugin name. Proxy will not be createn.");
        QVERIFY(m_announcer.emitSignal(registryPath, registryInterface, QStringLiteral("new_source"),
                                       announcement(Plugin, QString(), QStringLiteral("S"))));
        // A good announcement arrives after all the bad ones.
        QVERIFY(announceMarker(QStringLiteral("r2"), QStringLiteral("Announced")));
        QCOMPARE(registry->renderers().size(), 2);
        QCOMPARE(registry->sources().size(), 1);
        KestRenderer *announced = registry->findRenderer(QStringLiteral("r2"));
        QVERIFY(announced);
        QCOMPARE(announced->name(), QStringLiteral("Announced"));
    }

    void removalFollowsReleases()
    {
        KestTestPeer owner;
        const QString rendererName = KestBusNames::rendererService(Plugin, QStringLiteral("gone"));
        const QString playlistName = KestBusNames::playlistService(QStringLiteral("plgone"));
        QVERIFY(owner.start({rendererName, playlistName}, {KestBusNames::rendererPath(QStringLiteral("gone"))}));
        QVERIFY(owner.scriptReply(QStringLiteral("get_name"), {QStringLiteral("R")}));
        m_tracker.reset(new KestShared(nullptr));
        QVERIFY(m_tracker->initialize(KestShared::TrackRenderers | KestShared::TrackPlaylists));
        KestRegistry *registry = KestRegistry::instance();
        QPointer<KestRenderer> renderer = registry->findRenderer(QStringLiteral("gone"));
        QVERIFY(renderer);

        // A name handed over or taken is no release; any process may send these.
        const QString daemonPath = KestBusNames::busDaemonPath();
        const QString daemonInterface = KestBusNames::busDaemonInterface();
        QVERIFY(m_announcer.emitSignal(daemonPath, daemonInterface, QStringLiteral("NameOwnerChanged"),
                                       {rendererName, QStringLiteral(":1.1"), QStringLiteral(":1.2")}));
        QVERIFY(m_announcer.emitSignal(daemonPath, daemonInterface, QStringLiteral("NameOwnerChanged"),
                                       {rendererName, QString(), QStringLiteral(":1.2")}));
        QVERIFY(announceMarker(QStringLiteral("marker1"))); // arrives after both
        QVERIFY(registry->findRenderer(QStringLiteral("gone")));

        QSignalSpy removed(registry, &KestRegistry::rendererRemoved);
        QTest::ignoreMessage(QtDebugMsg,
                             QRegularExpression(QStringLiteral("^KestSharedPrivate::handleRemoval name:  .*gone\"$")));
        QVERIFY(owner.releaseName(rendererName));
        QVERIFY(removed.wait());
        QVERIFY(!registry->findRenderer(QStringLiteral("gone")));
        QTRY_VERIFY(!renderer); // the registry deleted the proxy

        // The name is no longer watched: a second release reaches nobody.
        QVERIFY(m_announcer.emitSignal(daemonPath, daemonInterface, QStringLiteral("NameOwnerChanged"),
                                       {rendererName, QStringLiteral(":1.1"), QString()}));
        QVERIFY(announceMarker(QStringLiteral("marker2")));
        QCOMPARE(removed.count(), 1);

        // The process ends: its playlist goes too.
        QSignalSpy playlistRemoved(registry, &KestRegistry::playlistRemoved);
        owner.kill();
        QVERIFY(playlistRemoved.wait());
        QVERIFY(!registry->findPlaylist(QStringLiteral("plgone")));
    }

    void componentLeavingDuringStartupIsRemoved()
    {
        // The peer leaves as soon as the new proxy asks for its name: between the listing of the
        // bus and the start of watching, or just after.
        KestTestPeer fleeting;
        QVERIFY(fleeting.start({KestBusNames::rendererService(Plugin, QStringLiteral("race"))},
                               {KestBusNames::rendererPath(QStringLiteral("race"))}));
        QVERIFY(fleeting.scriptExit(QStringLiteral("get_name")));
        m_tracker.reset(new KestShared(nullptr));
        QVERIFY(m_tracker->initialize(KestShared::TrackRenderers));
        QTRY_VERIFY(!KestRegistry::instance()->findRenderer(QStringLiteral("race")));
    }

    void manyComponentsComeAndGo()
    {
        const int count = 100;
        QStringList names;
        QStringList paths;
        for (int i = 0; i < count; ++i) {
            const QString uuid = QStringLiteral("m%1").arg(i);
            names << KestBusNames::rendererService(Plugin, uuid) << KestBusNames::sourceService(Plugin, uuid);
            paths << KestBusNames::rendererPath(uuid) << KestBusNames::sourcePath(uuid);
        }
        KestTestPeer crowd;
        QVERIFY(crowd.start(names, paths));
        QVERIFY(crowd.scriptReply(QStringLiteral("get_name"), {QStringLiteral("Many")}));
        m_tracker.reset(new KestShared(nullptr));
        QVERIFY(m_tracker->initialize(KestShared::TrackRenderers | KestShared::TrackSources));
        KestRegistry *registry = KestRegistry::instance();
        QCOMPARE(registry->renderers().size(), count + 1); // and r1 of the other peer
        QCOMPARE(registry->sources().size(), count + 1);

        QVERIFY(crowd.stop());
        QTRY_COMPARE(registry->renderers().size(), 1);
        QTRY_COMPARE(registry->sources().size(), 1);
    }

private:
    // Signals from one sender arrive in order: once this announcement of an owned renderer is
    // handled, so is all before it.
    bool announceMarker(const QString &uuid, const QString &name = QStringLiteral("Marker"))
    {
        QSignalSpy added(KestRegistry::instance(), &KestRegistry::rendererAdded);
        m_extraNames << KestBusNames::rendererService(Plugin, uuid);
        return m_components.requestName(m_extraNames.constLast())
            && m_announcer.emitSignal(KestBusNames::registryPath(), KestBusNames::registryInterface(),
                                      QStringLiteral("new_renderer"), announcement(Plugin, uuid, name))
            && added.wait();
    }

    KestTestPeer m_components;
    KestTestPeer m_announcer;
    QStringList m_extraNames;
    std::unique_ptr<KestShared> m_tracker;
};

QTEST_GUILESS_MAIN(DiscoveryTest)
#include "tst_kestdiscovery.moc"
