// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctllistcommand.h"

#include "kestctloutput.h"

#include "kestbusname_p.h"
#include "kestbusnames_p.h"
#include <qkest-shared/kestproxyplaylist.h>

#include <kestregistry.h>
#include <kestrenderer.h>
#include <kestsource.h>

#include <QJsonObject>

#include <algorithm>

namespace {

QJsonValue nameOrNull(const QString &name)
{
    return name.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(name);
}

QString nameOrDash(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("-") : name;
}

// The registry keeps the order in which the bus daemon happened to list the names.
template<typename Component>
QList<Component *> byId(QList<Component *> components, QString (Component::*id)() const)
{
    std::sort(components.begin(), components.end(),
              [id](const Component *a, const Component *b) { return (a->*id)() < (b->*id)(); });
    return components;
}

} // namespace

bool KestCtlListCommand::parse(const QStringList &arguments, const KestCtlOptions &options)
{
    if (!acceptOptions(options, {}))
        return false;
    if (arguments.size() > 1)
        return usage(QStringLiteral("list takes at most one kind of component"));
    if (arguments.isEmpty())
        return true;
    const QString kind = arguments.at(0);
    if (kind == QLatin1String("renderers"))
        m_kinds = Renderers;
    else if (kind == QLatin1String("sources"))
        m_kinds = Sources;
    else if (kind == QLatin1String("playlists"))
        m_kinds = Playlists;
    else if (kind == QLatin1String("plugins"))
        m_kinds = Plugins;
    else
        return usage(QStringLiteral("list shows renderers, sources, playlists or plugins, not \"%1\"").arg(kind));
    return true;
}

void KestCtlListCommand::start()
{
    KestShared::TrackFlagSet flags;
    flags.setFlag(KestShared::TrackRenderers, m_kinds & Renderers);
    flags.setFlag(KestShared::TrackSources, m_kinds & Sources);
    flags.setFlag(KestShared::TrackPlaylists, m_kinds & Playlists);
    flags.setFlag(KestShared::TrackPlugins, m_kinds & Plugins);
    if (!initializeTracker(flags))
        return;

    expect(QStringLiteral("answer"));
    awaitRenderers();
    awaitSources();
    awaitPlaylists();
    // The tracker asks the bus daemon for the activatable plugins, but does not tell.
    if (m_kinds & Plugins) {
        askBusDaemon(QStringLiteral("ListActivatableNames"), {}, [this](const QDBusMessage &reply) {
            const QStringList names = reply.arguments().value(0).toStringList();
            for (const QString &name : names) {
                const KestBusName busName(name);
                if (busName.isPlugin())
                    m_activatable << busName.lastPiece();
            }
            m_pluginsListed = true;
            printIfComplete();
        });
    }
    printIfComplete();
}

void KestCtlListCommand::awaitRenderers()
{
    const KestRegistry *registry = KestRegistry::instance();
    m_renderers = byId(registry->renderers(), &KestRenderer::uuid);
    for (KestRenderer *renderer : std::as_const(m_renderers)) {
        // A renderer proxy tells its name when it comes, or the error that came instead.
        if (!renderer->name().isEmpty())
            continue;
        m_awaited.insert(renderer);
        connect(renderer, &KestRenderer::nameChanged, this, [this, renderer] { answered(renderer); });
        connect(renderer, &KestRenderer::error, this, [this, renderer] { answered(renderer); });
    }
    connect(registry, &KestRegistry::rendererRemoved, this, [this](KestRenderer *renderer) {
        m_renderers.removeOne(renderer);
        answered(renderer);
    });
}

void KestCtlListCommand::awaitSources()
{
    const KestRegistry *registry = KestRegistry::instance();
    m_sources = byId(registry->sources(), &KestSource::uuid);
    for (KestSource *source : std::as_const(m_sources)) {
        if (!source->name().isEmpty())
            continue;
        m_awaited.insert(source);
        connect(source, &KestSource::nameChanged, this, [this, source] { answered(source); });
    }
    connect(registry, &KestRegistry::sourceRemoved, this, [this](KestSource *source) {
        m_sources.removeOne(source);
        answered(source);
    });
}

void KestCtlListCommand::awaitPlaylists()
{
    const KestRegistry *registry = KestRegistry::instance();
    m_playlists = byId(registry->playlists(), &KestPlaylist::id);
    for (KestPlaylist *playlist : std::as_const(m_playlists)) {
        // The tracker has asked each playlist it found for its size, current index and name, in this
        // order, and a publisher answers in order: the name comes last.
        if (auto *proxy = qobject_cast<KestProxyPlaylist *>(playlist)) {
            m_awaited.insert(proxy);
            connect(proxy, &KestProxyPlaylist::nameChanged, this, [this, proxy] { answered(proxy); });
        }
    }
    connect(registry, &KestRegistry::playlistRemoved, this, [this](KestPlaylist *playlist) {
        m_playlists.removeOne(playlist);
        answered(playlist);
    });
}

void KestCtlListCommand::answered(const QObject *component)
{
    m_awaited.remove(component);
    printIfComplete();
}

void KestCtlListCommand::printIfComplete()
{
    if (!isConcluded() && m_awaited.isEmpty() && (m_pluginsListed || !(m_kinds & Plugins)))
        print();
}

void KestCtlListCommand::timedOut()
{
    print();
}

void KestCtlListCommand::print()
{
    listExtensions();
    listPlaylists();
    listPlugins();
    if (output().json())
        output().document(m_objects);
    else
        output().table(m_rows);
    finish(m_awaited.isEmpty() ? ExitDone : ExitNoAnswer);
}

bool KestCtlListCommand::hasAnswered(const QObject *component, const QString &name)
{
    if (!m_awaited.contains(component))
        return true;
    output().error(QStringLiteral("%1: no answer within %2").arg(name, timeoutText()));
    return false;
}

void KestCtlListCommand::listExtensions()
{
    // A component that has not answered has no name yet.
    for (KestRenderer *renderer : std::as_const(m_renderers)) {
        const QString uuid = renderer->uuid();
        hasAnswered(renderer, QStringLiteral("renderer ") + uuid);
        addExtension(QStringLiteral("renderer"), renderer->pluginName(), uuid, renderer->name(),
                     KestBusNames::rendererService(renderer->pluginName(), uuid));
    }
    for (KestSource *source : std::as_const(m_sources)) {
        const QString uuid = source->uuid();
        hasAnswered(source, QStringLiteral("source ") + uuid);
        addExtension(QStringLiteral("source"), source->pluginName(), uuid, source->name(),
                     KestBusNames::sourceService(source->pluginName(), uuid));
    }
}

void KestCtlListCommand::addExtension(const QString &kind, const QString &plugin, const QString &uuid,
                                      const QString &name, const QString &service)
{
    add(QJsonObject{{QStringLiteral("kind"), kind},
                    {QStringLiteral("plugin"), plugin},
                    {QStringLiteral("uuid"), uuid},
                    {QStringLiteral("name"), nameOrNull(name)},
                    {QStringLiteral("service"), service}},
        {kind, uuid, nameOrDash(name), QStringLiteral("plugin ") + plugin, service});
}

void KestCtlListCommand::listPlaylists()
{
    for (KestPlaylist *playlist : std::as_const(m_playlists)) {
        const QString id = playlist->id();
        const QString service = KestBusNames::playlistService(id);
        QString name;
        QJsonValue size;
        QJsonValue currentIndex;
        QString details = QStringLiteral("-");
        // Only then is the name known: otherwise reading it would ask again, blocking.
        if (hasAnswered(playlist, QStringLiteral("playlist ") + id)) {
            name = playlist->name();
            size = playlist->size();
            currentIndex = playlist->getCurrentIndex();
            details = QStringLiteral("%1 items, current %2").arg(size.toInt()).arg(currentIndex.toInt());
        }
        add(QJsonObject{{QStringLiteral("kind"), QStringLiteral("playlist")},
                        {QStringLiteral("id"), id},
                        {QStringLiteral("name"), nameOrNull(name)},
                        {QStringLiteral("size"), size},
                        {QStringLiteral("currentIndex"), currentIndex},
                        {QStringLiteral("service"), service}},
            {QStringLiteral("playlist"), id, nameOrDash(name), details, service});
    }
}

void KestCtlListCommand::listPlugins()
{
    if (!(m_kinds & Plugins))
        return;
    const QStringList plugins = KestRegistry::instance()->pluginControlInterfaces().keys();
    for (const QString &plugin : plugins) {
        const QString service = KestBusNames::pluginService(plugin);
        const bool isActivatable = m_activatable.contains(plugin);
        add(QJsonObject{{QStringLiteral("kind"), QStringLiteral("plugin")},
                        {QStringLiteral("plugin"), plugin},
                        {QStringLiteral("service"), service},
                        {QStringLiteral("activatable"), isActivatable}},
            {QStringLiteral("plugin"), plugin, QStringLiteral("-"),
             isActivatable ? QStringLiteral("activatable") : QStringLiteral("-"), service});
    }
}

void KestCtlListCommand::add(const QJsonObject &object, const QStringList &row)
{
    m_objects.append(object);
    m_rows.append(row);
}
