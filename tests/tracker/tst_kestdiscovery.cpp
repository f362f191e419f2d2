// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Catches bus names composed or read wrongly, components missed at start-up or kept after their
// name or process leaves, announcements that duplicate or make proxies of nothing, plugins not
// listed or activated, and a tracker that dangles or changes its flags once initialised.

#include "kestregistrycleaner.h"

#include "kestbusname_p.h"
#include "kestbusnames_p.h"
#include <kestproxyplaylist.h>
#include <kestproxyplugincontrolinterface.h>
#include <kestproxyrenderer.h>
#include <kestproxysource.h>
#include <kestshared.h>

#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
const QString Plugin = QStringLiteral("p");
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

    void composedNames_data()
    {
        QTest::addColumn<QString>("composed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("renderer") << KestBusNames::rendererService(QStringLiteral("pl"), QStringLiteral("u1"))
                                  << "com.zorvo.kest.renderer.pl.u1";
        QTest::newRow("renderer path") << KestBusNames::rendererPath(QStringLiteral("u1"))
                                       << "/com/zorvo/kest/renderer/u1";
        // Placeholders are filled at once, so a "%2" inside an identity stays as it is.
        QTest::newRow("source") << KestBusNames::sourceService(QStringLiteral("%2"), QStringLiteral("u"))
                                << "com.zorvo.kest.source.%2.u";
        QTest::newRow("source path") << KestBusNames::sourcePath(QStringLiteral("u")) << "/com/zorvo/kest/source/u";
        QTest::newRow("receiver path") << KestBusNames::proxySourcePath(QStringLiteral("u"))
                                       << "/com/zorvo/kest/proxy_source/u";
        QTest::newRow("playlist") << KestBusNames::playlistService(QStringLiteral("x")) << "com.zorvo.kest.playlist.x";
        QTest::newRow("playlist path") << KestBusNames::playlistPath(QStringLiteral("x"))
                                       << "/com/zorvo/kest/playlist/x";
        QTest::newRow("model path") << KestBusNames::playlistModelPath(QStringLiteral("x"))
                                    << "/com/zorvo/kest/playlistmodel/x";
        QTest::newRow("plugin") << KestBusNames::pluginService(Plugin) << "com.zorvo.kest.plugin.p";
        QTest::newRow("plugin path") << KestBusNames::pluginPath(Plugin) << "/com/zorvo/kest/plugin/p";
    }

    void composedNames()
    {
        QFETCH(QString, composed);
        QFETCH(QString, expected);
        QCOMPARE(composed, expected);
    }

    void readNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("atStartup");
        QTest::addColumn<int>("onRemoval");
        QTest::addColumn<QString>("identity"); // plugin/uuid of an extension, the last piece otherwise

        const int none = KestBusName::NoComponent;
        const int renderer = KestBusName::Renderer;
        const int playlist = KestBusName::Playlist;
        const int unknown = KestBusName::UnknownExtension;
        QTest::newRow("renderer") << "com.zorvo.kest.renderer.pl.u1" << renderer << renderer << "pl/u1";
        QTest::newRow("source") << "com.zorvo.kest.source.p.u" << int(KestBusName::Source) << int(KestBusName::Source)
                                << "p/u";
        QTest::newRow("seven pieces") << "com.zorvo.kest.source.a.b.c" << none << none << "";
        QTest::newRow("empty plugin") << "com.zorvo.kest.renderer..u1" << renderer << renderer << "/u1";
        QTest::newRow("other kind") << "com.zorvo.kest.other.p.u" << unknown << unknown << "p/u";
        QTest::newRow("playlist") << "com.zorvo.kest.playlist.x" << playlist << playlist << "x";
        QTest::newRow("playlistmodel prefix") << "com.zorvo.kest.playlistmodel.x" << playlist << playlist << "x";
        // Six pieces read as an extension when leaving, even under the playlist or plugin prefix.
        QTest::newRow("playlist a.b") << "com.zorvo.kest.playlist.a.b" << playlist << unknown << "a/b";
        QTest::newRow("plugin") << "com.zorvo.kest.plugin.p" << int(KestBusName::Plugin) << none << "p";
        QTest::newRow("plugin x.y") << "com.zorvo.kest.plugin.x.y" << int(KestBusName::Plugin) << unknown << "x/y";
        QTest::newRow("capitals") << "COM.ZORVO.KEST.renderer.p.u" << none << none << "";
        // Leaving names are matched anywhere in the name, joining names only at the start.
        QTest::newRow("embedded") << "x.com.zorvo.kest.renderer.p" << none << renderer << "";
        QTest::newRow("embedded playlist") << "org.com.zorvo.kest.playlist.x.7" << none << playlist << "7";
        QTest::newRow("unrelated") << "org.freedesktop.DBus" << none << none << "";
    }

    void readNames()
    {
        QFETCH(QString, name);
        QFETCH(int, atStartup);
        QFETCH(int, onRemoval);
        QFETCH(QString, identity);

        const KestBusName busName(name);
        QCOMPARE(int(busName.classify(KestBusName::StartsWith)), atStartup);
        QCOMPARE(int(busName.classify(KestBusName::Contains)), onRemoval);
        if (identity.contains(QLatin1Char('/')))
            QCOMPARE(busName.extensionPluginName() + QLatin1Char('/') + busName.extensionUuid(), identity);
        else if (!identity.isEmpty())
            QCOMPARE(busName.lastPiece(), identity);
    }

    void identitiesThatCanStandInNames()
    {
        for (const char *good : {"u1234", "_a_1", "Zz09A"})
            QVERIFY2(KestBusName::isValidElement(QString::fromUtf8(good)), good);
        for (const char *bad : {"42", "a-b", "a.b", "\xc3\xbc", ""})
            QVERIFY2(!KestBusName::isValidElement(QString::fromUtf8(bad)), bad);
    }

    void trackerIsOneObjectAndInitialisedOnce()
    {
        KestShared *shared = KestShared::instance();
        QCOMPARE(shared->parent(), QCoreApplication::instance());
        QCOMPARE(KestShared::instance(), shared);
        QVERIFY(shared->initialize(KestShared::TrackFlagSet()));
        delete shared;
        QVERIFY(!KestShared::instance()->isInitialized()); // a new object, never the deleted one

        KestShared tracker(nullptr);
        QVERIFY(!tracker.isInitialized());
        QVERIFY(tracker.initialize(KestShared::TrackPlugins));
        QVERIFY(tracker.initialize(KestShared::TrackSources));
        QCOMPARE(tracker.trackFlags(), KestShared::TrackPlugins); // the first flags stay
        QVERIFY(tracker.trackKestComponents());
        QCOMPARE(int(tracker.trackFlags()), 0x0F);
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
        if (!plugins.isEmpty()) {
            QVERIFY(qobject_cast<KestProxyPluginControlInterface *>(
                registry->findPluginControlInterface(QStringLiteral("alpha"))));
            QVERIFY(!KestTestBus::hasOwner(QStringLiteral("com.zorvo.kest.plugin.alpha"))); // listing starts nothing
        }
    }

    void announcements()
    {
        m_tracker.reset(new KestShared(nullptr));
        QVERIFY(m_tracker->initialize(KestShared::TrackSources | KestShared::TrackRenderers
                                      | KestShared::TrackRendererSignals));
        // Found at start-up and announced again: still one proxy. Without a plugin name or a uuid,
        // an announcement names nothing that can be reached.
        QVERIFY(announce(QStringLiteral("new_source"), Plugin, QStringLiteral("s1")));
        QVERIFY(announce(QStringLiteral("new_renderer"), QString(), QStringLiteral("u")));
        QVERIFY(announce(QStringLiteral("new_source"), Plugin, QString()));
        QVERIFY(announceOwnedRenderer(QStringLiteral("r2"))); // arrives after all the others
        KestRegistry *registry = KestRegistry::instance();
        QCOMPARE(registry->renderers().size(), 2);
        QCOMPARE(registry->sources().size(), 1);
        QCOMPARE(registry->findRenderer(QStringLiteral("r2"))->name(), QStringLiteral("Announced"));
    }

    void removalFollowsNamesAndProcesses()
    {
        // Many components in one process, as a plugin holds them.
        const int count = 100;
        QStringList names{KestBusNames::playlistService(QStringLiteral("plgone"))};
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
        QVERIFY(
            m_tracker->initialize(KestShared::TrackRenderers | KestShared::TrackSources | KestShared::TrackPlaylists));
        KestRegistry *registry = KestRegistry::instance();
        QCOMPARE(registry->renderers().size(), count + 1); // and those of the other peer
        QCOMPARE(registry->sources().size(), count + 1);
        QCOMPARE(registry->playlists().size(), 2);

        // A released name takes its own component, and only that one, which the registry deletes.
        QPointer<KestRenderer> released = registry->findRenderer(QStringLiteral("m7"));
        QVERIFY(crowd.releaseName(KestBusNames::rendererService(Plugin, QStringLiteral("m7"))));
        QTRY_VERIFY(!released);
        QCOMPARE(registry->renderers().size(), count);
        QVERIFY(registry->findSource(QStringLiteral("m7")));

        // The process ends: all its components go.
        crowd.kill();
        QTRY_COMPARE(registry->renderers().size(), 1);
        QTRY_COMPARE(registry->sources().size(), 1);
        QTRY_COMPARE(registry->playlists().size(), 1);
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

    // Last: the plugin processes that the daemon starts stay for the rest of the run.
    void plugins()
    {
        m_tracker.reset(new KestShared(nullptr));
        QVERIFY(
            m_tracker->initialize(KestShared::TrackPlugins | KestShared::TrackRenderers | KestShared::TrackSources));
        KestRegistry *registry = KestRegistry::instance();
        KestPluginControlInterface *alpha = registry->findPluginControlInterface(QStringLiteral("alpha"));
        QVERIFY(alpha);

        // A plugin announces itself while it runs: one that nobody runs is not believed, a known
        // one stays as it is.
        QSignalSpy added(registry, &KestRegistry::pluginControlInterfaceAdded);
        QVERIFY(m_announcer.requestName(KestBusNames::pluginService(QStringLiteral("zeta"))));
        for (const QString &plugin : {QStringLiteral("alpha"), QStringLiteral("ghost"), QStringLiteral("zeta")})
            QVERIFY(m_announcer.emitSignal(QStringLiteral("/anywhere"), KestBusNames::pluginInterface(),
                                           QStringLiteral("new_plugin"), {plugin}));
        QVERIFY(added.wait()); // the daemon answers in turn: ghost's answer came first
        QCOMPARE(added.count(), 1);
        QCOMPARE(added.first().first().toString(), QStringLiteral("zeta"));
        QCOMPARE(registry->findPluginControlInterface(QStringLiteral("alpha")), alpha);

        // Activated through the daemon, the plugin brings its components; deactivated, it gives
        // up their names and the proxies go.
        alpha->activate();
        QTRY_VERIFY(registry->findRenderer(QStringLiteral("ralpha")) && registry->findSource(QStringLiteral("salpha")));
        QCOMPARE(registry->findRenderer(QStringLiteral("ralpha"))->pluginName(), QStringLiteral("alpha"));
        alpha->deactivate();
        QTRY_VERIFY(!registry->findRenderer(QStringLiteral("ralpha"))
                    && !registry->findSource(QStringLiteral("salpha")));

        // Every activatable plugin is activated under its full name, at the path of its last piece.
        QVERIFY(m_tracker->initTracking());
        QCOMPARE(int(m_tracker->trackFlags()), 0x3F);
        QTRY_VERIFY(registry->findRenderer(QStringLiteral("ry")) && registry->findRenderer(QStringLiteral("ralpha")));
        QCOMPARE(registry->findRenderer(QStringLiteral("ry"))->pluginName(), QStringLiteral("y"));
    }

private:
    bool announce(const QString &member, const QString &plugin, const QString &uuid)
    {
        return m_announcer.emitSignal(KestBusNames::registryPath(), KestBusNames::registryInterface(), member,
                                      {plugin, uuid, QStringLiteral("Announced")});
    }

    // Signals from one sender arrive in order: once this announcement of an owned renderer is
    // handled, so is all that the announcer sent before.
    bool announceOwnedRenderer(const QString &uuid)
    {
        QSignalSpy added(KestRegistry::instance(), &KestRegistry::rendererAdded);
        m_extraNames << KestBusNames::rendererService(Plugin, uuid);
        return m_components.requestName(m_extraNames.constLast())
            && announce(QStringLiteral("new_renderer"), Plugin, uuid) && added.wait();
    }

    KestTestPeer m_components;
    KestTestPeer m_announcer;
    QStringList m_extraNames;
    std::unique_ptr<KestShared> m_tracker;
};

QTEST_GUILESS_MAIN(DiscoveryTest)
#include "tst_kestdiscovery.moc"
