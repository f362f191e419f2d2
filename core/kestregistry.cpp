#include "kestregistry.h"

#include "kestinternalregistry.h"
#include "kestregistry_p.h"

#include "kestplaylist.h"
#include "kestplugincontrolinterface.h"
#include "kestrenderer.h"
#include "kestsource.h"

QList<QObject *> KestRegistryPrivate::allObjects() const
{
    QList<QObject *> result;
    for (KestRenderer *renderer : renderers.objects())
        result.append(renderer);
    for (KestSource *source : sources.objects())
        result.append(source);
    for (KestPlaylist *playlist : playlists.objects())
        result.append(playlist);
    for (KestPluginControlInterface *plugin : plugins.objects())
        result.append(plugin);
    return result;
}

KestRegistry *KestRegistry::instance()
{
    return &KestInternalRegistry::internalInstance();
}

KestRegistry::KestRegistry(QObject *parent)
    : QObject(parent)
    , d(new KestRegistryPrivate)
{
}

KestRegistry::~KestRegistry()
{
    const QList<QObject *> objects = d->allObjects();
    for (QObject *object : objects) {
        disconnect(object, nullptr, this, nullptr);
        delete object;
    }
}

KestSource *KestRegistry::findSource(const QString &uuid) const
{
    return d->sources.find(uuid);
}

KestRenderer *KestRegistry::findRenderer(const QString &uuid) const
{
    return d->renderers.find(uuid);
}

KestPlaylist *KestRegistry::findPlaylist(const QString &id) const
{
    return d->playlists.find(id);
}

KestPluginControlInterface *KestRegistry::findPluginControlInterface(const QString &pluginName) const
{
    return d->plugins.find(pluginName);
}

QList<KestRenderer *> KestRegistry::renderers() const
{
    return d->renderers.objects();
}

QList<KestSource *> KestRegistry::sources() const
{
    return d->sources.objects();
}

QList<KestPlaylist *> KestRegistry::playlists() const
{
    return d->playlists.objects();
}

QMap<QString, KestPluginControlInterface *> KestRegistry::pluginControlInterfaces() const
{
    QMap<QString, KestPluginControlInterface *> result;
    for (const auto &entry : d->plugins.entries())
        result.insert(entry.first, entry.second);
    return result;
}
