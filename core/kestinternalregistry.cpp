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

template<typename T>
bool adopt(KestInternalRegistry *registry, KestRegistryPrivate *d, KestRegistryStore<T> &store, const QString &key,
           T *object)
{
    if (!object || !store.add(key, object))
        return false;
    // An object deleted behind the registry's back simply leaves it.
    QObject::connect(object, &QObject::destroyed, registry, [d](QObject *gone) { d->forget(gone); });
    return true;
}

template<typename T>
T *release(KestInternalRegistry *registry, KestRegistryStore<T> &store, const QString &key)
{
    T *object = store.take(key);
    if (object)
        QObject::disconnect(object, nullptr, registry, nullptr);
    return object;
}

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
    if (!renderer || !adopt(this, d.get(), d->renderers, renderer->uuid(), renderer))
        return false;
    Q_EMIT rendererAdded(renderer);
    return true;
}

bool KestInternalRegistry::addSource(KestSource *source)
{
    if (!source || !adopt(this, d.get(), d->sources, source->uuid(), source))
        return false;
    Q_EMIT sourceAdded(source);
    return true;
}

bool KestInternalRegistry::addPlaylist(KestPlaylist *playlist)
{
    if (!playlist || !adopt(this, d.get(), d->playlists, playlist->id(), playlist))
        return false;
    Q_EMIT playlistAdded(playlist);
    return true;
}

bool KestInternalRegistry::addPluginControlInterface(const QString &pluginName, KestPluginControlInterface *interface)
{
    if (!adopt(this, d.get(), d->plugins, pluginName, interface))
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
    KestRenderer *renderer = release(this, d->renderers, uuid);
    if (!renderer)
        return false;
    Q_EMIT rendererRemoved(renderer);
    dispose(this, renderer);
    return true;
}

bool KestInternalRegistry::removeSource(const QString &uuid)
{
    KestSource *source = release(this, d->sources, uuid);
    if (!source)
        return false;
    Q_EMIT sourceRemoved(source);
    dispose(this, source);
    return true;
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
    KestPlaylist *playlist = release(this, d->playlists, id);
    if (playlist)
        Q_EMIT playlistRemoved(playlist);
    return playlist;
}

bool KestInternalRegistry::removePluginControlInterface(const QString &pluginName)
{
    KestPluginControlInterface *interface = release(this, d->plugins, pluginName);
    if (!interface)
        return false;
    Q_EMIT pluginControlInterfaceRemoved(pluginName, interface);
    dispose(this, interface);
    return true;
}
