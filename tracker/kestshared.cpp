// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestshared.h"

#include "distributedplaylistitem.h"
#include "kestbuildinfo_p.h"
#include "kestbuscall_p.h"
#include "kestlogging_p.h"
#include "kestplaylistadaptor.h"
#include "kestplaylistmodeladaptor.h"
#include "kestproxyplaylist.h"
#include "kestsharedprivate_p.h"
#include "playlistitem.h"

#include <kestinternalregistry.h>
#include <kestplaylist.h>

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDBusMetaType>
#include <QPointer>

namespace {
// Reset when the tracker is destroyed, so instance() never hands out a dangling pointer.
QPointer<KestShared> s_instance;
} // namespace

KestShared *KestShared::instance()
{
    if (!s_instance)
        s_instance = new KestShared(QCoreApplication::instance());
    return s_instance;
}

KestShared::KestShared(QObject *parent)
    : QObject(parent)
    , d(new KestSharedPrivate(this))
{
    qCDebug(lcKestTracker) << "kest-shared revision:" << QKEST_REVISION;
    qCDebug(lcKestTracker) << "kest-shared library builtime:" << QKEST_BUILD_TIME;

    qDBusRegisterMetaType<playlistItem>();
    qDBusRegisterMetaType<QList<playlistItem>>();
    qDBusRegisterMetaType<distributedPlaylistItem>();
    qDBusRegisterMetaType<QList<distributedPlaylistItem>>();
}

KestShared::~KestShared()
{
    qCDebug(lcKestTracker) << "KestShared::~KestShared";
}

bool KestShared::initialize(KestShared::TrackFlagSet flags)
{
    return d->initialize(flags);
}

bool KestShared::trackKestComponents(KestRegistry *)
{
    d->m_trackFlags |= TrackSources | TrackRenderers | TrackPlaylists;
    return initialize(d->m_trackFlags);
}

bool KestShared::initTracking(KestRegistry *)
{
    d->m_trackFlags |= TrackPlugins | TrackSources | TrackRenderers | TrackPlaylists | TrackRendererSignals
        | TrackPlaylistSignals;
    initialize(d->m_trackFlags);
    if (d->m_initialized)
        d->activatePlugins();
    return d->m_initialized;
}

bool KestShared::publishPlaylist(KestPlaylist *playlist)
{
    if (!d->m_initialized) {
        qCWarning(lcKestTracker) << "KestShared::publishPlaylist: must be initalized before calling publishPlaylist.";
        return false;
    }
    if (!playlist) {
        qCWarning(lcKestTracker) << "KestShared::publishPlaylist: Trying to publish NULL playlist.";
        return false;
    }
    KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
    if (registry.findPlaylist(playlist->id())) {
        qCWarning(lcKestTracker) << "KestShared::publishPlaylist: Playlist with given id exists in registry.";
        return false;
    }
    QAbstractItemModel *model = playlist->model();
    if (!model) {
        qCWarning(lcKestTracker) << "KestShared::publishPlaylist: Playlist has no model to expose.";
        return false;
    }

    // The adaptors are children of what they export and live as long as it does: Qt does not let
    // an adaptor be deleted on its own. A failed publication withdraws them instead, and a later
    // attempt on the same playlist uses them again.
    auto *playlistAdaptor = playlist->findChild<KestPlaylistAdaptor *>(QString(), Qt::FindDirectChildrenOnly);
    if (!playlistAdaptor)
        playlistAdaptor = new KestPlaylistAdaptor(*playlist);
    auto *modelAdaptor = model->findChild<KestPlaylistModelAdaptor *>(QString(), Qt::FindDirectChildrenOnly);
    if (!modelAdaptor)
        modelAdaptor = new KestPlaylistModelAdaptor(*model);
    if (!playlistAdaptor->init() || !modelAdaptor->init(playlist->id())) {
        playlistAdaptor->withdraw();
        modelAdaptor->withdraw();
        qCWarning(lcKestTracker) << "KestShared::publishPlaylist: Exposing the playlist over the DBus fails";
        return false;
    }
    if (!registry.addPlaylist(playlist)) {
        qCWarning(lcKestTracker) << "KestShared::publishPlaylist: Adding playlist to registry fails.";
        playlistAdaptor->withdraw();
        modelAdaptor->withdraw();
        return false;
    }
    return true;
}

bool KestShared::unPublishPlaylist(const QString &id)
{
    KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
    KestPlaylist *playlist = registry.findPlaylist(id);
    if (!playlist
        || qstrcmp(playlist->metaObject()->className(), KestProxyPlaylist::staticMetaObject.className()) == 0) {
        qCWarning(lcKestTracker) << "KestShared::unPublishPlaylist: Trying to unpublish QKestProxyPlaylist";
        return false;
    }
    // Off the bus at once, so that other processes see the playlist go now. The playlist itself
    // is the application's and stays alive: the registry only lets go of it.
    if (auto *adaptor = playlist->findChild<KestPlaylistAdaptor *>(QString(), Qt::FindDirectChildrenOnly))
        adaptor->withdraw();
    if (QAbstractItemModel *model = playlist->model()) {
        if (auto *adaptor = model->findChild<KestPlaylistModelAdaptor *>(QString(), Qt::FindDirectChildrenOnly))
            adaptor->withdraw();
    }
    registry.takePlaylist(id);
    return true;
}

void KestShared::connectToPlaylistsSignals()
{
    if (!d->m_initialized) {
        qCWarning(lcKestTracker) << "KestShared needs to be initialized before calling connectToPlaylistsSignals.";
        return;
    }
    d->m_connectPlaylistSignals = true;
    const QList<KestPlaylist *> playlists = KestRegistry::instance()->playlists();
    for (KestPlaylist *playlist : playlists) {
        auto *proxy = qobject_cast<KestProxyPlaylist *>(playlist);
        if (proxy && !proxy->connectToPlaylistSignals())
            qCCritical(lcKestTracker) << "KestShared: Connecting to playlist signals failed.";
    }
}

void KestShared::setReplyTimeout(int milliseconds)
{
    if (!KestBusCall::setTimeout(milliseconds))
        qCWarning(lcKestTracker) << "KestShared::setReplyTimeout: A reply time-out must be above 0, it stays at"
                                 << KestBusCall::timeout() << "ms; refused:" << milliseconds;
}

int KestShared::replyTimeout() const
{
    return KestBusCall::timeout();
}

bool KestShared::isInitialized() const
{
    return d->m_initialized;
}

KestShared::TrackFlagSet KestShared::trackFlags() const
{
    return d->m_trackFlags;
}
