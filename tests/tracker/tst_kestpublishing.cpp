// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Catches playlists published that should be refused, left on the bus after a refusal or after
// unpublishing, or not seen by another application's tracker; proxies of another application's
// playlists not made, connected or dropped; and item records that go out in another form.

#include "distributedplaylistitem.h"
#include "kestbusnames_p.h"
#include "playlistitem.h"
#include <kestlocalplaylist.h>
#include <kestproxyplaylist.h>
#include <kestregistry.h>
#include <kestshared.h>

#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

class PublishingTest : public QObject
{
    Q_OBJECT
Q_SIGNALS:
    void relayed();

private Q_SLOTS:
    void initTestCase()
    {
        KestLocalPlaylist early(QStringLiteral("early"), QStringLiteral("Early"), nullptr);
        QTest::ignoreMessage(QtWarningMsg,
                             "KestShared::publishPlaylist: must be initalized before calling publishPlaylist.");
        QVERIFY(!KestShared::instance()->publishPlaylist(&early));
        QVERIFY(KestShared::instance()->initialize(KestShared::TrackPlaylists));
        QVERIFY(m_otherApplication.start());
        QVERIFY(m_announcer.start());
    }

    void publishingRefusesBadPlaylists()
    {
        QTest::ignoreMessage(QtWarningMsg, "KestShared::publishPlaylist: Trying to publish NULL playlist.");
        QVERIFY(!KestShared::instance()->publishPlaylist(nullptr));
        // An id that cannot stand in a bus name: nothing registered, nothing left on the bus.
        KestLocalPlaylist badId(QStringLiteral("42"), QStringLiteral("Digits"), nullptr);
        QTest::ignoreMessage(QtWarningMsg, "KestShared::publishPlaylist: Exposing the playlist over the DBus fails");
        QVERIFY(!KestShared::instance()->publishPlaylist(&badId));
        QVERIFY(!KestRegistry::instance()->findPlaylist(QStringLiteral("42")));
        QVERIFY(!QDBusConnection::sessionBus().objectRegisteredAt(KestBusNames::playlistPath(QStringLiteral("42"))));
        QVERIFY(
            !QDBusConnection::sessionBus().objectRegisteredAt(KestBusNames::playlistModelPath(QStringLiteral("42"))));
        QTest::ignoreMessage(QtWarningMsg, "KestShared::unPublishPlaylist: Trying to unpublish QKestProxyPlaylist");
        QVERIFY(!KestShared::instance()->unPublishPlaylist(QStringLiteral("nothere")));
    }

    void failedPublicationCanBeTriedAgain()
    {
        // Something else holds the model's path: the publication fails and leaves nothing behind.
        QObject squatter;
        const QString modelPath = KestBusNames::playlistModelPath(QStringLiteral("retry"));
        QVERIFY(QDBusConnection::sessionBus().registerObject(modelPath, &squatter));
        auto *playlist = new KestLocalPlaylist(QStringLiteral("retry"), QStringLiteral("Retry"), nullptr);
        QVERIFY(!KestShared::instance()->publishPlaylist(playlist));
        QVERIFY(!KestTestBus::hasOwner(KestBusNames::playlistService(QStringLiteral("retry"))));

        // A refused publication relays nothing on paths that are not its own.
        QSignalSpy relayed(this, SIGNAL(relayed()));
        for (const QString &path : {KestBusNames::playlistPath(QStringLiteral("retry")), modelPath}) {
            for (const QString &signal : {QStringLiteral("contents_changed"), QStringLiteral("model_rows_inserted")})
                QVERIFY(
                    QDBusConnection::sessionBus().connect(QString(), path, QString(), signal, this, SIGNAL(relayed())));
        }
        playlist->appendItem(KestContent(QStringLiteral("refused")));

        // Once the path is free, the same playlist can be published, and is heard from then on.
        QDBusConnection::sessionBus().unregisterObject(modelPath);
        QVERIFY(KestShared::instance()->publishPlaylist(playlist));
        playlist->appendItem(KestContent(QStringLiteral("published")));
        QTRY_COMPARE(relayed.count(), 2);
        settle();
        QCOMPARE(relayed.count(), 2);
        QTRY_VERIFY(otherHas(QStringLiteral("retry")));
        QVERIFY(KestShared::instance()->unPublishPlaylist(QStringLiteral("retry")));
        delete playlist;
    }

    void publishedPlaylistReachesTheOtherTracker()
    {
        auto *playlist = new KestLocalPlaylist(QStringLiteral("shared1"), QStringLiteral("Shared"), nullptr);
        QPointer<KestLocalPlaylist> guard(playlist);
        QVERIFY(KestShared::instance()->publishPlaylist(playlist));
        QCOMPARE(KestRegistry::instance()->findPlaylist(QStringLiteral("shared1")), playlist);
        QVERIFY(KestTestBus::hasOwner(KestBusNames::playlistService(QStringLiteral("shared1"))));
        QTRY_VERIFY(otherHas(QStringLiteral("shared1")));
        QTest::ignoreMessage(QtWarningMsg, "KestShared::publishPlaylist: Playlist with given id exists in registry.");
        QVERIFY(!KestShared::instance()->publishPlaylist(playlist));

        // Unpublished, it leaves the bus at once, and the other tracker drops its proxy. The
        // playlist is the application's again: alive, usable, and silent on the bus.
        QSignalSpy relayed(this, SIGNAL(relayed()));
        QVERIFY(QDBusConnection::sessionBus().connect(QString(), KestBusNames::playlistPath(QStringLiteral("shared1")),
                                                      KestBusNames::playlistInterface(),
                                                      QStringLiteral("contents_changed"), this, SIGNAL(relayed())));
        QVERIFY(KestShared::instance()->unPublishPlaylist(QStringLiteral("shared1")));
        QVERIFY(!KestTestBus::hasOwner(KestBusNames::playlistService(QStringLiteral("shared1"))));
        QVERIFY(!QDBusConnection::sessionBus().objectRegisteredAt(
            KestBusNames::playlistModelPath(QStringLiteral("shared1"))));
        QVERIFY(!KestRegistry::instance()->findPlaylist(QStringLiteral("shared1")));
        QTRY_VERIFY(!otherHas(QStringLiteral("shared1")));
        QCoreApplication::processEvents();
        QVERIFY(guard);
        playlist->appendItem(KestContent(QStringLiteral("b")));

        // Published again, it is heard again, and only from then on: signals arrive in order.
        QVERIFY(KestShared::instance()->publishPlaylist(playlist));
        playlist->appendItem(KestContent(QStringLiteral("c")));
        QVERIFY(relayed.wait());
        settle();
        QCOMPARE(relayed.count(), 1);
        QVERIFY(KestShared::instance()->unPublishPlaylist(QStringLiteral("shared1")));
        delete playlist;
    }

    void playlistOfTheOtherApplication()
    {
        KestRegistry *registry = KestRegistry::instance();
        QSignalSpy added(registry, &KestRegistry::playlistAdded);
        const QStringList two = QStringLiteral("a b").split(QLatin1Char(' '));
        QVERIFY(other("Publish", {QStringLiteral("remote1"), QStringLiteral("Remote"), two}).toBool());
        QVERIFY(added.wait());
        auto *proxy = qobject_cast<KestProxyPlaylist *>(registry->findPlaylist(QStringLiteral("remote1")));
        QVERIFY(proxy);
        QCOMPARE(proxy->name(), QStringLiteral("Remote"));
        QCOMPARE(proxy->size(), 2);
        QVERIFY(!KestShared::instance()->unPublishPlaylist(QStringLiteral("remote1"))); // not ours
        QCOMPARE(registry->findPlaylist(QStringLiteral("remote1")), proxy);

        // Announced again (by anyone): the id is taken. Without an id: nothing.
        QVERIFY(m_announcer.emitSignal(KestBusNames::playlistRootPath(), KestBusNames::playlistInterface(),
                                       QStringLiteral("playlist_created"),
                                       {QStringLiteral("remote1"), QStringLiteral("Again"), 0, 0}));
        QVERIFY(m_announcer.emitSignal(KestBusNames::playlistRootPath(), KestBusNames::playlistInterface(),
                                       QStringLiteral("playlist_created"), {QString(), QStringLiteral("None"), 0, 0}));

        // Created without signals; connected on request, it follows the other side's changes.
        QSignalSpy changed(proxy, &KestPlaylist::contentsChanged);
        KestShared::instance()->connectToPlaylistsSignals();
        QVERIFY(other("Append", {QStringLiteral("remote1"), QStringLiteral("c")}).toBool());
        QVERIFY(changed.wait());
        QCOMPARE(proxy->size(), 3);
        QCOMPARE(registry->playlists().size(), 1);

        // Proxies created from now on are connected at once; asking again finds nothing to complain about.
        QVERIFY(other("Publish", {QStringLiteral("remote2"), QStringLiteral("Remote"), QStringList()}).toBool());
        QVERIFY(added.wait());
        KestPlaylist *later = registry->findPlaylist(QStringLiteral("remote2"));
        QVERIFY(later);
        static int complaints = 0;
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &) { complaints += type != QtDebugMsg; });
        KestShared::instance()->connectToPlaylistsSignals();
        qInstallMessageHandler(previous);
        QCOMPARE(complaints, 0);
        QSignalSpy laterChanged(later, &KestPlaylist::contentsChanged);
        QVERIFY(other("Append", {QStringLiteral("remote2"), QStringLiteral("x")}).toBool());
        QVERIFY(other("Append", {QStringLiteral("remote1"), QStringLiteral("d")}).toBool());
        QTRY_COMPARE(changed.count(), 2);
        QCOMPARE(laterChanged.count(), 1);

        // The other application ends: its playlists leave this registry.
        QPointer<KestPlaylist> gone(proxy);
        QVERIFY(m_otherApplication.stop());
        QTRY_VERIFY(registry->playlists().isEmpty());
        QTRY_VERIFY(!gone);
    }

    void itemRecordsOnTheWire()
    {
        // libdbus's monitor reads what goes out; this process reads it back.
        QProcess monitor;
        monitor.start(QStringLiteral(DBUS_MONITOR), {QStringLiteral("--session"), QStringLiteral("member='Items'")});
        QByteArray seen;
        QVERIFY(QTest::qWaitFor([&] { return (seen += monitor.readAllStandardOutput()).contains("member=NameLost"); }));
        QVERIFY(QDBusConnection::sessionBus().connect(QString(), QStringLiteral("/probe"), QString(),
                                                      QStringLiteral("Items"), this, SLOT(onItems(QDBusMessage))));
        const QList<playlistItem> items{{1, QStringLiteral("x")}, {2, QStringLiteral("y")}};
        const QList<distributedPlaylistItem> distributed{{3, QStringLiteral("z"), QStringLiteral("s")}};
        QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/probe"), QStringLiteral("com.zorvo.kesttest"),
                                                         QStringLiteral("Items"));
        signal << QVariant::fromValue(playlistItem{5, QStringLiteral("ab")}) << QVariant::fromValue(items)
               << QVariant::fromValue(distributed);
        QVERIFY(QDBusConnection::sessionBus().send(signal));

        const auto body = [&] {
            seen += monitor.readAllStandardOutput();
            return QString::fromUtf8(seen.mid(seen.indexOf("member=Items"))).section(QLatin1Char('\n'), 1).simplified();
        };
        QTRY_COMPARE(body(),
                     QStringLiteral("struct { uint32 5 string \"ab\" } array [ struct { uint32 1 string \"x\" } "
                                    "struct { uint32 2 string \"y\" } ] array [ struct { uint32 3 string \"z\" "
                                    "string \"s\" } ]"));
        monitor.kill();
        monitor.waitForFinished();
        QTRY_COMPARE(m_items.size(), 1);
        QCOMPARE(m_items.at(0).signature(), QStringLiteral("(us)a(us)a(uss)"));
        QCOMPARE(qdbus_cast<playlistItem>(m_items.at(0).arguments().at(0)), (playlistItem{5, QStringLiteral("ab")}));
        QCOMPARE(qdbus_cast<QList<playlistItem>>(m_items.at(0).arguments().at(1)), items);
        QCOMPARE(qdbus_cast<QList<distributedPlaylistItem>>(m_items.at(0).arguments().at(2)), distributed);
    }

public Q_SLOTS:
    void onItems(const QDBusMessage &message) { m_items << message; }

private:
    // A round trip to the daemon: every signal sent before it has arrived and been delivered.
    static void settle()
    {
        KestTestBus::hasOwner(KestBusNames::busDaemonService());
        QCoreApplication::processEvents();
    }

    // Asks the other application's tracker; its answer.
    QVariant other(const char *method, const QVariantList &arguments = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(m_otherApplication.controlName(),
                                                           QStringLiteral("/kesttest/tracker"),
                                                           QStringLiteral("com.zorvo.kesttest.Tracker"),
                                                           QLatin1String(method));
        call.setArguments(arguments);
        return QDBusConnection::sessionBus().call(call).arguments().value(0);
    }
    bool otherHas(const QString &id)
    {
        return other("Playlists").toStringList().contains(id + QStringLiteral(" KestProxyPlaylist"));
    }

    KestTestPeer m_otherApplication{QStringLiteral("kest-tracker-peer")};
    KestTestPeer m_announcer;
    QList<QDBusMessage> m_items;
};

QTEST_GUILESS_MAIN(PublishingTest)
#include "tst_kestpublishing.moc"
