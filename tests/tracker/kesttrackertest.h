// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTTRACKERTEST_H
#define KESTTRACKERTEST_H

// What the tests of discovery share: the registry's contents, announcements from a peer, and a
// tracker beside a process that owns components.

#include "kestbusnames_p.h"
#include "kestregistrycleaner.h"
#include <kestshared.h>

#include "kesttestpeer.h"

#include <QSignalSpy>

#include <memory>

static const QString Plugin = QStringLiteral("p");

// What the registry holds, as sorted "kind id" texts joined with commas.
inline QString registeredIds()
{
    QStringList ids;
    KestRegistry *registry = KestRegistry::instance();
    for (KestRenderer *renderer : registry->renderers())
        ids << QStringLiteral("renderer ") + renderer->uuid();
    for (KestSource *source : registry->sources())
        ids << QStringLiteral("source ") + source->uuid();
    for (KestPlaylist *playlist : registry->playlists())
        ids << QStringLiteral("playlist ") + playlist->id();
    const QStringList plugins = registry->pluginControlInterfaces().keys();
    for (const QString &plugin : plugins)
        ids << QStringLiteral("plugin ") + plugin;
    ids.sort();
    return ids.join(QLatin1Char(','));
}

// Sends an announcement from \a peer, on the path and interface of its kind.
inline bool announce(KestTestPeer &peer, const char *member, const QVariantList &arguments)
{
    const QString signal = QLatin1String(member);
    if (signal == QLatin1String("playlist_created"))
        return peer.emitSignal(KestBusNames::playlistRootPath(), KestBusNames::playlistInterface(), signal, arguments);
    if (signal == QLatin1String("new_plugin"))
        return peer.emitSignal(QStringLiteral("/anywhere"), KestBusNames::pluginInterface(), signal, arguments);
    return peer.emitSignal(KestBusNames::registryPath(), KestBusNames::registryInterface(), signal, arguments);
}

struct TrackerFixture
{
    KestTestPeer owner;
    KestTestPeer announcer;
    QStringList extraNames;
    std::unique_ptr<KestShared> tracker;

    bool track(KestShared::TrackFlagSet flags)
    {
        tracker.reset(new KestShared(nullptr));
        return tracker->initialize(flags);
    }
    // Signals from one sender arrive in order: once this announcement of a renderer that the
    // owner owns is handled, so is all that the announcer sent before.
    bool announceOwnedRenderer(const QString &uuid, const QString &name = QStringLiteral("N"))
    {
        QSignalSpy added(KestRegistry::instance(), &KestRegistry::rendererAdded);
        extraNames << KestBusNames::rendererService(Plugin, uuid);
        return owner.requestName(extraNames.constLast()) && announce(announcer, "new_renderer", {Plugin, uuid, name})
            && added.wait();
    }
    bool cleanup()
    {
        tracker.reset();
        for (const QString &name : std::as_const(extraNames))
            owner.releaseName(name);
        extraNames.clear();
        return clearRegistry();
    }
};

#endif
