// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxyrenderer.h"
#include "kestproxyrenderer_p.h"

#include "kestbusnames_p.h"
#include "kestinternalregistry.h"
#include "kestlogging_p.h"
#include "kestplaylist.h"
#include "kestproxyrenderermediainforequest.h"
#include "kestproxyrenderernamerequest.h"
#include "kestproxyrendererplaybackrequest.h"
#include "kestproxyrendererpositionrequest.h"
#include "kestproxyrendererpropertyrequest.h"
#include "kestproxyrendererstatusrequest.h"
#include "kestrenderersignalhub_p.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace {
// Not a state of KestRenderer: nothing has been heard from the remote renderer yet.
const int UnknownState = 100;
} // namespace

KestProxyRendererPrivate::KestProxyRendererPrivate(KestProxyRenderer *q, const KestInternalRegistry &registry)
    : q(q)
    , m_registry(&registry)
    , m_state(UnknownState)
{
}

KestProxyRenderer::KestProxyRenderer(const QString &uuid, const QString &pluginName,
                                     const KestInternalRegistry &registry, const QString &name, QObject *parent)
    : KestRenderer(uuid, pluginName, parent)
    , d(new KestProxyRendererPrivate(this, registry))
{
    // The bus library finds the types of slot parameters by name: property replies carry a
    // QDBusVariant.
    qRegisterMetaType<QDBusVariant>();
    m_name = name;
    d->m_service = KestBusNames::rendererService(m_pluginName, m_uuid);
    d->m_objectPath = KestBusNames::rendererPath(m_uuid);
    if (!getName())
        qCWarning(lcKestRenderer) << "Couldn't get name of the renderer!";
}

KestProxyRenderer::~KestProxyRenderer()
{
    // The requests still pending are children of this object and die with it.
    KestRendererSignalHub::remove(this);
}

bool KestProxyRenderer::connectToRendererSignals()
{
    if (!QDBusConnection::sessionBus().isConnected())
        return false;
    return KestRendererSignalHub::instance()->add(this);
}

bool KestProxyRenderer::getName()
{
    if (!m_name.isEmpty())
        return true;
    qCDebug(lcKestRenderer) << "KestProxyRenderer::getName";
    return d->issueRequest(new KestProxyRendererNameRequest(this, this, QStringLiteral("get_name"), this,
                                                            SLOT(getNameCallback(QString)), this,
                                                            SLOT(getNameErrorCallback(KestRenderer *, KestError))));
}

const QString &KestProxyRenderer::service() const
{
    return d->m_service;
}

const QString &KestProxyRenderer::objectPath() const
{
    return d->m_objectPath;
}

// Pending requests are the proxy's children: that is all the bookkeeping they need.
void KestProxyRenderer::completeRequest(KestProxyRendererRequest *request)
{
    delete request;
}

bool KestProxyRendererPrivate::issueRequest(KestProxyRendererRequest *request)
{
    if (request->call())
        return true;
    // Nothing went out, so no reply will ever complete it.
    q->completeRequest(request);
    return false;
}

KestProxyRendererPlaybackRequest *KestProxyRendererPrivate::playbackRequest(const QString &method)
{
    return new KestProxyRendererPlaybackRequest(q, q, method, nullptr, nullptr);
}

bool KestProxyRenderer::play()
{
    return d->issueRequest(d->playbackRequest(QStringLiteral("play")));
}

bool KestProxyRenderer::play(const QUrl &url, uint value)
{
    KestProxyRendererPlaybackRequest *request = d->playbackRequest(QStringLiteral("play_uri"));
    request->appendArgument(url);
    request->appendArgument(QVariant::fromValue(value));
    return d->issueRequest(request);
}

bool KestProxyRenderer::play(const QUrl &url, const QString &contentType)
{
    KestProxyRendererPlaybackRequest *request = d->playbackRequest(QStringLiteral("play_uri_content_type"));
    request->appendArgument(url);
    request->appendArgument(contentType);
    return d->issueRequest(request);
}

bool KestProxyRenderer::stop()
{
    return d->issueRequest(d->playbackRequest(QStringLiteral("stop")));
}

bool KestProxyRenderer::pause()
{
    return d->issueRequest(d->playbackRequest(QStringLiteral("pause")));
}

bool KestProxyRenderer::pauseAt(uint value)
{
    KestProxyRendererPlaybackRequest *request = d->playbackRequest(QStringLiteral("pause_at"));
    request->appendArgument(QVariant::fromValue(value));
    return d->issueRequest(request);
}

bool KestProxyRenderer::resume()
{
    return d->issueRequest(d->playbackRequest(QStringLiteral("resume")));
}

bool KestProxyRenderer::next()
{
    return d->issueRequest(d->playbackRequest(QStringLiteral("next")));
}

bool KestProxyRenderer::previous()
{
    return d->issueRequest(d->playbackRequest(QStringLiteral("previous")));
}

bool KestProxyRenderer::gotoIndex(uint index)
{
    KestProxyRendererPlaybackRequest *request = d->playbackRequest(QStringLiteral("goto_index"));
    request->appendArgument(QVariant::fromValue(index));
    return d->issueRequest(request);
}

bool KestProxyRenderer::setPosition(int position, KestRenderer::SeekMode mode)
{
    KestProxyRendererPlaybackRequest *request = d->playbackRequest(QStringLiteral("set_position"));
    request->appendArgument(QVariant::fromValue(position));
    request->appendArgument(QVariant::fromValue(int(mode)));
    return d->issueRequest(request);
}

bool KestProxyRenderer::assignPlaylist(KestPlaylist *playlist)
{
    qCDebug(lcKestRenderer) << "KestProxyRenderer::assignPlaylist.";
    if (!playlist)
        return false;
    KestProxyRendererPlaybackRequest *request = d->playbackRequest(QStringLiteral("assign_playlist"));
    request->appendArgument(playlist->id());
    return d->issueRequest(request);
}

void KestProxyRenderer::unassignPlaylist()
{
    qCDebug(lcKestRenderer) << "KestProxyRenderer::unassignPlaylist.";
    QDBusMessage message = QDBusMessage::createMethodCall(
        d->m_service, d->m_objectPath, KestBusNames::rendererInterface(), QStringLiteral("assign_playlist"));
    message << QString();
    if (!QDBusConnection::sessionBus().send(message))
        qCWarning(lcKestRenderer) << "Sending KEST_RENDERER_METHOD_ASSIGN_PLAYLIST fails.";
}

bool KestProxyRenderer::getStatus(QObject *receiver, const char *member)
{
    qCDebug(lcKestRenderer) << "KestProxyRenderer::getStatus";
    return d->issueRequest(
        new KestProxyRendererStatusRequest(this, this, QStringLiteral("get_status"), nullptr, "", receiver, member));
}

bool KestProxyRenderer::getPosition(QObject *receiver, const char *member)
{
    return d->issueRequest(new KestProxyRendererPositionRequest(this, this, QStringLiteral("get_position"), nullptr, "",
                                                                receiver, member));
}

bool KestProxyRenderer::getCurrentMediaInfo(QObject *receiver, const char *member, const QString &argument)
{
    if (d->m_state != Playing && d->m_state != Paused)
        return false;
    return d->issueRequest(new KestProxyRendererMediaInfoRequest(this, this, QStringLiteral("get_current_media_info"),
                                                                 receiver, member, argument));
}

bool KestProxyRenderer::kestProperty(QString &name, QObject *receiver, const char *member)
{
    auto *request = new KestProxyRendererPropertyRequest(this, this, QStringLiteral("get_extension_property"), receiver,
                                                         member);
    request->setArguments(name);
    return d->issueRequest(request);
}

bool KestProxyRenderer::setKestProperty(const QString &name, const QVariant &value)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // The local value follows when the renderer announces it with property_changed.
    QDBusMessage message = QDBusMessage::createMethodCall(
        d->m_service, d->m_objectPath, KestBusNames::extensionInterface(), QStringLiteral("set_extension_property"));
    message << name << QVariant::fromValue(QDBusVariant(value));
    bus.call(message, QDBus::NoBlock, -1);
    return true;
}

void KestProxyRenderer::getNameCallback(const QString &name)
{
    qCDebug(lcKestRenderer) << "KestProxyRenderer::getNameCallback";
    m_name = name;
    Q_EMIT nameChanged(name);
}

void KestProxyRenderer::getNameErrorCallback(KestRenderer *, const KestError &error)
{
    qCWarning(lcKestRenderer) << "KestProxyRenderer::getNameErrorCallback - Fetching the name failed (" << error.code()
                              << error.text() << ")";
    Q_EMIT KestRenderer::error(error);
}

void KestProxyRenderer::catchStateChangedSignal(int state)
{
    d->m_state = state;
    Q_EMIT stateChanged(KestRenderer::State(state));
    qCDebug(lcKestRenderer) << "Caught state_changed signal";
}

void KestProxyRenderer::catchPlaylistChangedSignal(const QString &playlistId)
{
    qCDebug(lcKestRenderer) << "Caught playlist_changed signal";
    KestPlaylist *playlist = playlistId.isEmpty() ? nullptr : d->m_registry->findPlaylist(playlistId);
    Q_EMIT playlistChanged(playlist);
}

void KestProxyRenderer::catchMediaChangedSignal(int index, const QString &objectId)
{
    qCDebug(lcKestRenderer) << "Caught mediaChanged signal";
    Q_EMIT mediaChanged(index, KestContent(objectId));
}

void KestProxyRenderer::catchPlaybackCompletedSignal()
{
    qCDebug(lcKestRenderer) << "void KestProxyRenderer::catchPlaybackCompletedSignal()";
    Q_EMIT playbackCompleted();
}

void KestProxyRenderer::catchMetadataChangedSignal(const QString &metadata, const QList<QVariant> &values)
{
    Q_EMIT metadataChanged(metadata, values);
}

void KestProxyRenderer::catchBufferingInfoSignal(double status)
{
    qCDebug(lcKestRenderer) << "KestProxyRenderer::catchBufferingInfoSignal, status =" << status;
    Q_EMIT bufferingInfo(float(status));
}

void KestProxyRenderer::catchScanningInfoSignal(double status)
{
    qCDebug(lcKestRenderer) << "KestProxyRenderer::catchScanningInfoSignal, status =" << status;
    Q_EMIT scanningInfo(float(status));
}

void KestProxyRenderer::catchPropertyChangedSignal(const QString &name, const QDBusVariant &value)
{
    qCDebug(lcKestRenderer) << "KestProxyRenderer::catchPropertyChangedSignal: " << name << " : " << value.variant();
    // The base store only: sending the value back to the renderer would echo it.
    KestRenderer::setKestProperty(name, value.variant());
}

void KestProxyRenderer::catchErrorSignal(int code, const QString &message)
{
    const KestError kestError(code, message);
    qCDebug(lcKestRenderer) << "KestProxyRenderer: Received error: " << kestError.toString();
    Q_EMIT error(kestError);
}
