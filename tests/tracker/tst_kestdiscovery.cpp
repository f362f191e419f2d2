// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Catches bus names composed or read wrongly, components missed at start-up or kept after their
// name or process leaves, announcements that duplicate or make proxies of nothing, plugins not
// listed or activated, and a tracker that dangles or changes its flags once initialised.

#include "kesttrackertest.h"

#include "kestbusname_p.h"
#include <kestinternalregistry.h>
#include <kestproxyplaylist.h>
#include <kestproxyplugincontrolinterface.h>
#include <kestproxyrenderer.h>
#include <kestproxysource.h>

#include "kesttestbus.h"

class DiscoveryTest : public QObject, TrackerFixture
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
            // Look-alikes: no component can be reached under them.
            QStringLiteral("com.zorvo.kest.plugin.a.b"),
            QStringLiteral("com.zorvo.kest.playlist.p.q"),
            QStringLiteral("com.zorvo.kest.playlistx.y"),
            QStringLiteral("com.zorvo.kest.rendererx.p.u"),
            QStringLiteral("com.zorvo.kest.other.p.u"), // six pieces, no known kind
            QStringLiteral("com.zorvo.kest.source.a.b.c"),
            QStringLiteral("Com.Zorvo.Kest.renderer.p.r9"),
        };
        QVERIFY(owner.start(names,
                            {KestBusNames::rendererPath(QStringLiteral("r1")),
                             KestBusNames::sourcePath(QStringLiteral("s1")),
                             KestBusNames::playlistPath(QStringLiteral("pl1"))}));
        QVERIFY(owner.scriptReply(QStringLiteral("get_name"), {QStringLiteral("Peer component")}));
        QVERIFY(owner.scriptReply(QStringLiteral("get_size"), {4u}));
        QVERIFY(owner.scriptReply(QStringLiteral("get_current"), {2}));
        QVERIFY(announcer.start());
    }

    void cleanup() { QVERIFY(TrackerFixture::cleanup()); }

    void composedNames()
    {
        const QString u = QStringLiteral("u");
        // Placeholders are filled at once, so a "%2" inside an identity stays as it is.
        QCOMPARE((QStringList{KestBusNames::rendererService(Plugin, u), KestBusNames::rendererPath(u),
                              KestBusNames::sourceService(QStringLiteral("%2"), u), KestBusNames::sourcePath(u),
                              KestBusNames::proxySourcePath(u), KestBusNames::playlistService(u),
                              KestBusNames::playlistPath(u), KestBusNames::playlistModelPath(u),
                              KestBusNames::pluginService(Plugin), KestBusNames::pluginPath(Plugin)}),
                 (QStringList{
                     QStringLiteral("com.zorvo.kest.renderer.p.u"), QStringLiteral("/com/zorvo/kest/renderer/u"),
                     QStringLiteral("com.zorvo.kest.source.%2.u"), QStringLiteral("/com/zorvo/kest/source/u"),
                     QStringLiteral("/com/zorvo/kest/proxy_source/u"), QStringLiteral("com.zorvo.kest.playlist.u"),
                     QStringLiteral("/com/zorvo/kest/playlist/u"), QStringLiteral("/com/zorvo/kest/playlistmodel/u"),
                     QStringLiteral("com.zorvo.kest.plugin.p"), QStringLiteral("/com/zorvo/kest/plugin/p")}));
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
        QTest::newRow("seven pieces") << "com.zorvo.kest.source.a.b.c" << none << none << "";
        QTest::newRow("empty plugin") << "com.zorvo.kest.renderer..u1" << renderer << renderer << "/u1";
        QTest::newRow("other kind") << "com.zorvo.kest.other.p.u" << unknown << unknown << "p/u";
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
        QTest::addColumn<QString>("ids");
        // Activatable plugins of the test bus come on top of those on the bus; com.zorvo.kest.plugin.x.y is no
        // plugin's name.
        const QString plugins = QStringLiteral("plugin alpha,plugin pg");
        QTest::newRow("nothing") << 0 << QString();
        QTest::newRow("sources") << int(KestShared::TrackSources) << "source s1";
        QTest::newRow("renderers") << int(KestShared::TrackRenderers) << "renderer r1";
        QTest::newRow("playlists") << int(KestShared::TrackPlaylists) << "playlist pl1";
        QTest::newRow("plugins") << int(KestShared::TrackPlugins) << plugins;
        QTest::newRow("everything") << 0x3F << QStringLiteral("playlist pl1,%1,renderer r1,source s1").arg(plugins);
    }

    void startupFollowsTheFlags()
    {
        QFETCH(int, flags);
        QFETCH(QString, ids);
        QVERIFY(track(KestShared::TrackFlagSet(flags)));
        QCOMPARE(registeredIds(), ids);
        // A playlist found by its name alone learns the rest from its exporter, and says so.
        KestRegistry *registry = KestRegistry::instance();
        if (auto *playlist = qobject_cast<KestProxyPlaylist *>(registry->findPlaylist(QStringLiteral("pl1")))) {
            QSignalSpy contents(playlist, &KestPlaylist::contentsChanged);
            QSignalSpy updated(playlist, &KestPlaylist::playlistUpdated);
            QSignalSpy named(playlist, &KestProxyPlaylist::nameChanged);
            QTRY_VERIFY(!contents.isEmpty() && !updated.isEmpty() && !named.isEmpty());
            QCOMPARE(contents.first(), (QVariantList{0u, 0u, 4u}));
            QCOMPARE(updated.first().at(1), QVariant(2));
            QVERIFY(playlist->size() == 4 && playlist->getCurrentIndex() == 2);
            QCOMPARE(named.first().first().toString(), QStringLiteral("Peer component"));
        }
        if (KestRenderer *renderer = registry->findRenderer(QStringLiteral("r1")))
            QVERIFY(qobject_cast<KestProxyRenderer *>(renderer));
        if (KestSource *source = registry->findSource(QStringLiteral("s1"))) {
            QVERIFY(qobject_cast<KestProxySource *>(source));
            // One source per uuid, one playlist per id: a twin is refused and stays its creator's.
            KestSource twin(nullptr, QStringLiteral("s1"), Plugin);
            KestPlaylist twinList(QStringLiteral("pl1"), QString());
            QVERIFY(!KestInternalRegistry::internalInstance().addSource(&twin));
            QVERIFY(!registry->findPlaylist(QStringLiteral("pl1"))
                    || !KestInternalRegistry::internalInstance().addPlaylist(&twinList));
            QCOMPARE(source->parent(), registry);
            QTRY_COMPARE(source->name(), QStringLiteral("Peer component"));
        }
        if (KestPluginControlInterface *alpha = registry->findPluginControlInterface(QStringLiteral("alpha"))) {
            QVERIFY(qobject_cast<KestProxyPluginControlInterface *>(alpha));
            QVERIFY(!KestTestBus::hasOwner(QStringLiteral("com.zorvo.kest.plugin.alpha"))); // listing starts nothing
        }
    }

    void announcements()
    {
        QVERIFY(track(KestShared::TrackSources | KestShared::TrackRenderers | KestShared::TrackRendererSignals));
        // Found at start-up and announced again: still one proxy. Without a plugin name or a uuid,
        // an announcement names nothing that can be reached.
        QVERIFY(announce(announcer, "new_source", {Plugin, QStringLiteral("s1"), QStringLiteral("S")}));
        for (int i = 0; i < 2; ++i)
            QTest::ignoreMessage(QtCriticalMsg, "Empty uuid or plugin name. Proxy will not be createn.");
        QVERIFY(announce(announcer, "new_renderer", {QString(), QStringLiteral("u"), QStringLiteral("R")}));
        QVERIFY(announce(announcer, "new_source", {Plugin, QString(), QStringLiteral("S")}));
        QVERIFY(announceOwnedRenderer(QStringLiteral("r2"), QStringLiteral("Announced"))); // after all the others
        QCOMPARE(registeredIds(), QStringLiteral("renderer r1,renderer r2,source s1"));
        QCOMPARE(KestRegistry::instance()->findRenderer(QStringLiteral("r2"))->name(), QStringLiteral("Announced"));
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
        QVERIFY(track(KestShared::TrackRenderers | KestShared::TrackSources | KestShared::TrackPlaylists));
        KestRegistry *registry = KestRegistry::instance();
        QCOMPARE(registry->renderers().size(), count + 1); // and those of the other peer
        QCOMPARE(registry->sources().size(), count + 1);
        QCOMPARE(registry->playlists().size(), 2);

        // A name handed over to a process that queued for it has not left: its component stays.
        const QString handedOver = KestBusNames::rendererService(Plugin, QStringLiteral("m8"));
        KestTestPeer heir;
        QVERIFY(heir.start());
        QVERIFY(heir.call(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                          KestBusNames::busDaemonInterface(), QStringLiteral("RequestName"), {handedOver, 0u}));
        QVERIFY(heir.waitForCallResults(1));
        QVERIFY(crowd.releaseName(handedOver));

        // A released name takes its own component, and only that one, which the registry deletes.
        QPointer<KestRenderer> released = registry->findRenderer(QStringLiteral("m7"));
        QVERIFY(crowd.releaseName(KestBusNames::rendererService(Plugin, QStringLiteral("m7"))));
        QTRY_VERIFY(!released);
        QCOMPARE(registry->renderers().size(), count); // m8 is still there
        QVERIFY(registry->findSource(QStringLiteral("m7")));

        // The processes end: all their components go.
        crowd.kill();
        heir.kill();
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
        QVERIFY(track(KestShared::TrackRenderers));
        QTRY_VERIFY(!KestRegistry::instance()->findRenderer(QStringLiteral("race")));
    }

    // Last: the plugin processes that the daemon starts stay for the rest of the run.
    void plugins()
    {
        QVERIFY(track(KestShared::TrackPlugins | KestShared::TrackRenderers | KestShared::TrackSources));
        KestRegistry *registry = KestRegistry::instance();
        KestPluginControlInterface *alpha = registry->findPluginControlInterface(QStringLiteral("alpha"));
        QVERIFY(alpha);

        // A plugin announces itself while it runs: one that nobody runs is not believed, a known
        // one stays as it is.
        QSignalSpy added(registry, &KestRegistry::pluginControlInterfaceAdded);
        QVERIFY(announcer.requestName(KestBusNames::pluginService(QStringLiteral("zeta"))));
        for (const QString &plugin : {QStringLiteral("alpha"), QStringLiteral("ghost"), QStringLiteral("zeta")})
            QVERIFY(announce(announcer, "new_plugin", {plugin}));
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
        QVERIFY(tracker->initTracking());
        QCOMPARE(int(tracker->trackFlags()), 0x3F);
        QTRY_VERIFY(registry->findRenderer(QStringLiteral("ry")) && registry->findRenderer(QStringLiteral("ralpha")));
        QCOMPARE(registry->findRenderer(QStringLiteral("ry"))->pluginName(), QStringLiteral("y"));
    }
};

QTEST_GUILESS_MAIN(DiscoveryTest)
#include "tst_kestdiscovery.moc"
