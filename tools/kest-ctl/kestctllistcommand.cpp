// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctllistcommand.h"

#include "kestctlblockingguard.h"
#include "kestctloutput.h"
#include "kestctlprobe.h"

#include "kestbusname_p.h"
#include "kestbusnames_p.h"
#include <qkest-shared/kestproxyrenderer.h>
#include <qkest-shared/kestproxysource.h>

#include <kestplaylist.h>
#include <kestregistry.h>

#include <QAbstractItemModel>
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

    const KestRegistry *registry = KestRegistry::instance();
    const QString extension = KestBusNames::extensionInterface();
    const QList<KestRenderer *> renderers = registry->renderers();
    for (KestRenderer *renderer : renderers) {
        if (auto *proxy = qobject_cast<KestProxyRenderer *>(renderer))
            ask(proxy->service(), proxy->objectPath(), extension, QStringLiteral("get_name"));
    }
    const QList<KestSource *> sources = registry->sources();
    for (KestSource *source : sources) {
        if (auto *proxy = qobject_cast<KestProxySource *>(source))
            ask(proxy->serviceName(), proxy->objectPath(), extension, QStringLiteral("get_name"));
    }
    const QList<KestPlaylist *> playlists = registry->playlists();
    for (KestPlaylist *playlist : playlists) {
        ask(KestBusNames::playlistService(playlist->id()), KestBusNames::playlistPath(playlist->id()),
            KestBusNames::playlistInterface(), QStringLiteral("get_current"));
    }
    // The tracker asks the bus daemon for the activatable plugins, but does not tell.
    if (m_kinds & Plugins) {
        ask(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(), KestBusNames::busDaemonInterface(),
            QStringLiteral("ListActivatableNames"));
    }
    probeFinished();
}

void KestCtlListCommand::ask(const QString &service, const QString &path, const QString &interface,
                             const QString &member)
{
    auto *probe = new KestCtlProbe(QDBusMessage::createMethodCall(service, path, interface, member), timeout(), this);
    connect(probe, &KestCtlProbe::finished, this, &KestCtlListCommand::probeFinished);
    m_probes.insert(service, probe);
}

void KestCtlListCommand::probeFinished()
{
    for (const KestCtlProbe *probe : std::as_const(m_probes)) {
        if (probe->outcome() == KestCtlProbe::Pending)
            return;
    }
    if (isConcluded())
        return;
    // The proxies asked for their names before these questions went out, and a component answers
    // in order: the names are in by now. Components that left meanwhile are out of the registry.
    listExtensions();
    listPlaylists();
    listPlugins();
    if (output().json())
        output().document(m_objects);
    else
        output().table(m_rows);
    finish(m_silence ? ExitNoAnswer : ExitDone);
}

const KestCtlProbe *KestCtlListCommand::answer(const QString &service, const QString &component)
{
    const KestCtlProbe *probe = m_probes.value(service);
    if (!probe)
        return nullptr;
    const QDBusError error = probe->error();
    if (probe->outcome() == KestCtlProbe::Failed && KestCtlProbe::isNoOwnerError(error))
        return nullptr;
    if (probe->outcome() == KestCtlProbe::Silent || error.type() == QDBusError::NoReply) {
        m_silence = true;
        output().error(QStringLiteral("%1: no answer within %2").arg(component, timeoutText()));
    }
    return probe;
}

bool KestCtlListCommand::isResponsive(const KestCtlProbe *probe)
{
    return probe->outcome() == KestCtlProbe::Answered
        || (probe->outcome() == KestCtlProbe::Failed && probe->error().type() != QDBusError::NoReply);
}

void KestCtlListCommand::listExtensions()
{
    const KestRegistry *registry = KestRegistry::instance();
    const QList<KestRenderer *> renderers = byId(registry->renderers(), &KestRenderer::uuid);
    for (KestRenderer *renderer : renderers) {
        auto *proxy = qobject_cast<KestProxyRenderer *>(renderer);
        if (proxy && answer(proxy->service(), QStringLiteral("renderer ") + proxy->uuid()))
            addExtension(QStringLiteral("renderer"), proxy->pluginName(), proxy->uuid(), proxy->name(),
                         proxy->service());
    }
    const QList<KestSource *> sources = byId(registry->sources(), &KestSource::uuid);
    for (KestSource *source : sources) {
        auto *proxy = qobject_cast<KestProxySource *>(source);
        if (proxy && answer(proxy->serviceName(), QStringLiteral("source ") + proxy->uuid()))
            addExtension(QStringLiteral("source"), proxy->pluginName(), proxy->uuid(), proxy->name(),
                         proxy->serviceName());
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
    const QList<KestPlaylist *> playlists = byId(KestRegistry::instance()->playlists(), &KestPlaylist::id);
    for (KestPlaylist *playlist : playlists) {
        const QString id = playlist->id();
        const QString service = KestBusNames::playlistService(id);
        const QString component = QStringLiteral("playlist ") + id;
        const KestCtlProbe *probe = answer(service, component);
        if (!probe)
            continue;
        QString name;
        QJsonValue size;
        QJsonValue currentIndex;
        QString details = QStringLiteral("-");
        if (isResponsive(probe)) {
            // Both reads wait with the bus's default time-out; the publisher has just answered.
            const QString silence = QStringLiteral("%1: no answer within %2").arg(component, timeoutText());
            name = KestCtlBlockingGuard::bound(silence, timeout(), [playlist] { return playlist->name(); });
            const int rows = KestCtlBlockingGuard::bound(silence, timeout(),
                                                         [playlist] { return playlist->model()->rowCount(); });
            const QVariant current = probe->reply().arguments().value(0);
            const int index = current.isValid() ? current.toInt() : playlist->getCurrentIndex();
            size = rows;
            currentIndex = index;
            details = QStringLiteral("%1 items, current %2").arg(rows).arg(index);
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
    QStringList activatable;
    const KestCtlProbe *probe = m_probes.value(KestBusNames::busDaemonService());
    const QStringList names = probe ? probe->reply().arguments().value(0).toStringList() : QStringList();
    for (const QString &name : names) {
        const KestBusName busName(name);
        if (busName.isPlugin())
            activatable << busName.lastPiece();
    }
    const QStringList plugins = KestRegistry::instance()->pluginControlInterfaces().keys();
    for (const QString &plugin : plugins) {
        const QString service = KestBusNames::pluginService(plugin);
        const bool isActivatable = activatable.contains(plugin);
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
