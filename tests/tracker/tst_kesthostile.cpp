// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// A hostile client on the same bus, with no privileges and no names of its own, must not crash
// the tracker, remove or hide live components, leave proxies for names that nobody owns, or
// inject results into a source proxy's pending requests.

#include "kesttrackertest.h"

#include <kestbrowseresultdbusstruct.h>
#include <kestproxysource.h>
#include <kestqueryresultdbusstruct.h>
#include <kestshared.h>

#include "kesttestbus.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <climits>
#include <memory>

namespace {

const QString Plugin = QStringLiteral("p");

// What the well-behaved component process owns, and the test bus's activatable plugins, with
// \a extra ones, as registeredIds() lists them.
QString expected(const QStringList &extra = QStringList())
{
    QStringList ids{QStringLiteral("renderer r1"), QStringLiteral("source s1"), QStringLiteral("playlist pl1"),
                    QStringLiteral("plugin alpha"), QStringLiteral("plugin y")};
    ids << extra;
    ids.sort();
    return ids.join(QLatin1Char(','));
}

} // namespace

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

class HostileClientTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_owner.start({KestBusNames::rendererService(Plugin, QStringLiteral("r1")),
                               KestBusNames::sourceService(Plugin, QStringLiteral("s1")),
                               KestBusNames::playlistService(QStringLiteral("pl1"))},
                              {KestBusNames::rendererPath(QStringLiteral("r1")),
                               KestBusNames::sourcePath(QStringLiteral("s1")),
                               KestBusNames::playlistPath(QStringLiteral("pl1"))}));
        QVERIFY(m_owner.scriptReply(QStringLiteral("get_name"), {QStringLiteral("Owned")}));
        QVERIFY(m_hostile.start());
    }

    void init()
    {
        m_tracker.reset(new KestShared(nullptr));
        QVERIFY(m_tracker->initialize(EveryKind));
        QTRY_COMPARE(registeredIds(), expected());
    }

    void cleanup()
    {
        m_tracker.reset();
        for (const QString &name : std::as_const(m_extraNames))
            QVERIFY(m_owner.releaseName(name));
        m_extraNames.clear();
        QVERIFY(clearRegistry());
    }

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
        QVERIFY(announce(m_hostile, "new_renderer", {Plugin, id, name}));
        QVERIFY(announce(m_hostile, "new_renderer", {id, QStringLiteral("u"), name}));
        QVERIFY(announce(m_hostile, "new_source", {Plugin, id, name}));
        QVERIFY(announce(m_hostile, "playlist_created", {id, name, 0, 0}));
        QVERIFY(announce(m_hostile, "new_plugin", {id}));
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
        m_tracker.reset(new KestShared(nullptr));
        QTest::ignoreMessage(QtWarningMsg,
                             "KestSharedPrivate: Invalid plugin name or uuid, no proxy created: \"p\" \"u-1\"");
        QTest::ignoreMessage(QtWarningMsg, "KestSharedPrivate: Invalid playlist id, no proxy created: \"a-b\"");
        QTest::ignoreMessage(QtWarningMsg,
                             "KestSharedPrivate: Invalid plugin name, no control interface created: \"my-plugin\"");
        QVERIFY(m_tracker->initialize(EveryKind));
        // A plugin name with a dash still names a source; a name of 255 bytes is still a name.
        QTRY_COMPARE(registeredIds(), expected({QStringLiteral("renderer ") + longUuid, QStringLiteral("source s2")}));
    }

    void forgedOwnerChangesAreIgnored()
    {
        for (const QString &name : {KestBusNames::rendererService(Plugin, QStringLiteral("r1")),
                                    KestBusNames::sourceService(Plugin, QStringLiteral("s1")),
                                    KestBusNames::playlistService(QStringLiteral("pl1"))})
            QVERIFY(m_hostile.emitSignal(KestBusNames::busDaemonPath(), KestBusNames::busDaemonInterface(),
                                         QStringLiteral("NameOwnerChanged"), {name, m_owner.uniqueName(), QString()}));
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
            QVERIFY(announce(m_hostile, "new_renderer", {Plugin, id, id}));
            QVERIFY(announce(m_hostile, "new_source", {Plugin, id, id}));
            QVERIFY(announce(m_hostile, "playlist_created", {id, id, 0, 0}));
            QVERIFY(announce(m_hostile, "new_plugin", {id}));
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
        m_tracker.reset(new KestShared(nullptr));
        QVERIFY(m_tracker->initialize(EveryKind));
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
        QVERIFY(m_owner.scriptReply(QStringLiteral("browse"), {7u}));
        QCOMPARE(source->browse(QStringLiteral("music"), QString(), {QStringLiteral("title")}, 0, 10, &receiver,
                                SLOT(onBrowseRow(uint, QString, Metamap, uint, int)),
                                SLOT(onBrowseError(uint, uint, QString))),
                 7u);
        QVERIFY(m_owner.scriptReply(QStringLiteral("query"), {8u}));
        QCOMPARE(source->query(QStringLiteral("genre:jazz"), &receiver, SLOT(onQueryRow(uint, QStringList, uint, int)),
                               SLOT(onQueryError(uint, int, QString))),
                 8u);

        // Guessed ids from a process that does not own the source's name.
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^DBusAdaptor: Results refused from")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^DBusAdaptor: Results refused from")));
        QVERIFY(pushResults(m_hostile, source->uuid(), QStringLiteral("injected")));
        QVERIFY(m_hostile.waitForCallResults(2));
        for (const QVariantMap &result : m_hostile.callResults())
            QCOMPARE(result.value(QStringLiteral("errorName")).toString(),
                     QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
        QCOMPARE(receiver.rows, QStringList());

        // The requests are untouched: the real source's rows still arrive.
        QVERIFY(pushResults(m_owner, source->uuid(), QStringLiteral("real")));
        QTRY_COMPARE(receiver.rows, (QStringList{QStringLiteral("7 real"), QStringLiteral("8 real")}));
    }

    void hostilePlaylistSizesStayInRange()
    {
        m_tracker->connectToPlaylistsSignals();
        KestTestPeer owner;
        const QString path = KestBusNames::playlistPath(QStringLiteral("big"));
        QVERIFY(owner.start({KestBusNames::playlistService(QStringLiteral("big"))}, {path}));
        QSignalSpy added(KestRegistry::instance(), &KestRegistry::playlistAdded);
        QVERIFY(announce(owner, "playlist_created", {QStringLiteral("big"), QStringLiteral("N"), -INT_MAX, -1}));
        QVERIFY(added.wait());
        KestPlaylist *playlist = KestRegistry::instance()->findPlaylist(QStringLiteral("big"));
        QVERIFY(playlist);
        QCOMPARE(playlist->size(), 0);
        QCOMPARE(playlist->getCurrentIndex(), -1);

        QSignalSpy changed(playlist, &KestPlaylist::contentsChanged);
        for (uint get : {0x7fffffffu, 0x7fffffffu, 0xffffffffu})
            QVERIFY(owner.emitSignal(path, KestBusNames::playlistInterface(), QStringLiteral("contents_changed"),
                                     {QStringLiteral("big"), 0u, 0u, get}));
        QTRY_COMPARE(changed.size(), 3);
        QCOMPARE(playlist->size(), INT_MAX);
        QVERIFY(owner.emitSignal(path, KestBusNames::playlistInterface(), QStringLiteral("contents_changed"),
                                 {QStringLiteral("big"), 0u, 0xffffffffu, 0u}));
        QTRY_COMPARE(changed.size(), 4);
        QCOMPARE(playlist->size(), 0);
    }

private:
    // The hostile client's signals arrive in order: once this renderer, owned by a well-behaved
    // process, is registered, everything the hostile client sent before has been handled.
    bool announceOwnedRenderer(const QString &uuid)
    {
        QSignalSpy added(KestRegistry::instance(), &KestRegistry::rendererAdded);
        m_extraNames << KestBusNames::rendererService(Plugin, uuid);
        return m_owner.requestName(m_extraNames.constLast())
            && announce(m_hostile, "new_renderer", {Plugin, uuid, QStringLiteral("N")}) && added.wait();
    }

    static bool pushResults(KestTestPeer &peer, const QString &uuid, const QString &objectId)
    {
        KestBrowseResultDBusStruct row;
        row.remainingCount = 0;
        row.objectId = objectId;
        const QList<KestQueryResultDBusStruct> rows{KestQueryResultDBusStruct{0, {objectId}}};
        const QString receiver = KestBusNames::proxySourcePath(uuid);
        const QString interface = KestBusNames::proxySourceInterface();
        return peer.call(KestTestBus::uniqueName(), receiver, interface, QStringLiteral("browse_result"),
                         {7u, QVariant::fromValue(QList<KestBrowseResultDBusStruct>{row})})
            && peer.call(KestTestBus::uniqueName(), receiver, interface, QStringLiteral("query_result"),
                         {8u, 0, QVariant::fromValue(rows), 0, QString()});
    }

    const KestShared::TrackFlagSet EveryKind = KestShared::TrackRenderers | KestShared::TrackSources
        | KestShared::TrackPlaylists | KestShared::TrackPlugins;
    KestTestPeer m_owner;
    KestTestPeer m_hostile;
    QStringList m_extraNames;
    std::unique_ptr<KestShared> m_tracker;
};

QTEST_GUILESS_MAIN(HostileClientTest)
#include "tst_kesthostile.moc"
