// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlmonitorcommand.h"

#include "kestctloptions.h"
#include "kestctloutput.h"
#include "kestctlrenderercommand.h"
#include "kestctlvalue.h"

#include "kestbusnames_p.h"

#include <kestplaylist.h>
#include <kestplugincontrolinterface.h>
#include <kestregistry.h>
#include <kestrenderer.h>
#include <kestsource.h>

#include <QDynamicPropertyChangeEvent>
#include <QJsonObject>

bool KestCtlMonitorCommand::parse(const QStringList &arguments, const KestCtlOptions &options)
{
    if (!acceptOptions(options, {QStringLiteral("count")}))
        return false;
    if (!arguments.isEmpty())
        return usage(QStringLiteral("monitor takes no arguments"));
    if (options.commandOptions().contains(QStringLiteral("count"))
        && (!readUInt(options.value(QStringLiteral("count")), QStringLiteral("count"), &m_count) || m_count == 0))
        return usage(QStringLiteral("--count takes a number of events greater than 0"));
    return true;
}

void KestCtlMonitorCommand::interrupt(int)
{
    finish(ExitDone);
}

void KestCtlMonitorCommand::start()
{
    if (!initializeTracker(KestShared::TrackRenderers | KestShared::TrackSources | KestShared::TrackPlaylists
                           | KestShared::TrackPlugins | KestShared::TrackRendererSignals))
        return;
    KestRegistry *registry = KestRegistry::instance();
    // What is there already is not news; only its signals are.
    const QList<KestRenderer *> renderers = registry->renderers();
    for (KestRenderer *renderer : renderers)
        follow(renderer);
    const QList<KestSource *> sources = registry->sources();
    for (KestSource *source : sources)
        follow(source);

    connect(registry, &KestRegistry::rendererAdded, this, [this](KestRenderer *renderer) {
        reportRenderer(
            QStringLiteral("added"), renderer,
            {{QStringLiteral("plugin"), renderer->pluginName()},
             {QStringLiteral("name"), renderer->name()},
             {QStringLiteral("service"), KestBusNames::rendererService(renderer->pluginName(), renderer->uuid())}});
        follow(renderer);
    });
    connect(registry, &KestRegistry::rendererRemoved, this, [this](KestRenderer *renderer) {
        reportRenderer(QStringLiteral("removed"), renderer, {{QStringLiteral("plugin"), renderer->pluginName()}});
    });
    connect(registry, &KestRegistry::sourceAdded, this, [this](KestSource *source) {
        report(QStringLiteral("added"), QStringLiteral("source"), QStringLiteral("uuid"), source->uuid(),
               {{QStringLiteral("plugin"), source->pluginName()},
                {QStringLiteral("name"), source->name()},
                {QStringLiteral("service"), KestBusNames::sourceService(source->pluginName(), source->uuid())}});
        follow(source);
    });
    connect(registry, &KestRegistry::sourceRemoved, this, [this](KestSource *source) {
        report(QStringLiteral("removed"), QStringLiteral("source"), QStringLiteral("uuid"), source->uuid(),
               {{QStringLiteral("plugin"), source->pluginName()}});
    });
    connect(registry, &KestRegistry::playlistAdded, this, [this](KestPlaylist *playlist) {
        // After start-up the tracker learns of playlists only from playlist_created, whose values
        // the proxy holds. The name is read from the publisher, blocking for at most the reply
        // time-out, only when it announced none.
        const QString id = playlist->id();
        const QString name = playlist->name();
        report(QStringLiteral("added"), QStringLiteral("playlist"), QStringLiteral("id"), id,
               {{QStringLiteral("name"), name}, {QStringLiteral("service"), KestBusNames::playlistService(id)}});
        report(QStringLiteral("playlist_created"), QStringLiteral("playlist"), QStringLiteral("id"), id,
               {{QStringLiteral("name"), name},
                {QStringLiteral("size"), playlist->size()},
                {QStringLiteral("currentIndex"), playlist->getCurrentIndex()}});
    });
    connect(registry, &KestRegistry::playlistRemoved, this, [this](KestPlaylist *playlist) {
        report(QStringLiteral("removed"), QStringLiteral("playlist"), QStringLiteral("id"), playlist->id());
    });
    connect(registry, &KestRegistry::pluginControlInterfaceAdded, this, [this](const QString &plugin) {
        report(QStringLiteral("added"), QStringLiteral("plugin"), QStringLiteral("plugin"), plugin,
               {{QStringLiteral("service"), KestBusNames::pluginService(plugin)}});
    });
    connect(registry, &KestRegistry::pluginControlInterfaceRemoved, this, [this](const QString &plugin) {
        report(QStringLiteral("removed"), QStringLiteral("plugin"), QStringLiteral("plugin"), plugin);
    });
}

void KestCtlMonitorCommand::follow(KestRenderer *renderer)
{
    // States are numbers in JSON, with their names beside them, and names in text.
    connect(renderer, &KestRenderer::stateChanged, this, [this, renderer](KestRenderer::State state) {
        const QString name = KestCtlRendererCommand::stateName(state);
        const Fields fields = output().json()
            ? Fields{{QStringLiteral("state"), int(state)}, {QStringLiteral("stateName"), name}}
            : Fields{{QStringLiteral("state"), name}};
        reportRenderer(QStringLiteral("state_changed"), renderer, fields);
    });
    // The proxy hands over the registry's playlist of that id: one it does not know has no id left.
    connect(renderer, &KestRenderer::playlistChanged, this, [this, renderer](KestPlaylist *playlist) {
        reportRenderer(QStringLiteral("playlist_changed"), renderer,
                       {{QStringLiteral("playlistId"), playlist ? QVariant(playlist->id()) : QVariant()}});
    });
    connect(renderer, &KestRenderer::mediaChanged, this, [this, renderer](int index, const KestContent &content) {
        reportRenderer(QStringLiteral("media_changed"), renderer,
                       {{QStringLiteral("index"), index}, {QStringLiteral("objectId"), content.uuid()}});
    });
    connect(renderer, &KestRenderer::playbackCompleted, this,
            [this, renderer] { reportRenderer(QStringLiteral("playback_completed"), renderer); });
    connect(renderer, &KestRenderer::metadataChanged, this,
            [this, renderer](const QString &metadata, const QList<QVariant> &values) {
                reportRenderer(QStringLiteral("metadata_changed"), renderer,
                               {{QStringLiteral("metadata"), metadata}, {QStringLiteral("values"), values}});
            });
    connect(renderer, &KestRenderer::bufferingInfo, this, [this, renderer](float status) {
        reportRenderer(QStringLiteral("buffering_info"), renderer,
                       {{QStringLiteral("status"), KestCtlValue::fromFloat(status)}});
    });
    connect(renderer, &KestRenderer::scanningInfo, this, [this, renderer](float status) {
        reportRenderer(QStringLiteral("scanning_info"), renderer,
                       {{QStringLiteral("status"), KestCtlValue::fromFloat(status)}});
    });
    connect(renderer, &KestRenderer::error, this, [this, renderer](const KestError &error) {
        reportRenderer(QStringLiteral("error"), renderer,
                       {{QStringLiteral("code"), error.code()}, {QStringLiteral("message"), error.text()}});
    });
    renderer->installEventFilter(this);
}

void KestCtlMonitorCommand::follow(KestSource *source)
{
    connect(source, &KestSource::kestPropertyChanged, this, [this, source](const QString &name, const QVariant &value) {
        report(QStringLiteral("property_changed"), QStringLiteral("source"), QStringLiteral("uuid"), source->uuid(),
               {{QStringLiteral("name"), name}, {QStringLiteral("value"), value}});
    });
}

bool KestCtlMonitorCommand::eventFilter(QObject *watched, QEvent *event)
{
    // The renderer proxy has no signal for property_changed: it keeps the value as a dynamic
    // property, and Qt tells of every change of one.
    if (event->type() == QEvent::DynamicPropertyChange) {
        if (auto *renderer = qobject_cast<KestRenderer *>(watched)) {
            const QByteArray name = static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName();
            reportRenderer(QStringLiteral("property_changed"), renderer,
                           {{QStringLiteral("name"), QString::fromLatin1(name)},
                            {QStringLiteral("value"), renderer->property(name.constData())}});
        }
    }
    return KestCtlCommand::eventFilter(watched, event);
}

void KestCtlMonitorCommand::reportRenderer(const QString &event, KestRenderer *renderer, const Fields &fields)
{
    report(event, QStringLiteral("renderer"), QStringLiteral("uuid"), renderer->uuid(), fields);
}

void KestCtlMonitorCommand::report(const QString &event, const QString &kind, const QString &idKey, const QString &id,
                                   const Fields &fields)
{
    if (isConcluded())
        return;
    if (output().json()) {
        QJsonObject record{{QStringLiteral("event"), event}, {QStringLiteral("kind"), kind}, {idKey, id}};
        for (const auto &field : fields)
            record.insert(field.first, KestCtlValue::toJson(field.second));
        output().record(record);
    } else {
        QStringList words{event, kind, id};
        for (const auto &field : fields)
            words << field.first + QLatin1Char('=') + KestCtlValue::toWord(field.second);
        output().line(words.join(QLatin1Char(' ')));
    }
    if (m_count && ++m_events >= m_count)
        finish(ExitDone);
}
