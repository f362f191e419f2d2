// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTTRACKERTEST_H
#define KESTTRACKERTEST_H

// What the tests of discovery share: the registry's contents, and announcements from a peer.

#include "kestbusnames_p.h"
#include "kestregistrycleaner.h"
#include <kestinternalregistry.h>
#include <kestplaylist.h>
#include <kestplugincontrolinterface.h>
#include <kestrenderer.h>
#include <kestsource.h>

#include "kesttestpeer.h"

#include <QPointer>
#include <QTest>

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

#endif
