// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// A tiny application built against the installed library: it tracks, and publishes a renderer, a
// source and a plugin as a plugin process does. With --serve it keeps them on the bus for another
// process to drive and browse.

#include <kestcallbackhelper.h>
#include <kestcontent.h>
#include <kestplugincontrolinterface.h>
#include <kestregistry.h>
#include <kestrenderer.h>
#include <kestsource.h>
#include <qkest-shared/kestrendereradaptor.h>
#include <qkest-shared/kestshared.h>

#include <QCoreApplication>

#include <cstdio>

namespace {

class InstalledRenderer : public KestRenderer
{
public:
    InstalledRenderer()
        : KestRenderer(QStringLiteral("installed_renderer"), QStringLiteral("installed"))
    {
        m_name = QStringLiteral("Installed renderer");
    }
    bool getPosition(QObject *receiver, const char *member) override
    {
        return KestCallbackHelper::invokeGetPositionCallback(this, 42, receiver, member);
    }
};

class InstalledSource : public KestSource
{
public:
    InstalledSource()
        : KestSource(nullptr, QStringLiteral("installed_source"), QStringLiteral("installed"))
    {
        setName(QStringLiteral("Installed source"));
    }
    uint browse(const QString &, const QString &, const QStringList &, uint, uint, QObject *receiver,
                const char *resultSlot, const char *) override
    {
        KestCallbackHelper::invoke(receiver, resultSlot, 1u, QStringLiteral("installed_item"),
                                   Metamap{{QStringLiteral("title"), QStringLiteral("Installed item")}}, 0u, 0);
        return 1;
    }
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    KestShared *shared = KestShared::instance();
    const bool initialized = shared->initialize(KestShared::TrackRenderers | KestShared::TrackSources);
    InstalledRenderer renderer;
    InstalledSource source;
    KestPluginControlInterface control;
    const bool published = shared->publishRenderer(&renderer) && shared->publishSource(&source)
        && shared->publishPlugin(QStringLiteral("installed"), &control)
        && renderer.findChild<KestRendererAdaptor *>()->isPublished();
    std::printf("initialized=%d published=%d renderers=%d\n", initialized ? 1 : 0, published ? 1 : 0,
                int(KestRegistry::instance()->renderers().size()));
    std::fflush(stdout);
    if (app.arguments().contains(QStringLiteral("--serve")))
        return published ? app.exec() : 1;
    const bool unpublished = shared->unPublishRenderer(&renderer) && shared->unPublishSource(&source);
    return initialized && published && unpublished ? 0 : 1;
}
