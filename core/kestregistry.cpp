// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestregistry.h"

#include "kestinternalregistry.h"
#include "kestregistry_p.h"

#include "kestplaylist.h"
#include "kestplugincontrolinterface.h"
#include "kestrenderer.h"
#include "kestsource.h"

#include <QPointer>

QList<QPointer<QObject>> KestRegistryPrivate::allObjects() const
{
    QList<QPointer<QObject>> result;
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
    // Guarded: deleting one object may take another with it.
    const QList<QPointer<QObject>> objects = d->allObjects();
    for (const QPointer<QObject> &object : objects)
        delete object.data();
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
    d->plugins.forEach(
        [&result](const QString &name, KestPluginControlInterface *plugin) { result.insert(name, plugin); });
    return result;
}
