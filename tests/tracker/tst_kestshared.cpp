// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "distributedplaylistitem.h"
#include "kestshared.h"
#include "playlistitem.h"

#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

class SharedTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void instanceIsOneObjectOwnedByTheApplication()
    {
        KestShared *shared = KestShared::instance();
        QVERIFY(shared);
        QCOMPARE(KestShared::instance(), shared);
        QCOMPARE(shared->parent(), QCoreApplication::instance());
    }

    void instanceIsNeverDangling()
    {
        KestShared *first = KestShared::instance();
        delete first;
        KestShared *second = KestShared::instance();
        QVERIFY(second);
        QVERIFY(!second->isInitialized()); // a new object, not the deleted one
    }

    void constructionLogsTheBuild()
    {
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^kest-shared revision: \\S.*$")));
        QTest::ignoreMessage(
            QtDebugMsg, QRegularExpression(QStringLiteral("^kest-shared library builtime: \\d{4}-\\d\\d-\\d\\d .*$")));
        QTest::ignoreMessage(QtDebugMsg, "KestShared::~KestShared");
        KestShared tracker(nullptr);
    }

    void initializeOnceOnALiveBus()
    {
        KestShared tracker(nullptr);
        QVERIFY(!tracker.isInitialized());
        QVERIFY(tracker.initialize(KestShared::TrackFlagSet()));
        QVERIFY(tracker.isInitialized());
        QCOMPARE(tracker.trackFlags(), KestShared::TrackFlagSet());

        QTest::ignoreMessage(QtDebugMsg, "KestShared::initialize already initialized.");
        QVERIFY(tracker.initialize(KestShared::TrackSources));
        QCOMPARE(tracker.trackFlags(), KestShared::TrackFlagSet()); // the first flags stay
    }

    void shorthandsAddTheirFlags()
    {
        KestShared tracker(nullptr);
        QVERIFY(tracker.initialize(KestShared::TrackPlugins));
        QTest::ignoreMessage(QtDebugMsg, "KestShared::initialize already initialized.");
        QVERIFY(tracker.trackKestComponents());
        QCOMPARE(int(tracker.trackFlags()), 0x0F);

        KestShared fresh(nullptr);
        QVERIFY(fresh.initTracking());
        QVERIFY(fresh.isInitialized());
        QCOMPARE(int(fresh.trackFlags()), 0x3F);
    }

    void namesOnTheBusAreClassifiedAtStartup()
    {
        KestTestPeer peer;
        QVERIFY(
            peer.start({QStringLiteral("com.zorvo.kest.other.p.u"), QStringLiteral("com.zorvo.kest.source.a.b.c")}));
        KestShared tracker(nullptr);
        // Six pieces under the prefix but no known kind: warned about; the seven-piece name is ignored.
        QTest::ignoreMessage(QtDebugMsg, "Creating proxy for extension:");
        QTest::ignoreMessage(QtDebugMsg, "\"p\"");
        QTest::ignoreMessage(QtDebugMsg, "\"u\"");
        QTest::ignoreMessage(QtWarningMsg, "Received name is not a valid source or renderer name");
        QVERIFY(tracker.initialize(KestShared::TrackSources | KestShared::TrackRenderers));
    }

    void itemRecordsMarshal()
    {
        QDBusArgument argument;
        argument << playlistItem{5, QStringLiteral("ab")};
        QCOMPARE(argument.currentSignature(), QStringLiteral("(us)"));

        QDBusArgument list;
        list << QList<playlistItem>{{1, QStringLiteral("a")}};
        QCOMPARE(list.currentSignature(), QStringLiteral("a(us)"));
        QDBusArgument distributed;
        distributed << QList<distributedPlaylistItem>{{1, QStringLiteral("a"), QStringLiteral("s")}};
        QCOMPARE(distributed.currentSignature(), QStringLiteral("a(uss)"));

        // The constructor registered the records with the D-Bus type system, under their names.
        KestShared::instance();
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
        const QMetaType listType = QMetaType::fromType<QList<distributedPlaylistItem>>();
#else
        const int listType = qMetaTypeId<QList<distributedPlaylistItem>>();
#endif
        QCOMPARE(QDBusMetaType::typeToSignature(listType), "a(uss)");
        QCOMPARE(QByteArray(QMetaType(qMetaTypeId<QList<distributedPlaylistItem>>()).name()),
                 QByteArray("QList<distributedPlaylistItem>"));
    }

    void itemRecordsAsAnIndependentPeerReadsThem()
    {
        KestShared::instance();
        QProcess python;
        python.setProcessChannelMode(QProcess::ForwardedChannels);
        const QString name = QStringLiteral("com.zorvo.kesttest.probe");
        python.start(QStringLiteral("/usr/bin/python3"), {QStringLiteral(KEST_TRACKER_TEST_DIR "/wireprobe.py"), name});
        QVERIFY(KestTestBus::waitForOwner(name));

        QDBusMessage call = QDBusMessage::createMethodCall(
            name, QStringLiteral("/probe"), QStringLiteral("com.zorvo.kesttest.Probe"), QStringLiteral("Inspect"));
        call << QVariant::fromValue(playlistItem{5, QStringLiteral("ab")})
             << QVariant::fromValue(QList<playlistItem>{{1, QStringLiteral("x")}, {2, QStringLiteral("y")}})
             << QVariant::fromValue(QList<distributedPlaylistItem>{{3, QStringLiteral("z"), QStringLiteral("s")}});
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
        python.kill();
        python.waitForFinished();
        QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
        QCOMPARE(reply.arguments().at(0).toString(), QStringLiteral("(us)a(us)a(uss)"));
        QCOMPARE(reply.arguments().at(1).toString(),
                 QStringLiteral("[(5, 'ab'), [(1, 'x'), (2, 'y')], [(3, 'z', 's')]]"));
    }
};

QTEST_GUILESS_MAIN(SharedTest)
#include "tst_kestshared.moc"
