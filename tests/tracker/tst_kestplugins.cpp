// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Plugin control proxies and real activation through the bus daemon.
//
// The test bus's service directory holds two activatable plugins (see CMakeLists.txt):
// com.zorvo.kest.plugin.alpha with renderer "ralpha" and source "salpha", and
// com.zorvo.kest.plugin.x.y (plugin "y") with renderer "ry".

#include "kestbusnames_p.h"
#include <kestinternalregistry.h>
#include <kestproxyplugincontrolinterface.h>
#include <kestrenderer.h>
#include <kestshared.h>
#include <kestsource.h>

#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <QSignalSpy>
#include <QTest>

class PluginsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(m_announcer.start()); }

    void controlProxiesForActivatablePlugins()
    {
        QTest::ignoreMessage(QtDebugMsg, "KestProxyPluginControlInterface::KestProxyPluginControlInterface");
        QTest::ignoreMessage(QtDebugMsg, "KestProxyPluginControlInterface::KestProxyPluginControlInterface");
        QVERIFY(KestShared::instance()->initialize(KestShared::TrackPlugins | KestShared::TrackRenderers
                                                   | KestShared::TrackSources));
        KestRegistry *registry = KestRegistry::instance();
        QCOMPARE(registry->pluginControlInterfaces().keys(),
                 (QStringList{QStringLiteral("alpha"), QStringLiteral("y")}));
        QVERIFY(qobject_cast<KestProxyPluginControlInterface *>(
            registry->findPluginControlInterface(QStringLiteral("alpha"))));
        // Listing what could be started starts nothing.
        QVERIFY(!KestTestBus::hasOwner(QStringLiteral("com.zorvo.kest.plugin.alpha")));
    }

    void newPluginAnnouncements()
    {
        KestRegistry *registry = KestRegistry::instance();
        KestPluginControlInterface *alpha = registry->findPluginControlInterface(QStringLiteral("alpha"));
        QSignalSpy added(registry, &KestRegistry::pluginControlInterfaceAdded);
        QTest::ignoreMessage(QtDebugMsg, "KestSharedPrivate::createPluginControlInterfaceProxy \"alpha\"");
        QVERIFY(m_announcer.emitSignal(QStringLiteral("/anywhere"), KestBusNames::pluginInterface(),
                                       QStringLiteral("new_plugin"), {QStringLiteral("alpha")}));
        // A plugin announces itself while it runs: one that nobody runs is not believed.
        QVERIFY(m_announcer.emitSignal(QStringLiteral("/anywhere"), KestBusNames::pluginInterface(),
                                       QStringLiteral("new_plugin"), {QStringLiteral("ghost")}));
        QVERIFY(m_announcer.requestName(KestBusNames::pluginService(QStringLiteral("zeta"))));
        QVERIFY(m_announcer.emitSignal(QStringLiteral("/anywhere"), KestBusNames::pluginInterface(),
                                       QStringLiteral("new_plugin"), {QStringLiteral("zeta")}));
        QVERIFY(added.wait());
        QCOMPARE(added.count(), 1);
        QCOMPARE(added.first().first().toString(), QStringLiteral("zeta"));
        QCOMPARE(registry->findPluginControlInterface(QStringLiteral("alpha")), alpha);
    }

    void activatingAPluginBringsItsComponents()
    {
        KestRegistry *registry = KestRegistry::instance();
        QTest::ignoreMessage(QtDebugMsg, "KestProxyPluginControlInterface::activate");
        registry->findPluginControlInterface(QStringLiteral("alpha"))->activate();
        QVERIFY(KestTestBus::waitForOwner(QStringLiteral("com.zorvo.kest.plugin.alpha")));
        QTRY_VERIFY(registry->findRenderer(QStringLiteral("ralpha")));
        QTRY_VERIFY(registry->findSource(QStringLiteral("salpha")));
        QCOMPARE(registry->findRenderer(QStringLiteral("ralpha"))->pluginName(), QStringLiteral("alpha"));

        // Deactivated, the plugin gives up its components' names and the proxies go.
        QTest::ignoreMessage(QtDebugMsg, "KestProxyPluginControlInterface::deactivate");
        registry->findPluginControlInterface(QStringLiteral("alpha"))->deactivate();
        QTRY_VERIFY(!registry->findRenderer(QStringLiteral("ralpha")));
        QTRY_VERIFY(!registry->findSource(QStringLiteral("salpha")));
    }

    void initTrackingActivatesEveryPlugin()
    {
        KestShared *shared = KestShared::instance();
        QVERIFY(shared->initTracking());
        QCOMPARE(int(shared->trackFlags()), 0x3F);
        // The full activatable name is started, at the path of its last piece.
        QVERIFY(KestTestBus::waitForOwner(QStringLiteral("com.zorvo.kest.plugin.x.y")));
        QTRY_VERIFY(KestRegistry::instance()->findRenderer(QStringLiteral("ry")));
        QCOMPARE(KestRegistry::instance()->findRenderer(QStringLiteral("ry"))->pluginName(), QStringLiteral("y"));
        QTRY_VERIFY(KestRegistry::instance()->findRenderer(QStringLiteral("ralpha")));
    }

private:
    KestTestPeer m_announcer;
};

QTEST_GUILESS_MAIN(PluginsTest)
#include "tst_kestplugins.moc"
