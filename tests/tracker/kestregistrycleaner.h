// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTREGISTRYCLEANER_H
#define KESTREGISTRYCLEANER_H

#include <kestinternalregistry.h>
#include <kestplaylist.h>
#include <kestplugincontrolinterface.h>
#include <kestrenderer.h>
#include <kestsource.h>

#include <QPointer>
#include <QTest>

#include <algorithm>

// Empties the process's registry and waits until everything it held is deleted.
inline bool clearRegistry()
{
    KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
    QList<QPointer<QObject>> removed;
    for (KestRenderer *renderer : registry.renderers()) {
        removed << renderer;
        registry.removeRenderer(renderer->uuid());
    }
    for (KestSource *source : registry.sources()) {
        removed << source;
        registry.removeSource(source->uuid());
    }
    for (KestPlaylist *playlist : registry.playlists()) {
        removed << playlist;
        registry.removePlaylist(playlist->id());
    }
    const auto plugins = registry.pluginControlInterfaces();
    for (auto it = plugins.cbegin(); it != plugins.cend(); ++it) {
        removed << it.value();
        registry.removePluginControlInterface(it.key());
    }
    return QTest::qWaitFor([&removed] {
        return std::all_of(removed.cbegin(), removed.cend(), [](const QPointer<QObject> &o) { return o.isNull(); });
    });
}

#endif
