// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Sharing playlists between two applications that both run a tracker.

#include "kestbusnames_p.h"
#include <kestinternalregistry.h>
#include <kestlocalplaylist.h>
#include <kestproxyplaylist.h>
#include <kestshared.h>

#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

namespace {

// Collects the warnings and critical messages logged while it lives.
class WarningCatcher
{
public:
    WarningCatcher() { s_previous = qInstallMessageHandler(&WarningCatcher::handle); }
    ~WarningCatcher() { qInstallMessageHandler(s_previous); }
    QStringList caught() const { return s_caught; }

private:
    static void handle(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtWarningMsg || type == QtCriticalMsg)
            s_caught << message;
        s_previous(type, context, message);
    }

    static inline QtMessageHandler s_previous = nullptr;
    static inline QStringList s_caught;
};

} // namespace

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
        QTest::ignoreMessage(QtWarningMsg,
                             "KestShared needs to be initialized before calling connectToPlaylistsSignals.");
        KestShared::instance()->connectToPlaylistsSignals();

        QVERIFY(KestShared::instance()->initialize(KestShared::TrackPlaylists));
        QVERIFY(m_otherApplication.start({}, {}, {}));
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
        QTest::ignoreMessage(QtWarningMsg, "KestShared::publishPlaylist: Exposing the playlist over the DBus fails");
        QVERIFY(!KestShared::instance()->publishPlaylist(playlist));
        QVERIFY(!KestTestBus::hasOwner(KestBusNames::playlistService(QStringLiteral("retry"))));

        // A refused publication relays nothing on paths that are not its own.
        QSignalSpy relayed(this, SIGNAL(relayed()));
        for (const QString &path : {KestBusNames::playlistPath(QStringLiteral("retry")), modelPath}) {
            QVERIFY(QDBusConnection::sessionBus().connect(QString(), path, QString(),
                                                          QStringLiteral("contents_changed"), this, SIGNAL(relayed())));
            QVERIFY(QDBusConnection::sessionBus().connect(
                QString(), path, QString(), QStringLiteral("model_rows_inserted"), this, SIGNAL(relayed())));
        }
        playlist->appendItem(KestContent(QStringLiteral("refused")));

        // Once the path is free, the same playlist can be published, and is heard from then on.
        QDBusConnection::sessionBus().unregisterObject(modelPath);
        QVERIFY(KestShared::instance()->publishPlaylist(playlist));
        playlist->appendItem(KestContent(QStringLiteral("published")));
        QTRY_COMPARE(relayed.count(), 2);
        settle();
        QCOMPARE(relayed.count(), 2);
        QTRY_VERIFY(otherPlaylists().contains(QStringLiteral("retry KestProxyPlaylist")));
        QVERIFY(KestShared::instance()->unPublishPlaylist(QStringLiteral("retry")));
        delete playlist;
    }

    void publishedPlaylistReachesTheOtherTracker()
    {
        auto *playlist = new KestLocalPlaylist(QStringLiteral("shared1"), QStringLiteral("Shared"), nullptr);
        playlist->appendItem(KestContent(QStringLiteral("a")));
        QPointer<KestLocalPlaylist> guard(playlist);
        QTest::ignoreMessage(QtDebugMsg, "KestShared::catchPlaylistCreatedSignal signal is our own. Skip it.");
        QVERIFY(KestShared::instance()->publishPlaylist(playlist));
        QCOMPARE(KestRegistry::instance()->findPlaylist(QStringLiteral("shared1")), playlist);
        QVERIFY(KestTestBus::hasOwner(KestBusNames::playlistService(QStringLiteral("shared1"))));
        QTRY_VERIFY(otherPlaylists().contains(QStringLiteral("shared1 KestProxyPlaylist")));

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
        QVERIFY(!KestRegistry::instance()->findPlaylist(QStringLiteral("shared1")));
        QTRY_VERIFY(!otherPlaylists().contains(QStringLiteral("shared1 KestProxyPlaylist")));
        QCoreApplication::processEvents();
        QVERIFY(guard);
        playlist->appendItem(KestContent(QStringLiteral("b")));
        QCOMPARE(playlist->size(), 2);

        // Published again, it is heard again, and only from then on: signals arrive in order.
        QTest::ignoreMessage(QtDebugMsg, "KestShared::catchPlaylistCreatedSignal signal is our own. Skip it.");
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
        QVERIFY(tracker()
                    .call(QStringLiteral("Publish"), QStringLiteral("remote1"), QStringLiteral("Remote"),
                          QStringList{QStringLiteral("a"), QStringLiteral("b")})
                    .arguments()
                    .value(0)
                    .toBool());
        QVERIFY(added.wait());
        auto *proxy = qobject_cast<KestProxyPlaylist *>(registry->findPlaylist(QStringLiteral("remote1")));
        QVERIFY(proxy);
        QCOMPARE(proxy->name(), QStringLiteral("Remote"));
        QCOMPARE(proxy->size(), 2);

        QTest::ignoreMessage(QtWarningMsg, "KestShared::unPublishPlaylist: Trying to unpublish QKestProxyPlaylist");
        QVERIFY(!KestShared::instance()->unPublishPlaylist(QStringLiteral("remote1")));
        QCOMPARE(registry->findPlaylist(QStringLiteral("remote1")), proxy);

        // Announced again (by anyone): the id is taken.
        QTest::ignoreMessage(QtCriticalMsg, "KestShared::catchPlaylistCreatedSignal playlist exists already");
        QVERIFY(m_announcer.emitSignal(KestBusNames::playlistRootPath(), KestBusNames::playlistInterface(),
                                       QStringLiteral("playlist_created"),
                                       {QStringLiteral("remote1"), QStringLiteral("Again"), 0, 0}));
        QTest::ignoreMessage(QtWarningMsg, "KestSharedPrivate: Invalid playlist id, no proxy created: \"\"");
        QVERIFY(m_announcer.emitSignal(KestBusNames::playlistRootPath(), KestBusNames::playlistInterface(),
                                       QStringLiteral("playlist_created"), {QString(), QStringLiteral("None"), 0, 0}));

        // Created without signals; connected on request, it follows the other side's changes.
        QSignalSpy changed(proxy, &KestPlaylist::contentsChanged);
        KestShared::instance()->connectToPlaylistsSignals();
        QVERIFY(tracker()
                    .call(QStringLiteral("Append"), QStringLiteral("remote1"), QStringLiteral("c"))
                    .arguments()
                    .value(0)
                    .toBool());
        QVERIFY(changed.wait());
        QCOMPARE(proxy->size(), 3);

        // Proxies created from now on are connected at once.
        QVERIFY(tracker()
                    .call(QStringLiteral("Publish"), QStringLiteral("remote2"), QStringLiteral("Later"), QStringList())
                    .arguments()
                    .value(0)
                    .toBool());
        QVERIFY(added.wait());
        KestPlaylist *later = registry->findPlaylist(QStringLiteral("remote2"));
        QVERIFY(later);
        QSignalSpy laterChanged(later, &KestPlaylist::contentsChanged);
        {
            // Asking again connects nothing twice and complains about nothing.
            WarningCatcher catcher;
            KestShared::instance()->connectToPlaylistsSignals();
            QCOMPARE(catcher.caught(), QStringList());
        }
        tracker().call(QStringLiteral("Append"), QStringLiteral("remote2"), QStringLiteral("x"));
        QVERIFY(laterChanged.wait());

        // The other application ends: its playlists leave this registry.
        QPointer<KestPlaylist> gone(proxy);
        QVERIFY(m_otherApplication.stop());
        QTRY_VERIFY(!registry->findPlaylist(QStringLiteral("remote1")));
        QTRY_VERIFY(!registry->findPlaylist(QStringLiteral("remote2")));
        QTRY_VERIFY(!gone);
    }

private:
    // A round trip to the daemon: every signal sent before it has arrived and been delivered.
    static void settle()
    {
        KestTestBus::hasOwner(KestBusNames::busDaemonService());
        QCoreApplication::processEvents();
    }

    QDBusInterface &tracker()
    {
        if (!m_trackerInterface)
            m_trackerInterface.reset(new QDBusInterface(m_otherApplication.controlName(),
                                                        QStringLiteral("/kesttest/tracker"),
                                                        QStringLiteral("com.zorvo.kesttest.Tracker")));
        return *m_trackerInterface;
    }

    QStringList otherPlaylists()
    {
        return QDBusReply<QStringList>(tracker().call(QStringLiteral("Playlists"))).value();
    }

    KestTestPeer m_otherApplication{QStringLiteral("kest-tracker-peer")};
    KestTestPeer m_announcer;
    std::unique_ptr<QDBusInterface> m_trackerInterface;
};

QTEST_GUILESS_MAIN(PublishingTest)
#include "tst_kestpublishing.moc"
