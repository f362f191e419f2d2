// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestdemo.h"

#include "kestbusnames_p.h"
#include <kestlocalplaylist.h>
#include <kestplugincontrolinterface.h>
#include <kestregistry.h>
#include <kestrenderer.h>
#include <kestshared.h>
#include <kestsource.h>

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <cstdio>
#include <memory>
#include <sys/prctl.h>

namespace {

const QString RendererUuid = QStringLiteral("demo_player");
const QString SourceUuid = QStringLiteral("demo_music");
const QString MinimalRendererUuid = QStringLiteral("minimal_player");
const QString MinimalSourceUuid = QStringLiteral("minimal_music");

void say(const QString &text)
{
    std::printf("%s\n", qPrintable(text));
    std::fflush(stdout);
}

QString stateName(int state)
{
    switch (state) {
    case KestRenderer::Stopped: return QStringLiteral("stopped");
    case KestRenderer::Playing: return QStringLiteral("playing");
    case KestRenderer::Paused: return QStringLiteral("paused");
    default: return QStringLiteral("state %1").arg(state);
    }
}

} // namespace

int KestDemo::runPublisher()
{
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    KestShared *tracker = KestShared::instance();
    if (!tracker->initialize(KestShared::TrackRenderers | KestShared::TrackSources))
        return 1;
    auto *playlist = new KestLocalPlaylist(playlistId(), QStringLiteral("Evening mix"), nullptr);
    const QStringList titles{QStringLiteral("Paper Moons"), QStringLiteral("Last Tram Home"),
                             QStringLiteral("Copper Wire")};
    for (const QString &title : titles) {
        KestContent item(QStringLiteral("song_") + QString::number(playlist->size() + 1));
        item.setMetaData(Metamap{{QStringLiteral("title"), title}});
        playlist->appendItem(item);
    }
    playlist->setCurrentIndex(1);
    if (!tracker->publishPlaylist(playlist)) {
        delete playlist;
        return 1;
    }
    return QCoreApplication::exec();
}

KestDemo::KestDemo() = default;

KestDemo::~KestDemo()
{
    m_publisher.terminate();
    m_publisher.waitForFinished();
}

bool KestDemo::waitFor(const std::function<bool()> &done, int timeout)
{
    const QDeadlineTimer deadline(timeout);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

int KestDemo::run()
{
    const bool ok = findComponents() && startPublisher() && driveRenderer() && browseSource() && useMinimalPlugin()
        && readPlaylist() && watchComponentsLeave();
    say(ok ? QStringLiteral("\nDone.") : QStringLiteral("\nThe demonstration stopped early."));
    return ok ? 0 : 1;
}

int KestDemo::serve(const QString &busAddress)
{
    if (!findComponents() || !startPublisher())
        return 1;
    say(QStringLiteral("\n== Serving until Ctrl-C. To reach these components from another terminal:"));
    say(QStringLiteral("   export DBUS_SESSION_BUS_ADDRESS='%1'").arg(busAddress));
    return QCoreApplication::exec();
}

bool KestDemo::startPublisher()
{
    say(QStringLiteral("\n== A second application publishes its playlist \"%1\"").arg(playlistId()));
    m_publisher.setProcessChannelMode(QProcess::ForwardedChannels);
    m_publisher.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--publish")});
    const QString service = KestBusNames::playlistService(playlistId());
    // Its announcement reaches the tracker, which registers a proxy for the playlist.
    if (!waitFor([] { return KestRegistry::instance()->findPlaylist(playlistId()); })) {
        say(QStringLiteral("The publisher's playlist did not appear."));
        return false;
    }
    say(QStringLiteral("   %1 is on the bus").arg(service));
    return true;
}

bool KestDemo::findComponents()
{
    say(QStringLiteral("\n== The tracker starts and activates the plugins"));
    KestRegistry *registry = KestRegistry::instance();
    connect(registry, &KestRegistry::rendererAdded, this, [](KestRenderer *renderer) {
        say(QStringLiteral("   + renderer %1 of plugin %2").arg(renderer->uuid(), renderer->pluginName()));
    });
    connect(registry, &KestRegistry::sourceAdded, this, [](KestSource *source) {
        say(QStringLiteral("   + source %1 of plugin %2").arg(source->uuid(), source->pluginName()));
    });
    connect(registry, &KestRegistry::playlistAdded, this,
            [](KestPlaylist *playlist) { say(QStringLiteral("   + playlist %1").arg(playlist->id())); });
    connect(registry, &KestRegistry::rendererRemoved, this,
            [](KestRenderer *renderer) { say(QStringLiteral("   - renderer %1").arg(renderer->uuid())); });
    connect(registry, &KestRegistry::sourceRemoved, this,
            [](KestSource *source) { say(QStringLiteral("   - source %1").arg(source->uuid())); });
    connect(registry, &KestRegistry::playlistRemoved, this,
            [](KestPlaylist *playlist) { say(QStringLiteral("   - playlist %1").arg(playlist->id())); });

    if (!KestShared::instance()->initTracking()) {
        say(QStringLiteral("The tracker could not start."));
        return false;
    }
    say(QStringLiteral("   plugin control interfaces: %1")
            .arg(registry->pluginControlInterfaces().keys().join(QStringLiteral(", "))));
    if (!waitFor([registry] {
            return registry->findRenderer(RendererUuid) && registry->findSource(SourceUuid)
                && registry->findRenderer(MinimalRendererUuid) && registry->findSource(MinimalSourceUuid);
        })) {
        say(QStringLiteral("The plugins' renderers and sources did not appear."));
        return false;
    }
    return true;
}

bool KestDemo::driveRenderer()
{
    KestRenderer *renderer = KestRegistry::instance()->findRenderer(RendererUuid);
    say(QStringLiteral("\n== Driving the renderer \"%1\" in the plugin process").arg(renderer->name()));
    connect(renderer, &KestRenderer::stateChanged, this, [this](KestRenderer::State state) {
        m_lastState = state;
        say(QStringLiteral("   signal: state changed to %1").arg(stateName(state)));
    });
    connect(renderer, &KestRenderer::mediaChanged, this, [](int index, const KestContent &content) {
        say(QStringLiteral("   signal: media %1 at %2").arg(content.uuid()).arg(index));
    });

    say(QStringLiteral("   play file:///music/Morning Tide.ogg"));
    renderer->play(QUrl(QStringLiteral("file:///music/Morning Tide.ogg")), 0);
    if (!waitFor([this] { return m_lastState == KestRenderer::Playing; }))
        return false;
    QEventLoop settle;
    QTimer::singleShot(300, &settle, &QEventLoop::quit);
    settle.exec();

    renderer->getStatus(this, SLOT(onStatus(KestRenderer *, QString, uint, int, QString)));
    renderer->getPosition(this, SLOT(onPosition(KestRenderer *, uint)));
    if (!waitFor([this] { return m_statusArrived && m_positionArrived; }))
        return false;

    say(QStringLiteral("   pause"));
    renderer->pause();
    return waitFor([this] { return m_lastState == KestRenderer::Paused; });
}

void KestDemo::onStatus(KestRenderer *, const QString &, uint, int playbackState, const QString &objectId)
{
    say(QStringLiteral("   status: %1, playing %2").arg(stateName(playbackState), objectId));
    m_statusArrived = true;
}

void KestDemo::onPosition(KestRenderer *, uint position)
{
    say(QStringLiteral("   position: %1 ms").arg(position));
    m_positionArrived = true;
}

bool KestDemo::browseSource()
{
    KestSource *source = KestRegistry::instance()->findSource(SourceUuid);
    say(QStringLiteral("\n== Browsing the source \"%1\"").arg(source->name()));
    connect(source, &KestSource::browseCompleted, this, [this] { m_browseCompleted = true; });
    const uint browseId = source->browse(QString(), QString(),
                                         {QStringLiteral("title"), QStringLiteral("artist"), QStringLiteral("track")},
                                         0, 4, this, SLOT(onBrowseResult(uint, QString, Metamap, uint, int)),
                                         SLOT(onBrowseError(uint, uint, QString)));
    if (browseId == 0) {
        say(QStringLiteral("The browse did not start."));
        return false;
    }
    if (!waitFor([this] { return m_browseCompleted; }))
        return false;
    say(QStringLiteral("   browse %1 completed with %2 rows").arg(browseId).arg(m_rowsArrived));
    return true;
}

// examples/minimalplugin: the smallest plugin process, written on KestShared's publishing API.
bool KestDemo::useMinimalPlugin()
{
    KestRegistry *registry = KestRegistry::instance();
    KestSource *source = registry->findSource(MinimalSourceUuid);
    KestRenderer *renderer = registry->findRenderer(MinimalRendererUuid);
    say(QStringLiteral("\n== The minimal plugin's \"%1\" and \"%2\"").arg(source->name(), renderer->name()));
    m_browseCompleted = false;
    m_rowsArrived = 0;
    connect(source, &KestSource::browseCompleted, this, [this] { m_browseCompleted = true; });
    source->browse(QString(), QString(), {QStringLiteral("title")}, 0, 0, this,
                   SLOT(onBrowseResult(uint, QString, Metamap, uint, int)), SLOT(onBrowseError(uint, uint, QString)));
    if (!waitFor([this] { return m_browseCompleted; }))
        return false;
    m_statusArrived = false;
    say(QStringLiteral("   play file:///music/Dusk.ogg"));
    renderer->play(QUrl(QStringLiteral("file:///music/Dusk.ogg")), 0);
    renderer->getStatus(this, SLOT(onStatus(KestRenderer *, QString, uint, int, QString)));
    return waitFor([this] { return m_statusArrived; });
}

void KestDemo::onBrowseResult(uint, const QString &objectId, const Metamap &metadata, uint index, int)
{
    ++m_rowsArrived;
    QString line = QStringLiteral("   %1. %2 - \"%3\"")
                       .arg(index)
                       .arg(objectId, metadata.value(QStringLiteral("title")).toString());
    if (metadata.contains(QStringLiteral("artist")))
        line += QStringLiteral(" by ") + metadata.value(QStringLiteral("artist")).toString();
    if (metadata.contains(QStringLiteral("track")))
        line += QStringLiteral(" (track %1)").arg(metadata.value(QStringLiteral("track")).toString());
    say(line);
}

void KestDemo::onBrowseError(uint browseId, uint errorCode, const QString &errorMessage)
{
    say(QStringLiteral("   browse %1 failed: %2 %3").arg(browseId).arg(errorCode).arg(errorMessage));
}

bool KestDemo::readPlaylist()
{
    KestRegistry *registry = KestRegistry::instance();
    KestPlaylist *playlist = registry->findPlaylist(playlistId());
    say(QStringLiteral("\n== Reading the other application's playlist through %1")
            .arg(QLatin1String(playlist->metaObject()->className())));
    say(QStringLiteral("   \"%1\": %2 items, current item %3")
            .arg(playlist->name())
            .arg(playlist->size())
            .arg(playlist->getCurrentIndex()));
    QAbstractItemModel *model = playlist->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        std::unique_ptr<KestContent> item(playlist->getItem(row));
        say(QStringLiteral("   %1. %2 (%3)")
                .arg(row)
                .arg(model->data(model->index(row, 0)).toString(), item ? item->uuid() : QString()));
    }
    say(QStringLiteral("   next after 0: %1").arg(playlist->getNext(0)));
    return true;
}

bool KestDemo::watchComponentsLeave()
{
    KestRegistry *registry = KestRegistry::instance();
    say(QStringLiteral("\n== The second application ends"));
    m_publisher.terminate();
    if (!waitFor([registry] { return !registry->findPlaylist(playlistId()); }))
        return false;

    say(QStringLiteral("\n== The plugin is deactivated"));
    registry->findPluginControlInterface(QStringLiteral("demo"))->deactivate();
    return waitFor([registry] { return !registry->findRenderer(RendererUuid) && !registry->findSource(SourceUuid); });
}
