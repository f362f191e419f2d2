// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxyrendererpositionrequest.h"
#include "kestproxyrendererpositionrequest_p.h"

#include "kestbusnames_p.h"
#include "kestcallbackhelper.h"
#include "kestproxyrenderer.h"

KestProxyRendererPositionRequestPrivate::KestProxyRendererPositionRequestPrivate(KestProxyRenderer *renderer,
                                                                                 const QString &method,
                                                                                 QObject *errorReceiver,
                                                                                 const char *errorMember,
                                                                                 QObject *receiver, const char *member)
    : KestProxyRendererRequestPrivate(renderer, method, errorReceiver, errorMember)
    , m_receiver(receiver)
    , m_member(member)
{
}

KestProxyRendererPositionRequest::KestProxyRendererPositionRequest(QObject *parent, KestProxyRenderer *renderer,
                                                                   const QString &method, QObject *errorReceiver,
                                                                   const char *errorMember, QObject *receiver,
                                                                   const char *member)
    : KestProxyRendererRequest(*new KestProxyRendererPositionRequestPrivate(renderer, method, errorReceiver,
                                                                            errorMember, receiver, member),
                               parent)
{
}

bool KestProxyRendererPositionRequest::call()
{
    Q_D(KestProxyRendererPositionRequest);
    if (!KestCallbackHelper::checkGetPositionCallback(d->m_receiver, d->m_member) || !hasValidErrorCallback())
        return refuseCall();
    return callRenderer(KestBusNames::rendererInterface(), SLOT(handleReply(uint)));
}

void KestProxyRendererPositionRequest::handleReply(uint position)
{
    Q_D(KestProxyRendererPositionRequest);
    const QPointer<KestProxyRendererRequest> self(this);
    KestCallbackHelper::invokeGetPositionCallback(d->m_renderer, position, d->m_receiver, d->m_member);
    complete(self);
}
