// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxyrendererstatusrequest.h"
#include "kestproxyrendererstatusrequest_p.h"

#include "kestbusnames_p.h"
#include "kestcallbackhelper.h"
#include "kestlogging_p.h"
#include "kestproxyrenderer.h"

KestProxyRendererStatusRequestPrivate::KestProxyRendererStatusRequestPrivate(KestProxyRenderer *renderer,
                                                                             const QString &method,
                                                                             QObject *errorReceiver,
                                                                             const char *errorMember, QObject *receiver,
                                                                             const char *member)
    : KestProxyRendererRequestPrivate(renderer, method, errorReceiver, errorMember)
    , m_receiver(receiver)
    , m_member(member)
{
}

KestProxyRendererStatusRequest::KestProxyRendererStatusRequest(QObject *parent, KestProxyRenderer *renderer,
                                                               const QString &method, QObject *errorReceiver,
                                                               const char *errorMember, QObject *receiver,
                                                               const char *member)
    : KestProxyRendererRequest(*new KestProxyRendererStatusRequestPrivate(renderer, method, errorReceiver, errorMember,
                                                                          receiver, member),
                               parent)
{
}

bool KestProxyRendererStatusRequest::call()
{
    Q_D(KestProxyRendererStatusRequest);
    qCDebug(lcKestRenderer) << "KestProxyRendererStatusRequest::call";
    if (!KestCallbackHelper::checkGetStatusCallback(d->m_receiver, d->m_member) || !hasValidErrorCallback())
        return refuseCall();
    return callRenderer(KestBusNames::rendererInterface(), SLOT(handleReply(QString, uint, int, QString)));
}

void KestProxyRendererStatusRequest::handleReply(const QString &playlistId, uint playbackIndex, int playbackState,
                                                 const QString &objectId)
{
    Q_D(KestProxyRendererStatusRequest);
    const QPointer<KestProxyRendererRequest> self(this);
    qCDebug(lcKestRenderer) << "KestProxyRendererStatusRequest::handleReply";
    KestCallbackHelper::invokeGetStatusCallback(d->m_renderer, playlistId, playbackIndex, playbackState, objectId,
                                                d->m_receiver, d->m_member);
    if (self && d->m_errorReceiver) {
        KestError success(KestError::Success, QString());
        KestCallbackHelper::invokeErrorCallback(d->m_renderer, success, d->m_errorReceiver, d->m_errorMember);
    }
    complete(self);
}
