#include "kestshared.h"

#include "distributedplaylistitem.h"
#include "kestbuildinfo_p.h"
#include "kestlogging_p.h"
#include "kestsharedprivate_p.h"
#include "playlistitem.h"

#include <QCoreApplication>
#include <QDBusMetaType>
#include <QPointer>

namespace {
// Reset when the tracker is destroyed, so instance() never hands out a dangling pointer.
QPointer<KestShared> s_instance;
}

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

bool KestShared::isInitialized() const
{
    return d->m_initialized;
}

KestShared::TrackFlagSet KestShared::trackFlags() const
{
    return d->m_trackFlags;
}
