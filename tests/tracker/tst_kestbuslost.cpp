// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The bus daemon dies under a tracker: every remote proxy leaves the registry with one warning,
// and commands on a proxy whose bus is gone fail instead of reporting success.

#include "kestbusnames_p.h"
#include <kestinternalregistry.h>
#include <kestlocalplaylist.h>
#include <kestproxyrenderer.h>
#include <kestshared.h>
#include <kestsource.h>

#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QTest>

#include <signal.h>

class Receiver : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void onPosition(KestRenderer *, uint) { }
};

class BusLostTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void remoteProxiesGoWithTheBus()
    {
        KestTestPeer components;
        QVERIFY(components.start({KestBusNames::rendererService(QStringLiteral("p"), QStringLiteral("r")),
                                  KestBusNames::sourceService(QStringLiteral("p"), QStringLiteral("s")),
                                  KestBusNames::playlistService(QStringLiteral("pl"))},
                                 {KestBusNames::rendererPath(QStringLiteral("r")),
                                  KestBusNames::sourcePath(QStringLiteral("s"))}));
        QVERIFY(components.scriptReply(QStringLiteral("get_name"), {QStringLiteral("Component")}));
        QVERIFY(KestShared::instance()->initialize(KestShared::TrackRenderers | KestShared::TrackSources
                                                   | KestShared::TrackPlaylists | KestShared::TrackPlugins));
        auto *local = new KestLocalPlaylist(QStringLiteral("mine"), QStringLiteral("Mine"), nullptr);
        QVERIFY(KestShared::instance()->publishPlaylist(local));
        KestRegistry *registry = KestRegistry::instance();
        QTRY_COMPARE(registry->renderers().size(), 1);
        QCOMPARE(registry->sources().size(), 1);
        QCOMPARE(registry->playlists().size(), 2);
        QVERIFY(!registry->pluginControlInterfaces().isEmpty());
        KestProxyRenderer own(QStringLiteral("r"), QStringLiteral("p"), KestInternalRegistry::internalInstance(),
                              QStringLiteral("Own"));
        Receiver receiver;
        QVERIFY(own.getPosition(&receiver, SLOT(onPosition(KestRenderer *, uint))));

        QTest::ignoreMessage(QtWarningMsg,
                             "KestShared: The session bus connection is lost, remote components are removed.");
        const QDBusMessage daemonPid = QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                                           KestBusNames::busDaemonInterface(),
                                           QStringLiteral("GetConnectionUnixProcessID"))
            << KestBusNames::busDaemonService());
        QVERIFY(::kill(pid_t(daemonPid.arguments().value(0).toUInt()), SIGTERM) == 0);
        QTRY_VERIFY(!QDBusConnection::sessionBus().isConnected());

        // What the application published itself is still its own.
        QTRY_COMPARE(registry->renderers().size(), 0);
        QCOMPARE(registry->sources().size(), 0);
        QCOMPARE(registry->playlists(), QList<KestPlaylist *>{local});
        QVERIFY(registry->pluginControlInterfaces().isEmpty());

        QVERIFY(!own.play());
        QVERIFY(!own.getPosition(&receiver, SLOT(onPosition(KestRenderer *, uint))));
        QVERIFY(!own.setKestProperty(QStringLiteral("volume"), 3));
    }
};

QTEST_GUILESS_MAIN(BusLostTest)
#include "tst_kestbuslost.moc"
