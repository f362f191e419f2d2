// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestrendereradaptor.h"
#include "kestrendereradaptor_p.h"

#include "kestbusname_p.h"
#include "kestbusnames_p.h"
#include "kestdeferredreplies_p.h"
#include "kestextensionadaptor_p.h"
#include "kestlogging_p.h"
#include "kestmediainfodbus.h"
#include "kestrendererreply_p.h"
#include "kestserving_p.h"

#include <kestplaylist.h>
#include <kestregistry.h>
#include <kestrenderer.h>

#include <QDBusMetaType>
#include <QUrl>

namespace {
const QString What = QStringLiteral("The renderer");
} // namespace

KestRendererAdaptorPrivate::KestRendererAdaptorPrivate(KestRendererAdaptor *q, KestRenderer *renderer)
    : q(q)
    , m_renderer(renderer)
    , m_replies(new KestDeferredReplies(q, What))
{
}

KestRendererAdaptor::KestRendererAdaptor(KestRenderer &renderer)
    : QDBusAbstractAdaptor(&renderer)
    , d(new KestRendererAdaptorPrivate(this, &renderer))
{
    qDBusRegisterMetaType<KestMediaInfo>();
    d->m_extension = KestExtensionAdaptor::serve(&renderer, What);
}

KestRendererAdaptor::~KestRendererAdaptor()
{
    withdraw();
}

bool KestRendererAdaptor::init()
{
    if (isPublished())
        return true;
    const QString plugin = d->m_renderer->pluginName();
    const QString uuid = d->m_renderer->uuid();
    if (!KestBusName::isValidExtension(plugin, uuid)) {
        qCWarning(lcKestRenderer) << "KestRendererAdaptor: Invalid plugin name or uuid, not published:"
                                  << KestBusName::excerpt(plugin) << KestBusName::excerpt(uuid);
        return false;
    }
    if (!d->m_registration.registerAt(KestBusNames::rendererPath(uuid), KestBusNames::rendererService(plugin, uuid),
                                      d->m_renderer, "KestRendererAdaptor: The renderer"))
        return false;
    d->relaySignals();
    KestServing::emitSignal(KestBusNames::registryPath(), KestBusNames::registryInterface(),
                            QStringLiteral("new_renderer"), {plugin, uuid, d->m_renderer->name()});
    return true;
}

void KestRendererAdaptor::withdraw()
{
    QObject::disconnect(d->m_renderer, nullptr, this, nullptr);
    const QString why = QStringLiteral("The renderer has left the bus.");
    if (d->m_extension)
        d->m_extension->withdraw(why);
    d->m_registration.release();
    d->m_replies->refuseAll(why);
}

bool KestRendererAdaptor::isPublished() const
{
    return d->m_registration.isRegistered();
}

void KestRendererAdaptorPrivate::sendSignal(const char *member, const QList<QVariant> &arguments) const
{
    KestServing::emitSignal(m_registration.path(), KestBusNames::rendererInterface(), QLatin1String(member), arguments);
}

// Only while the renderer is on the bus under its own name and path: before, or after a refusal,
// the path may be another process's.
void KestRendererAdaptorPrivate::relaySignals()
{
    KestRenderer *renderer = m_renderer;
    QObject::connect(renderer, &KestRenderer::stateChanged, q,
                     [this](KestRenderer::State state) { sendSignal("state_changed", {int(state)}); });
    QObject::connect(renderer, &KestRenderer::mediaChanged, q, [this](int index, const KestContent &content) {
        sendSignal("media_changed", {index, content.uuid()});
    });
    QObject::connect(renderer, &KestRenderer::playlistChanged, q, [this](KestPlaylist *playlist) {
        sendSignal("playlist_changed", {playlist ? playlist->id() : QString()});
    });
    QObject::connect(renderer, &KestRenderer::playbackCompleted, q, [this] { sendSignal("playback_completed", {}); });
    QObject::connect(renderer, &KestRenderer::metadataChanged, q,
                     [this](const QString &metadata, const QList<QVariant> &values) {
                         // Each value in its place; what the bus cannot carry goes as an empty text.
                         QList<QVariant> wire;
                         for (const QVariant &value : values) {
                             const QVariant carried = KestServing::wireValue(value);
                             wire.append(carried.isValid() ? carried : QVariant(QString()));
                         }
                         sendSignal("metadata_changed", {metadata, QVariant::fromValue(wire)});
                     });
    QObject::connect(renderer, &KestRenderer::bufferingInfo, q,
                     [this](float status) { sendSignal("buffering_info", {double(status)}); });
    QObject::connect(renderer, &KestRenderer::scanningInfo, q,
                     [this](float status) { sendSignal("scanning_info", {double(status)}); });
    QObject::connect(renderer, &KestRenderer::error, q, [this](const KestError &error) {
        sendSignal("error", {int(error.code()), error.text()});
    });
    if (m_extension)
        m_extension->relay(m_registration.path(), true);
}

void KestRendererAdaptorPrivate::command(const QDBusMessage &message, bool accepted)
{
    if (!accepted)
        KestServing::refuse(message, QDBusError::Failed,
                            QStringLiteral("The renderer refused %1.").arg(message.member()));
}

QUrl KestRendererAdaptorPrivate::uri(const QString &text, const QDBusMessage &message)
{
    // The proxies send the encoded form.
    const QUrl url = QUrl::fromEncoded(text.toUtf8(), QUrl::StrictMode);
    if (url.isValid() && !url.isEmpty())
        return url;
    KestServing::refuse(message, QDBusError::InvalidArgs,
                        QStringLiteral("Not a URI: %1").arg(KestBusName::excerpt(text)));
    return QUrl();
}

void KestRendererAdaptor::play(const QDBusMessage &message)
{
    d->command(message, d->m_renderer->play());
}

void KestRendererAdaptor::play_uri(const QString &uri, uint value, const QDBusMessage &message)
{
    const QUrl url = d->uri(uri, message);
    if (!url.isEmpty())
        d->command(message, d->m_renderer->play(url, value));
}

void KestRendererAdaptor::play_uri_content_type(const QString &uri, const QString &contentType,
                                                const QDBusMessage &message)
{
    const QUrl url = d->uri(uri, message);
    if (!url.isEmpty())
        d->command(message, d->m_renderer->play(url, contentType));
}

void KestRendererAdaptor::stop(const QDBusMessage &message)
{
    d->command(message, d->m_renderer->stop());
}

void KestRendererAdaptor::pause(const QDBusMessage &message)
{
    d->command(message, d->m_renderer->pause());
}

void KestRendererAdaptor::pause_at(uint value, const QDBusMessage &message)
{
    d->command(message, d->m_renderer->pauseAt(value));
}

void KestRendererAdaptor::resume(const QDBusMessage &message)
{
    d->command(message, d->m_renderer->resume());
}

void KestRendererAdaptor::next(const QDBusMessage &message)
{
    d->command(message, d->m_renderer->next());
}

void KestRendererAdaptor::previous(const QDBusMessage &message)
{
    d->command(message, d->m_renderer->previous());
}

void KestRendererAdaptor::goto_index(uint index, const QDBusMessage &message)
{
    d->command(message, d->m_renderer->gotoIndex(index));
}

void KestRendererAdaptor::set_position(int position, int mode, const QDBusMessage &message)
{
    if (mode != KestRenderer::SeekAbsolute && mode != KestRenderer::SeekRelative) {
        KestServing::refuse(message, QDBusError::InvalidArgs, QStringLiteral("There is no seek mode %1.").arg(mode));
        return;
    }
    d->command(message, d->m_renderer->setPosition(position, KestRenderer::SeekMode(mode)));
}

void KestRendererAdaptor::assign_playlist(const QString &playlistId, const QDBusMessage &message)
{
    KestPlaylist *playlist = nullptr;
    if (!playlistId.isEmpty()) {
        playlist = KestBusName::isValidPlaylistId(playlistId) ? KestRegistry::instance()->findPlaylist(playlistId)
                                                              : nullptr;
        if (!playlist) {
            KestServing::refuse(message, QDBusError::InvalidArgs,
                                QStringLiteral("There is no playlist %1.").arg(KestBusName::excerpt(playlistId)));
            return;
        }
    }
    d->command(message, d->m_renderer->assignPlaylist(playlist));
}

void KestRendererAdaptor::get_status(const QDBusMessage &message)
{
    if (KestRendererReply *reply = d->m_replies->start<KestRendererReply>(message))
        d->m_replies->started(
            reply, d->m_renderer->getStatus(reply, SLOT(status(KestRenderer *, QString, uint, int, QString))),
            QStringLiteral("The renderer cannot tell its status."));
}

void KestRendererAdaptor::get_position(const QDBusMessage &message)
{
    if (KestRendererReply *reply = d->m_replies->start<KestRendererReply>(message))
        d->m_replies->started(reply, d->m_renderer->getPosition(reply, SLOT(position(KestRenderer *, uint))),
                              QStringLiteral("The renderer cannot tell its position."));
}

void KestRendererAdaptor::get_current_media_info(const QString &argument, const QDBusMessage &message)
{
    if (KestRendererReply *reply = d->m_replies->start<KestRendererReply>(message))
        d->m_replies->started(
            reply, d->m_renderer->getCurrentMediaInfo(reply, SLOT(mediaInfo(KestRenderer *, KestMediaInfo)), argument),
            QStringLiteral("The renderer has no media information."));
}
