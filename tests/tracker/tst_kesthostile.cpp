// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// A hostile client on the same bus, with no privileges and no names of its own, must not crash
// the tracker, remove or hide live components, leave proxies for names that nobody owns, or
// inject results into a source proxy's pending requests.

#include "kesttrackertest.h"

#include <kestbrowseresultdbusstruct.h>
#include <kestproxysource.h>
#include <kestqueryresultdbusstruct.h>

#include "kesttestbus.h"

#include <QRegularExpression>

#include <climits>

// What the well-behaved component process owns, and the test bus's activatable plugins, with
// \a extra ones, as registeredIds() lists them.
static QString expected(const QStringList &extra = QStringList())
{
    QStringList ids = QStringList{QStringLiteral("renderer r1"), QStringLiteral("source s1"),
                                  QStringLiteral("playlist pl1"), QStringLiteral("plugin alpha")}
        + extra;
    ids.sort();
    return ids.join(QLatin1Char(','));
}

// Records the rows and errors that reach a caller of browse and query.
class ResultReceiver : public QObject
{
    Q_OBJECT
public:
    QStringList rows;

public Q_SLOTS:
    void onBrowseRow(uint id, const QString &objectId, const Metamap &, uint, int) { add(id, objectId); }
    void onBrowseError(uint id, uint, const QString &) { add(id, QStringLiteral("error")); }
    void onQueryRow(uint id, const QStringList &row, uint, int) { add(id, row.join(QLatin1Char(','))); }
    void onQueryError(uint id, int, const QString &) { add(id, QStringLiteral("error")); }

private:
    void add(uint id, const QString &row) { rows << QString::number(id) + QLatin1Char(' ') + row; }
};

class HostileClientTest : public QObject, TrackerFixture
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(owner.start({KestBusNames::rendererService(Plugin, QStringLiteral("r1")),
                             KestBusNames::sourceService(Plugin, QStringLiteral("s1")),
                             KestBusNames::playlistService(QStringLiteral("pl1"))},
                            {KestBusNames::rendererPath(QStringLiteral("r1")),
                             KestBusNames::sourcePath(QStringLiteral("s1")),
                             KestBusNames::playlistPath(QStringLiteral("pl1"))}));
        QVERIFY(owner.scriptReply(QStringLiteral("get_name"), {QStringLiteral("Owned")}));
        QVERIFY(hostile.start());
    }

    void init()
    {
        QVERIFY(track(EveryKind));
        QTRY_COMPARE(registeredIds(), expected());
    }

    void cleanup() { QVERIFY(TrackerFixture::cleanup()); }

    void idsThatCannotStandInNamesAreRefused_data()
    {
        QTest::addColumn<QString>("id");
        QTest::newRow("non-ASCII") << QStringLiteral("\u00fc");
        QTest::newRow("non-ASCII word") << QStringLiteral("\u00fc\u00f1\u0155");
        QTest::newRow("dot") << QStringLiteral("a.b");
        QTest::newRow("slash") << QStringLiteral("a/b");
        QTest::newRow("dash") << QStringLiteral("a-b");
        QTest::newRow("leading digit") << QStringLiteral("1234");
        QTest::newRow("empty") << QString();
        QTest::newRow("300 characters") << QString(300, QLatin1Char('a'));
        QTest::newRow("1 MB") << QString(1 << 20, QLatin1Char('a'));
    }

    void idsThatCannotStandInNamesAreRefused()
    {
        QFETCH(QString, id);
        // Trackers that do not subscribe to the components' own signals used to build a match rule
        // from the id, which libdbus refused with an abort.
        const QString name = QStringLiteral("N");
        QVERIFY(announce(hostile, "new_renderer", {Plugin, id, name}));
        QVERIFY(announce(hostile, "new_renderer", {id, QStringLiteral("u"), name}));
        QVERIFY(announce(hostile, "new_source", {Plugin, id, name}));
        QVERIFY(announce(hostile, "playlist_created", {id, name, 0, 0}));
        QVERIFY(announce(hostile, "new_plugin", {id}));
        QVERIFY(announceOwnedRenderer(QStringLiteral("after")));
        QTRY_COMPARE(registeredIds(), expected({QStringLiteral("renderer after")}));
    }

    void oddNamesOnTheBusAreRefused()
    {
        // Valid bus names whose pieces cannot stand in an object path, or that run to the limit.
        const QString longUuid(255 - KestBusNames::rendererService(Plugin, QString()).size(), QLatin1Char('u'));
        KestTestPeer odd;
        QVERIFY(odd.start(
            {QStringLiteral("com.zorvo.kest.renderer.p.u-1"), QStringLiteral("com.zorvo.kest.playlist.a-b"),
             QStringLiteral("com.zorvo.kest.plugin.my-plugin"), QStringLiteral("com.zorvo.kest.source.my-plugin.s2"),
             KestBusNames::rendererService(Plugin, longUuid)},
            {KestBusNames::sourcePath(QStringLiteral("s2")), KestBusNames::rendererPath(longUuid)}));
        QVERIFY(odd.scriptReply(QStringLiteral("get_name"), {QStringLiteral("Odd")}));
        QTest::ignoreMessage(QtWarningMsg,
                             "KestSharedPrivate: Invalid plugin name or uuid, no proxy created: \"p\" \"u-1\"");
        QTest::ignoreMessage(QtWarningMsg, "KestSharedPrivate: Invalid playlist id, no proxy created: \"a-b\"");
        QTest::ignoreMessage(QtWarningMsg,
                             "KestSharedPrivate: Invalid plugin name, no control interface created: \"my-plugin\"");
        QVERIFY(track(EveryKind));
        // A plugin name with a dash still names a source; a name of 255 bytes is still a name.
        QTRY_COMPARE(registeredIds(), expected({QStringLiteral("renderer ") + longUuid, QStringLiteral("source s2")}));
    }

    void forgedOwnerChangesAreIgnored()
    {
        for (const QString &name : {KestBusNames::rendererService(Plugin, QStringLiteral("r1")),
                                    KestBusNames::sourceService(Plugin, QStringLiteral("s1")),
                                    KestBusNames::playlistService(QStringLiteral("pl1"))})
            QVERIFY(hostile.emitSignal(KestBusNames::busDaemonPath(), KestBusNames::busDaemonInterface(),
                                       QStringLiteral("NameOwnerChanged"), {name, owner.uniqueName(), QString()}));
        QVERIFY(announceOwnedRenderer(QStringLiteral("after")));
        QTRY_COMPARE(registeredIds(), expected({QStringLiteral("renderer after")}));
    }

    void unownedComponentsLeaveNothing()
    {
        const int count = 150;
        QList<QPointer<QObject>> created;
        QObject context;
        KestRegistry *registry = KestRegistry::instance();
        const auto keep = [&created](QObject *o) { created << o; };
        connect(registry, &KestRegistry::rendererAdded, &context, keep);
        connect(registry, &KestRegistry::sourceAdded, &context, keep);
        connect(registry, &KestRegistry::playlistAdded, &context, keep);

        // Announcements for names that nobody owns.
        for (int i = 0; i < count; ++i) {
            const QString id = QStringLiteral("forged%1").arg(i);
            QVERIFY(announce(hostile, "new_renderer", {Plugin, id, id}));
            QVERIFY(announce(hostile, "new_source", {Plugin, id, id}));
            QVERIFY(announce(hostile, "playlist_created", {id, id, 0, 0}));
            QVERIFY(announce(hostile, "new_plugin", {id}));
        }
        // Components that take their name, announce and leave at once, without any attacker.
        KestTestPeer fleeting;
        QVERIFY(fleeting.start());
        for (int i = 0; i < count; ++i) {
            const QString id = QStringLiteral("fleeting%1").arg(i);
            QVERIFY(fleeting.requestName(KestBusNames::rendererService(Plugin, id)));
            QVERIFY(announce(fleeting, "new_renderer", {Plugin, id, id}));
            QVERIFY(fleeting.releaseName(KestBusNames::rendererService(Plugin, id)));
        }
        QVERIFY(announceOwnedRenderer(QStringLiteral("after")));
        QTRY_COMPARE_WITH_TIMEOUT(registeredIds(), expected({QStringLiteral("renderer after")}), 20000);
        QVERIFY(created.size() >= 2 * count); // they were made, and went again
        QTRY_VERIFY(std::all_of(created.cbegin(), created.cend(), [registry](const QPointer<QObject> &o) {
            return o.isNull() || o == registry->findRenderer(QStringLiteral("after"));
        }));
    }

    void releaseRemovesExactlyItsComponent()
    {
        // A renderer and a source with the same uuid, and a renderer of another plugin that has
        // that uuid too but could not be registered beside the first.
        KestTestPeer twins;
        const QString renderer = KestBusNames::rendererService(Plugin, QStringLiteral("twin"));
        const QString source = KestBusNames::sourceService(Plugin, QStringLiteral("twin"));
        const QString otherRenderer = KestBusNames::rendererService(QStringLiteral("q"), QStringLiteral("twin"));
        QVERIFY(twins.start({renderer, source, otherRenderer},
                            {KestBusNames::rendererPath(QStringLiteral("twin")),
                             KestBusNames::sourcePath(QStringLiteral("twin"))}));
        QVERIFY(twins.scriptReply(QStringLiteral("get_name"), {QStringLiteral("Twin")}));
        QVERIFY(track(EveryKind));
        QTRY_COMPARE(registeredIds(), expected({QStringLiteral("renderer twin"), QStringLiteral("source twin")}));
        // Whichever the bus listed first is registered; the other one's release changes nothing.
        KestRenderer *registered = KestRegistry::instance()->findRenderer(QStringLiteral("twin"));
        const QString registeredName = KestBusNames::rendererService(registered->pluginName(), QStringLiteral("twin"));
        QVERIFY(twins.releaseName(registeredName == renderer ? otherRenderer : renderer));
        QVERIFY(twins.releaseName(source));
        QTRY_COMPARE(registeredIds(), expected({QStringLiteral("renderer twin")}));
        QCOMPARE(KestRegistry::instance()->findRenderer(QStringLiteral("twin")), registered);
        QVERIFY(twins.releaseName(registeredName));
        QTRY_COMPARE(registeredIds(), expected());
    }

    void resultsOnlyFromTheOwner()
    {
        auto *source = qobject_cast<KestProxySource *>(KestRegistry::instance()->findSource(QStringLiteral("s1")));
        QVERIFY(source);
        ResultReceiver receiver;
        QVERIFY(owner.scriptReply(QStringLiteral("browse"), {7u}));
        QCOMPARE(source->browse(QStringLiteral("music"), QString(), {QStringLiteral("title")}, 0, 10, &receiver,
                                SLOT(onBrowseRow(uint, QString, Metamap, uint, int)),
                                SLOT(onBrowseError(uint, uint, QString))),
                 7u);
        QVERIFY(owner.scriptReply(QStringLiteral("query"), {8u}));
        QCOMPARE(source->query(QStringLiteral("genre:jazz"), &receiver, SLOT(onQueryRow(uint, QStringList, uint, int)),
                               SLOT(onQueryError(uint, int, QString))),
                 8u);

        // Guessed ids from a process that does not own the source's name.
        for (int i = 0; i < 2; ++i)
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral("^DBusAdaptor: Results refused from")));
        QVERIFY(pushResults(hostile, source->uuid(), QStringLiteral("injected")));
        QVERIFY(hostile.waitForCallResults(2));
        for (const QVariantMap &result : hostile.callResults())
            QCOMPARE(result.value(QStringLiteral("errorName")).toString(),
                     QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
        QCOMPARE(receiver.rows, QStringList());

        // The requests are untouched: the real source's rows still arrive.
        QVERIFY(pushResults(owner, source->uuid(), QStringLiteral("real")));
        QTRY_COMPARE(receiver.rows, (QStringList{QStringLiteral("7 real"), QStringLiteral("8 real")}));
    }

    void hostilePlaylistSizesStayInRange()
    {
        tracker->connectToPlaylistsSignals();
        KestTestPeer big;
        const QString path = KestBusNames::playlistPath(QStringLiteral("big"));
        QVERIFY(big.start({KestBusNames::playlistService(QStringLiteral("big"))}, {path}));
        QSignalSpy added(KestRegistry::instance(), &KestRegistry::playlistAdded);
        QVERIFY(announce(big, "playlist_created", {QStringLiteral("big"), QStringLiteral("N"), -INT_MAX, -1}));
        QVERIFY(added.wait());
        KestPlaylist *playlist = KestRegistry::instance()->findPlaylist(QStringLiteral("big"));
        QVERIFY(playlist);
        QCOMPARE(playlist->size(), 0);
        QCOMPARE(playlist->getCurrentIndex(), -1);

        // Rows removed and added: the size stays within an int.
        QSignalSpy changed(playlist, &KestPlaylist::contentsChanged);
        const QList<QList<uint>> steps{{0, 0x7fffffff}, {0, 0x7fffffff}, {0, 0xffffffff}, {0xffffffff, 0}};
        for (int i = 0; i < steps.size(); ++i) {
            QVERIFY(big.emitSignal(path, KestBusNames::playlistInterface(), QStringLiteral("contents_changed"),
                                   {QStringLiteral("big"), 0u, steps[i][0], steps[i][1]}));
            QTRY_COMPARE(changed.size(), i + 1);
            QCOMPARE(playlist->size(), steps[i][1] ? INT_MAX : 0);
        }
    }

private:
    static bool pushResults(KestTestPeer &peer, const QString &uuid, const QString &objectId)
    {
        const QList<KestBrowseResultDBusStruct> browsed{{0, 0, objectId, {}, {}, 0, {}}};
        const QList<KestQueryResultDBusStruct> queried{{0, {objectId}}};
        const QString path = KestBusNames::proxySourcePath(uuid), interface = KestBusNames::proxySourceInterface();
        return peer.call(KestTestBus::uniqueName(), path, interface, QStringLiteral("browse_result"),
                         {7u, QVariant::fromValue(browsed)})
            && peer.call(KestTestBus::uniqueName(), path, interface, QStringLiteral("query_result"),
                         {8u, 0, QVariant::fromValue(queried), 0, QString()});
    }

    KestTestPeer &hostile = announcer; // announceOwnedRenderer() sends from it too
    const KestShared::TrackFlagSet EveryKind = KestShared::TrackRenderers | KestShared::TrackSources
        | KestShared::TrackPlaylists | KestShared::TrackPlugins;
};

QTEST_GUILESS_MAIN(HostileClientTest)
#include "tst_kesthostile.moc"
