// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// A tiny application built against the installed library: it tracks, and publishes a renderer, a
// source and a plugin as a plugin process does.

#include <kestplugincontrolinterface.h>
#include <kestregistry.h>
#include <kestrenderer.h>
#include <kestsource.h>
#include <qkest-shared/kestrendereradaptor.h>
#include <qkest-shared/kestshared.h>

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    KestShared *shared = KestShared::instance();
    const bool initialized = shared->initialize(KestShared::TrackRenderers | KestShared::TrackSources);
    KestRenderer renderer(QStringLiteral("installed_renderer"), QStringLiteral("installed"));
    KestSource source(nullptr, QStringLiteral("installed_source"), QStringLiteral("installed"));
    KestPluginControlInterface control;
    const bool published = shared->publishRenderer(&renderer) && shared->publishSource(&source)
        && shared->publishPlugin(QStringLiteral("installed"), &control)
        && renderer.findChild<KestRendererAdaptor *>()->isPublished();
    std::printf("initialized=%d published=%d renderers=%d\n", initialized ? 1 : 0, published ? 1 : 0,
                int(KestRegistry::instance()->renderers().size()));
    const bool unpublished = shared->unPublishRenderer(&renderer) && shared->unPublishSource(&source);
    return initialized && published && unpublished ? 0 : 1;
}
