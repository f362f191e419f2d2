// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestinternalregistry.h"

#include "kestregistry_p.h"

#include "kestplaylist.h"
#include "kestplugincontrolinterface.h"
#include "kestrenderer.h"
#include "kestsource.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

QPointer<KestInternalRegistry> s_registry;

// Deferred, so that an object removed from inside one of its own slots survives the slot.
// As a child of the registry it is still deleted if no event loop runs again.
void dispose(KestInternalRegistry *registry, QObject *object)
{
    object->setParent(registry);
    object->deleteLater();
}

} // namespace

KestInternalRegistry &KestInternalRegistry::internalInstance()
{
    if (!s_registry)
        s_registry = new KestInternalRegistry(QCoreApplication::instance());
    return *s_registry;
}

KestInternalRegistry::KestInternalRegistry(QObject *parent)
    : KestRegistry(parent)
{
}

KestInternalRegistry::~KestInternalRegistry() = default;

bool KestInternalRegistry::addRenderer(KestRenderer *renderer)
{
    if (!renderer || !d->renderers.add(renderer->uuid(), renderer))
        return false;
    Q_EMIT rendererAdded(renderer);
    return true;
}

bool KestInternalRegistry::addSource(KestSource *source)
{
    if (!source || !d->sources.add(source->uuid(), source))
        return false;
    Q_EMIT sourceAdded(source);
    return true;
}

bool KestInternalRegistry::addPlaylist(KestPlaylist *playlist)
{
    if (!playlist || !d->playlists.add(playlist->id(), playlist))
        return false;
    Q_EMIT playlistAdded(playlist);
    return true;
}

bool KestInternalRegistry::addPluginControlInterface(const QString &pluginName, KestPluginControlInterface *interface)
{
    if (!d->plugins.add(pluginName, interface))
        return false;
    Q_EMIT pluginControlInterfaceAdded(pluginName, interface);
    return true;
}

bool KestInternalRegistry::removeExtension(const QString &uuid)
{
    return removeRenderer(uuid) || removeSource(uuid);
}

bool KestInternalRegistry::removeRenderer(const QString &uuid)
{
    KestRenderer *renderer = takeRenderer(uuid);
    if (!renderer)
        return false;
    dispose(this, renderer);
    return true;
}

KestRenderer *KestInternalRegistry::takeRenderer(const QString &uuid)
{
    KestRenderer *renderer = d->renderers.take(uuid);
    if (renderer)
        Q_EMIT rendererRemoved(renderer);
    return renderer;
}

bool KestInternalRegistry::removeSource(const QString &uuid)
{
    KestSource *source = takeSource(uuid);
    if (!source)
        return false;
    dispose(this, source);
    return true;
}

KestSource *KestInternalRegistry::takeSource(const QString &uuid)
{
    KestSource *source = d->sources.take(uuid);
    if (source)
        Q_EMIT sourceRemoved(source);
    return source;
}

bool KestInternalRegistry::removePlaylist(const QString &id)
{
    KestPlaylist *playlist = takePlaylist(id);
    if (!playlist)
        return false;
    dispose(this, playlist);
    return true;
}

KestPlaylist *KestInternalRegistry::takePlaylist(const QString &id)
{
    KestPlaylist *playlist = d->playlists.take(id);
    if (playlist)
        Q_EMIT playlistRemoved(playlist);
    return playlist;
}

bool KestInternalRegistry::removePluginControlInterface(const QString &pluginName)
{
    KestPluginControlInterface *interface = d->plugins.take(pluginName);
    if (!interface)
        return false;
    Q_EMIT pluginControlInterfaceRemoved(pluginName, interface);
    dispose(this, interface);
    return true;
}
