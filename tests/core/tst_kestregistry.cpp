// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestinternalregistry.h"
#include "kestlocalplaylist.h"
#include "kestplugincontrolinterface.h"
#include "kestrenderer.h"
#include "kestsource.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

// Removes itself from the registry from inside one of its own slots.
class SelfRemovingRenderer : public KestRenderer
{
    Q_OBJECT
public:
    using KestRenderer::KestRenderer;
    bool survivedRemoval = false;

public Q_SLOTS:
    void removeMe()
    {
        KestInternalRegistry::internalInstance().removeExtension(uuid());
        survivedRemoval = (uuid() == QStringLiteral("self")); // touches this after the removal
    }
};

class RegistryTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void addFindRemoveRenderer()
    {
        KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
        QCOMPARE(static_cast<KestRegistry *>(&registry), KestRegistry::instance());
        QSignalSpy added(&registry, &KestRegistry::rendererAdded);
        QSignalSpy removed(&registry, &KestRegistry::rendererRemoved);

        QPointer<KestRenderer> renderer = new KestRenderer(QStringLiteral("r1"), QStringLiteral("p"));
        QVERIFY(registry.addRenderer(renderer));
        QCOMPARE(added.count(), 1);
        QCOMPARE(registry.findRenderer(QStringLiteral("r1")), renderer.data());
        QCOMPARE(registry.renderers(), QList<KestRenderer *>{renderer.data()});

        // A second object with the same uuid is refused and stays the caller's.
        KestRenderer duplicate(QStringLiteral("r1"), QStringLiteral("q"));
        QVERIFY(!registry.addRenderer(&duplicate));
        QVERIFY(!registry.addRenderer(nullptr));

        QVERIFY(registry.removeExtension(QStringLiteral("r1")));
        QCOMPARE(removed.count(), 1);
        QVERIFY(!registry.findRenderer(QStringLiteral("r1")));
        QVERIFY(renderer); // announced first, deleted later
        QTRY_VERIFY(!renderer);
        QVERIFY(!registry.removeExtension(QStringLiteral("r1")));
    }

    void sourcesPlaylistsAndPlugins()
    {
        KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
        QPointer<KestSource> source = new KestSource(&registry, QStringLiteral("s1"), QStringLiteral("p"));
        QPointer<KestPlaylist> playlist = new KestLocalPlaylist(QStringLiteral("pl1"), QStringLiteral("Mine"), nullptr);
        QPointer<KestPluginControlInterface> plugin = new KestPluginControlInterface;
        QVERIFY(registry.addSource(source));
        QVERIFY(registry.addPlaylist(playlist));
        QVERIFY(registry.addPluginControlInterface(QStringLiteral("plug"), plugin));
        QVERIFY(!registry.addPluginControlInterface(QStringLiteral("plug"), plugin));

        QCOMPARE(registry.findSource(QStringLiteral("s1")), source.data());
        QCOMPARE(registry.findPlaylist(QStringLiteral("pl1")), playlist.data());
        QCOMPARE(registry.findPluginControlInterface(QStringLiteral("plug")), plugin.data());
        QCOMPARE(registry.pluginControlInterfaces().keys(), QStringList{QStringLiteral("plug")});
        // Uuids of sources and renderers are looked up per kind.
        QVERIFY(!registry.findRenderer(QStringLiteral("s1")));

        QSignalSpy sourceRemoved(&registry, &KestRegistry::sourceRemoved);
        QSignalSpy playlistRemoved(&registry, &KestRegistry::playlistRemoved);
        QVERIFY(registry.removeExtension(QStringLiteral("s1")));
        QVERIFY(registry.removePlaylist(QStringLiteral("pl1")));
        QVERIFY(registry.removePluginControlInterface(QStringLiteral("plug")));
        QCOMPARE(sourceRemoved.count(), 1);
        QCOMPARE(playlistRemoved.count(), 1);
        QTRY_VERIFY(!source && !playlist && !plugin);
        QVERIFY(registry.playlists().isEmpty());
    }

    void objectDeletedElsewhereLeavesTheRegistry()
    {
        KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
        auto *renderer = new KestRenderer(QStringLiteral("r2"), QStringLiteral("p"));
        QVERIFY(registry.addRenderer(renderer));
        delete renderer;
        QVERIFY(!registry.findRenderer(QStringLiteral("r2")));
        QVERIFY(registry.renderers().isEmpty());
    }

    void removalFromInsideOwnSlotIsSafe()
    {
        KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
        QPointer<SelfRemovingRenderer> renderer = new SelfRemovingRenderer(QStringLiteral("self"), QStringLiteral("p"));
        QVERIFY(registry.addRenderer(renderer));
        QMetaObject::invokeMethod(renderer, "removeMe");
        QVERIFY(renderer && renderer->survivedRemoval);
        QTRY_VERIFY(!renderer);
    }

    void keepsRegistrationOrder()
    {
        KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
        QList<KestRenderer *> renderers;
        for (int i = 0; i < 5; ++i) {
            renderers.append(new KestRenderer(QStringLiteral("order%1").arg(i), QStringLiteral("p")));
            QVERIFY(registry.addRenderer(renderers.last()));
        }
        // Taken out of the middle, by removal and by deletion elsewhere: the rest keep their order.
        QVERIFY(registry.removeExtension(QStringLiteral("order1")));
        delete renderers.at(3);
        QCOMPARE(registry.renderers(), (QList<KestRenderer *>{renderers.at(0), renderers.at(2), renderers.at(4)}));
        // Both keys are free again; a newcomer goes to the end.
        auto *again = new KestRenderer(QStringLiteral("order3"), QStringLiteral("q"));
        QVERIFY(registry.addRenderer(again));
        QCOMPARE(registry.findRenderer(QStringLiteral("order3")), again);
        QCOMPARE(registry.renderers().last(), again);
        QVERIFY(!registry.findRenderer(QStringLiteral("order1")));
        for (KestRenderer *renderer : registry.renderers())
            QVERIFY(registry.removeExtension(renderer->uuid()));
    }
};

QTEST_GUILESS_MAIN(RegistryTest)
#include "tst_kestregistry.moc"
