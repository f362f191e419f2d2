// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlrenderercommand.h"

#include "kestctloptions.h"
#include "kestctloutput.h"
#include "kestctlvalue.h"

#include <qkest-shared/kestproxyrenderer.h>
#include <qkest-shared/kestproxyrenderermediainforequest.h>
#include <qkest-shared/kestproxyrendererplaybackrequest.h>
#include <qkest-shared/kestproxyrendererpositionrequest.h>
#include <qkest-shared/kestproxyrendererpropertyrequest.h>
#include <qkest-shared/kestproxyrendererstatusrequest.h>

#include <kestregistry.h>
#include <kestrenderer.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QMetaEnum>

#include <climits>

namespace {

// Commands and queries, with the number of arguments each takes.
struct Form
{
    const char *command;
    int least;
    int most;
};

const Form Forms[] = {
    {"play", 0, 2},
    {"pause", 0, 0},
    {"pause-at", 1, 1},
    {"resume", 0, 0},
    {"stop", 0, 0},
    {"next", 0, 0},
    {"previous", 0, 0},
    {"goto", 1, 1},
    {"seek", 1, 2},
    {"status", 0, 0},
    {"position", 0, 0},
    {"property", 1, 2},
    {"media-info", 0, INT_MAX},
};

} // namespace

bool KestCtlRendererCommand::parse(const QStringList &arguments, const KestCtlOptions &options)
{
    if (!acceptOptions(options, {}))
        return false;
    if (arguments.size() < 2)
        return usage(QStringLiteral("renderer needs a uuid and a command"));
    if (!readElement(arguments.at(0), QStringLiteral("renderer uuid"), &m_uuid))
        return false;
    const QString command = arguments.at(1);
    const QStringList rest = arguments.mid(2);
    for (const Form &form : Forms) {
        if (command != QLatin1String(form.command))
            continue;
        if (rest.size() < form.least || rest.size() > form.most)
            return usage(QStringLiteral("wrong number of arguments for renderer %1").arg(command));
        return parseCommand(command, rest);
    }
    return usage(QStringLiteral("unknown renderer command \"%1\"").arg(command));
}

bool KestCtlRendererCommand::parseCommand(const QString &command, const QStringList &arguments)
{
    uint number = 0;
    if (command == QLatin1String("play")) {
        if (arguments.isEmpty()) {
            m_method = QStringLiteral("play");
            return true;
        }
        m_method = QStringLiteral("play_uri");
        m_url = QUrl::fromUserInput(arguments.at(0), QDir::currentPath(), QUrl::AssumeLocalFile);
        if (!m_url.isValid())
            return usage(QStringLiteral("\"%1\" is not a URL").arg(arguments.at(0)));
        if (arguments.size() > 1 && !readUInt(arguments.at(1), QStringLiteral("position"), &number))
            return false;
        m_arguments << QVariant::fromValue(number);
    } else if (command == QLatin1String("pause-at") || command == QLatin1String("goto")) {
        m_method = command == QLatin1String("goto") ? QStringLiteral("goto_index") : QStringLiteral("pause_at");
        if (!readUInt(arguments.at(0),
                      command == QLatin1String("goto") ? QStringLiteral("index") : QStringLiteral("position"), &number))
            return false;
        m_arguments << QVariant::fromValue(number);
    } else if (command == QLatin1String("seek")) {
        m_method = QStringLiteral("set_position");
        int position = 0;
        int mode = QMetaEnum::fromType<KestRenderer::SeekMode>().value(0);
        if (!readInt(arguments.at(0), QStringLiteral("position"), &position)
            || (arguments.size() > 1 && !readSeekMode(arguments.at(1), &mode)))
            return false;
        m_arguments << QVariant::fromValue(position) << QVariant::fromValue(mode);
    } else if (command == QLatin1String("status")) {
        m_action = Status;
        m_method = QStringLiteral("get_status");
    } else if (command == QLatin1String("position")) {
        m_action = Position;
        m_method = QStringLiteral("get_position");
    } else if (command == QLatin1String("property")) {
        m_action = Property;
        m_method = QStringLiteral("get_extension_property");
        m_propertyName = arguments.at(0);
        if (arguments.size() > 1)
            m_propertyValue = KestCtlValue::fromText(arguments.at(1));
    } else if (command == QLatin1String("media-info")) {
        m_action = MediaInfo;
        m_method = QStringLiteral("get_current_media_info");
        m_mediaKeys = arguments;
    } else {
        // pause, resume, stop, next, previous: the bus method has the command's name.
        m_method = command;
    }
    return true;
}

bool KestCtlRendererCommand::readSeekMode(const QString &text, int *mode)
{
    const QMetaEnum modes = QMetaEnum::fromType<KestRenderer::SeekMode>();
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    QStringList names;
    for (int i = 0; i < modes.keyCount(); ++i) {
        // SeekRelative is "relative" (or "seekrelative").
        const QString key = QString::fromLatin1(modes.key(i)).toLower();
        const QString name = key.startsWith(QLatin1String("seek")) ? key.mid(4) : key;
        if (text == name || text == key || (isNumber && number == modes.value(i))) {
            *mode = modes.value(i);
            return true;
        }
        names << name;
    }
    return usage(
        QStringLiteral("seek mode \"%1\" is none of %2 or their numbers").arg(text, names.join(QStringLiteral(", "))));
}

QString KestCtlRendererCommand::stateName(int state)
{
    const char *key = QMetaEnum::fromType<KestRenderer::State>().valueToKey(state);
    return key ? QString::fromLatin1(key).toLower() : QStringLiteral("unknown");
}

void KestCtlRendererCommand::start()
{
    if (!initializeTracker(KestShared::TrackRenderers))
        return;
    KestRegistry *registry = KestRegistry::instance();
    auto *renderer = qobject_cast<KestProxyRenderer *>(registry->findRenderer(m_uuid));
    setComponent(QStringLiteral("renderer ") + m_uuid, renderer ? renderer->service() : QString());
    if (!renderer) {
        fail(ExitNoSuchComponent, QStringLiteral("not on the bus"));
        return;
    }
    connect(registry, &KestRegistry::rendererRemoved, this, [this, renderer](KestRenderer *removed) {
        if (removed == renderer)
            componentLeft();
    });

    // The proxy sends a new value without waiting for an answer; reading it back afterwards both
    // waits until the renderer has handled it and shows what the renderer made of it.
    if (m_action == Property && m_propertyValue.isValid())
        renderer->setKestProperty(m_propertyName, m_propertyValue);
    KestProxyRendererRequest *request = createRequest(renderer);
    expect(QStringLiteral("answer to ") + m_method);
    if (!request->call()) {
        renderer->completeRequest(request);
        fail(ExitFailed, QStringLiteral("could not send ") + m_method);
    }
}

KestProxyRendererRequest *KestCtlRendererCommand::createRequest(KestProxyRenderer *renderer)
{
    // The proxy's own commands and queries take no error member, so their failures would reach
    // nobody: the requests are made here, with one.
    const char *failed = SLOT(onError(KestRenderer *, KestError));
    switch (m_action) {
    case Playback: {
        auto *request = new KestProxyRendererPlaybackRequest(renderer, renderer, m_method, this, failed);
        if (m_url.isValid())
            request->appendArgument(m_url);
        for (const QVariant &argument : std::as_const(m_arguments))
            request->appendArgument(argument);
        return request;
    }
    case Status:
        return new KestProxyRendererStatusRequest(renderer, renderer, m_method, this, failed, this,
                                                  SLOT(onStatus(KestRenderer *, QString, uint, int, QString)));
    case Position:
        return new KestProxyRendererPositionRequest(renderer, renderer, m_method, this, failed, this,
                                                    SLOT(onPosition(KestRenderer *, uint)));
    case Property: {
        // Its member gets an invalid value when the read fails.
        auto *request = new KestProxyRendererPropertyRequest(renderer, renderer, m_method, this,
                                                             SLOT(onProperty(QString, QVariant)));
        request->setArguments(m_propertyName);
        return request;
    }
    case MediaInfo:
        // Asked of the renderer directly: the proxy only asks in a state that it has seen
        // announced, and a fresh proxy has seen none. Its failures reach nobody.
        return new KestProxyRendererMediaInfoRequest(renderer, renderer, m_method, this,
                                                     SLOT(onMediaInfo(KestRenderer *, KestMediaInfo)),
                                                     m_mediaKeys.join(QLatin1Char(',')));
    }
    return nullptr;
}

void KestCtlRendererCommand::onError(KestRenderer *, const KestError &error)
{
    // A query that has been answered is followed by a success notice (code 0).
    if (isConcluded())
        return;
    // A playback command's success notice comes here too, with code 0.
    if (m_action == Playback && error.code() == KestError::Success) {
        finish(ExitDone);
        return;
    }
    // Code 3 carries no code of the renderer's, only a text, often the bus's own.
    const QString reason = error.code() == KestError::GeneralFailure
        ? error.text()
        : QStringLiteral("%1: %2").arg(QString::number(error.code()), error.text());
    failUnlessGone(QStringLiteral("%1 failed: %2").arg(m_method, reason));
}

void KestCtlRendererCommand::onStatus(KestRenderer *, const QString &playlistId, uint playbackIndex, int playbackState,
                                      const QString &objectId)
{
    if (isConcluded())
        return;
    if (output().json()) {
        output().document(QJsonObject{{QStringLiteral("state"), playbackState},
                                      {QStringLiteral("stateName"), stateName(playbackState)},
                                      {QStringLiteral("index"), qint64(playbackIndex)},
                                      {QStringLiteral("objectId"), objectId},
                                      {QStringLiteral("playlistId"), playlistId}});
    } else {
        output().table({{QStringLiteral("state"), stateName(playbackState)},
                        {QStringLiteral("index"), QString::number(playbackIndex)},
                        {QStringLiteral("objectId"), objectId},
                        {QStringLiteral("playlist"), playlistId}});
    }
    finish(ExitDone);
}

void KestCtlRendererCommand::onPosition(KestRenderer *, uint position)
{
    if (isConcluded())
        return;
    if (output().json())
        output().document(QJsonObject{{QStringLiteral("position"), qint64(position)}});
    else
        output().line(QString::number(position));
    finish(ExitDone);
}

void KestCtlRendererCommand::onProperty(const QString &name, const QVariant &value)
{
    finishWithProperty(name, value);
}

void KestCtlRendererCommand::onMediaInfo(KestRenderer *, const KestMediaInfo &mediaInfo)
{
    if (isConcluded())
        return;
    // Media information without a uuid is how the library tells that the request failed.
    if (!mediaInfo.isValid()) {
        failUnlessGone(QStringLiteral("%1 failed").arg(m_method));
        return;
    }
    const KestMediaInfo::MetaData metaData = mediaInfo.metaData();
    QJsonObject metadata;
    QList<QStringList> rows{{QStringLiteral("uuid"), mediaInfo.uuid()}};
    for (auto it = metaData.cbegin(); it != metaData.cend(); ++it) {
        if (!m_mediaKeys.isEmpty() && !m_mediaKeys.contains(it.key()))
            continue;
        QJsonArray values;
        for (const QVariant &value : it.value()) {
            const QJsonValue json = KestCtlValue::toJson(value);
            values.append(json);
            rows.append({it.key(), KestCtlValue::toText(json.toVariant())});
        }
        metadata.insert(it.key(), values);
    }
    if (output().json())
        output().document(
            QJsonObject{{QStringLiteral("uuid"), mediaInfo.uuid()}, {QStringLiteral("metadata"), metadata}});
    else
        output().table(rows);
    finish(ExitDone);
}
