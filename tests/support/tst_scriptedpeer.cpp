// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The scripted peer is what every cross-process test stands on: check that it answers, fails,
// stays silent, calls back and records as scripted.

#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QTest>

class ScriptedPeerTest : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kesttest.Pinged")
public Q_SLOTS:
    void ping(const QString &text) { m_pings.append(text); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDBusConnection::sessionBus().registerObject(QStringLiteral("/test"), this,
                                                             QDBusConnection::ExportAllSlots));
        QVERIFY(m_peer.start({QStringLiteral("com.zorvo.kesttest.thing")}, {QStringLiteral("/thing")}));
    }

    void repliesErrorsAndRecords()
    {
        QVERIFY(m_peer.scriptReply(QStringLiteral("get"), {uint(7), QVariant::fromValue(QDBusVariant(2.5))}));
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("com.zorvo.kesttest.thing"),
                                                           QStringLiteral("/thing"), QStringLiteral("x.y"),
                                                           QStringLiteral("get"));
        call << -5 << QStringLiteral("a");
        QDBusMessage reply = QDBusConnection::sessionBus().call(call);
        QCOMPARE(reply.signature(), QStringLiteral("uv"));
        QCOMPARE(reply.arguments().at(0).toUInt(), 7u);

        QVERIFY(m_peer.scriptError(QStringLiteral("get"), QStringLiteral("7:broken")));
        reply = QDBusConnection::sessionBus().call(call);
        QCOMPARE(reply.errorMessage(), QStringLiteral("7:broken"));

        const QList<KestRecordedCall> calls = m_peer.callsTo(QStringLiteral("get"));
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls.at(0).signature, QStringLiteral("is"));
        QCOMPARE(calls.at(0).interface, QStringLiteral("x.y"));
        QCOMPARE(calls.at(0).arguments.at(0).toInt(), -5);
        QCOMPARE(calls.at(0).sender, KestTestBus::uniqueName());
    }

    void callsBackTheCaller()
    {
        QVERIFY(m_peer.scriptReply(QStringLiteral("start")));
        QVERIFY(m_peer.scriptAfterCall(QStringLiteral("start"), QString(), QStringLiteral("/test"),
                                       QStringLiteral("com.zorvo.kesttest.Pinged"), QStringLiteral("ping"),
                                       {QStringLiteral("back")}));
        QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
            QStringLiteral("com.zorvo.kesttest.thing"), QStringLiteral("/thing"), QString(), QStringLiteral("start")));
        QTRY_COMPARE(m_pings, QStringList{QStringLiteral("back")});
        QVERIFY(m_peer.waitForCallResults(1));
        QCOMPARE(m_peer.callResults().constFirst().value(QStringLiteral("errorName")).toString(), QString());
    }

    void silentPeerTimesOutThroughTheDaemon()
    {
        QVERIFY(m_peer.scriptNoReply(QStringLiteral("hang")));
        const QDBusMessage reply = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
            QStringLiteral("com.zorvo.kesttest.thing"), QStringLiteral("/thing"), QString(), QStringLiteral("hang")));
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.NoReply"));
    }

    void exitingPeerLeavesTheBus()
    {
        KestTestPeer peer;
        QVERIFY(peer.start({QStringLiteral("com.zorvo.kesttest.gone")}, {QStringLiteral("/gone")}));
        QVERIFY(peer.scriptExit(QStringLiteral("bye")));
        const QDBusMessage reply = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
            QStringLiteral("com.zorvo.kesttest.gone"), QStringLiteral("/gone"), QString(), QStringLiteral("bye")));
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QVERIFY(KestTestBus::waitForNoOwner(QStringLiteral("com.zorvo.kesttest.gone")));
    }

private:
    KestTestPeer m_peer;
    QStringList m_pings;
};

QTEST_GUILESS_MAIN(ScriptedPeerTest)
#include "tst_scriptedpeer.moc"
