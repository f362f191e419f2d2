// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestshared.h"

#include "distributedplaylistitem.h"
#include "kestbuildinfo_p.h"
#include "kestbuscall_p.h"
#include "kestbusnames_p.h"
#include "kestlogging_p.h"
#include "kestplaylistadaptor.h"
#include "kestplaylistmodeladaptor.h"
#include "kestpluginadaptor.h"
#include "kestproxyplaylist.h"
#include "kestrendereradaptor.h"
#include "kestsharedprivate_p.h"
#include "kestsourceadaptor.h"
#include "playlistitem.h"

#include <kestinternalregistry.h>
#include <kestplaylist.h>
#include <kestplugincontrolinterface.h>
#include <kestrenderer.h>
#include <kestsource.h>

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

namespace {

// What publishRenderer() and publishSource() share: the checks, the adaptor (created once; Qt
// does not let an adaptor be deleted on its own, a withdrawn one is used again) and the registry.
// The registry holds a published component under its uuid, so the tracker makes no proxy of it.
template<typename Component, typename Adaptor>
bool publishExtension(KestSharedPrivate *d, Component *component, const char *operation, const char *kind,
                      Component *(*registered)(const QString &), bool (*add)(Component *))
{
    if (!d->m_initialized) {
        qCWarning(lcKestTracker).nospace()
            << "KestShared::" << operation << ": The tracker must be initialized before publishing.";
        return false;
    }
    if (!component) {
        qCWarning(lcKestTracker).nospace()
            << "KestShared::" << operation << ": Trying to publish a null " << kind << ".";
        return false;
    }
    const QString plugin = component->pluginName();
    const QString uuid = component->uuid();
    if (!KestBusName::isValidExtension(plugin, uuid)) {
        qCWarning(lcKestTracker).nospace()
            << "KestShared::" << operation
            << ": Invalid plugin name or uuid, not published: " << KestBusName::excerpt(plugin) << " "
            << KestBusName::excerpt(uuid);
        return false;
    }
    if (registered(uuid)) {
        qCWarning(lcKestTracker).nospace() << "KestShared::" << operation << ": A " << kind << " with the uuid " << uuid
                                           << " is in the registry already.";
        return false;
    }
    auto *adaptor = component->template findChild<Adaptor *>(QString(), Qt::FindDirectChildrenOnly);
    if (!adaptor)
        adaptor = new Adaptor(*component);
    if (!adaptor->init()) {
        qCWarning(lcKestTracker).nospace()
            << "KestShared::" << operation << ": Exposing the " << kind << " over the bus fails.";
        return false;
    }
    if (!add(component)) {
        qCWarning(lcKestTracker).nospace()
            << "KestShared::" << operation << ": Adding the " << kind << " to the registry fails.";
        adaptor->withdraw();
        return false;
    }
    return true;
}

template<typename Component, typename Adaptor>
bool unPublishExtension(Component *component, const char *operation, Component *(*take)(const QString &))
{
    auto *adaptor = component ? component->template findChild<Adaptor *>(QString(), Qt::FindDirectChildrenOnly)
                              : nullptr;
    if (!adaptor || !adaptor->isPublished()) {
        qCWarning(lcKestTracker).nospace() << "KestShared::" << operation << ": It is not published.";
        return false;
    }
    // Off the bus at once, so that other processes see it go now; the object is the application's again.
    adaptor->withdraw();
    take(component->uuid());
    return true;
}

KestInternalRegistry &registry()
{
    return KestInternalRegistry::internalInstance();
}

} // namespace

bool KestShared::publishRenderer(KestRenderer *renderer)
{
    return publishExtension<KestRenderer, KestRendererAdaptor>(
        d.get(), renderer, "publishRenderer", "renderer",
        [](const QString &uuid) { return registry().findRenderer(uuid); },
        [](KestRenderer *renderer) { return registry().addRenderer(renderer); });
}

bool KestShared::unPublishRenderer(KestRenderer *renderer)
{
    return unPublishExtension<KestRenderer, KestRendererAdaptor>(
        renderer, "unPublishRenderer", [](const QString &uuid) { return registry().takeRenderer(uuid); });
}

bool KestShared::publishSource(KestSource *source)
{
    return publishExtension<KestSource, KestSourceAdaptor>(
        d.get(), source, "publishSource", "source", [](const QString &uuid) { return registry().findSource(uuid); },
        [](KestSource *source) { return registry().addSource(source); });
}

bool KestShared::unPublishSource(KestSource *source)
{
    return unPublishExtension<KestSource, KestSourceAdaptor>(source, "unPublishSource", [](const QString &uuid) {
        return registry().takeSource(uuid);
    });
}

bool KestShared::publishPlugin(const QString &pluginName, KestPluginControlInterface *control)
{
    if (!d->m_initialized) {
        qCWarning(lcKestTracker) << "KestShared::publishPlugin: The tracker must be initialized before publishing.";
        return false;
    }
    if (!control || !KestBusName::isValidPluginName(pluginName)) {
        qCWarning(lcKestTracker) << "KestShared::publishPlugin: A control interface and a valid plugin name are needed,"
                                 << "not published:" << KestBusName::excerpt(pluginName);
        return false;
    }
    if (d->m_publishedPlugins.value(pluginName)) {
        qCWarning(lcKestTracker) << "KestShared::publishPlugin: The plugin" << pluginName << "is published already.";
        return false;
    }
    KestPluginAdaptor *adaptor = nullptr;
    const QList<KestPluginAdaptor *> adaptors = control->findChildren<KestPluginAdaptor *>(QString(),
                                                                                           Qt::FindDirectChildrenOnly);
    for (KestPluginAdaptor *candidate : adaptors) {
        if (candidate->pluginName() == pluginName)
            adaptor = candidate;
    }
    if (!adaptor)
        adaptor = new KestPluginAdaptor(*control, pluginName);
    if (!adaptor->init()) {
        qCWarning(lcKestTracker) << "KestShared::publishPlugin: Exposing the plugin over the bus fails.";
        return false;
    }
    d->m_publishedPlugins.insert(pluginName, control);
    d->removePluginProxy(pluginName);
    return true;
}

bool KestShared::unPublishPlugin(const QString &pluginName)
{
    KestPluginControlInterface *control = d->m_publishedPlugins.take(pluginName);
    const QList<KestPluginAdaptor *> adaptors = control
        ? control->findChildren<KestPluginAdaptor *>(QString(), Qt::FindDirectChildrenOnly)
        : QList<KestPluginAdaptor *>();
    for (KestPluginAdaptor *adaptor : adaptors) {
        if (adaptor->pluginName() == pluginName && adaptor->isPublished()) {
            adaptor->withdraw();
            return true;
        }
    }
    qCWarning(lcKestTracker) << "KestShared::unPublishPlugin: The plugin" << KestBusName::excerpt(pluginName)
                             << "is not published.";
    return false;
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
