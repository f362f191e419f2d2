// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxyrenderermediainforequest.h"
#include "kestproxyrenderermediainforequest_p.h"

#include "kestbusnames_p.h"
#include "kestcallbackhelper.h"
#include "kestlogging_p.h"
#include "kestmediainfodbus.h"
#include "kestproxyrenderer.h"

#include <QDBusMetaType>

KestProxyRendererMediaInfoRequestPrivate::KestProxyRendererMediaInfoRequestPrivate(
    KestProxyRenderer *renderer, const QString &method, QObject *receiver, const char *member, const QString &argument)
    : KestProxyRendererRequestPrivate(renderer, method, nullptr, nullptr)
    , m_receiver(receiver)
    , m_member(member)
    , m_argument(argument)
{
}

KestProxyRendererMediaInfoRequest::KestProxyRendererMediaInfoRequest(QObject *parent, KestProxyRenderer *renderer,
                                                                     const QString &method, QObject *receiver,
                                                                     const char *member, const QString &argument)
    : KestProxyRendererRequest(
        *new KestProxyRendererMediaInfoRequestPrivate(renderer, method, receiver, member, argument), parent)
{
    qDBusRegisterMetaType<KestMediaInfo>();
}

bool KestProxyRendererMediaInfoRequest::call()
{
    Q_D(KestProxyRendererMediaInfoRequest);
    if (!KestCallbackHelper::checkGetMediaInfoCallback(d->m_receiver, d->m_member))
        return refuseCall();
    return callRenderer(KestBusNames::rendererInterface(), SLOT(handleReply(KestMediaInfo)), {d->m_argument});
}

void KestProxyRendererMediaInfoRequest::handleReply(const KestMediaInfo &mediaInfo)
{
    Q_D(KestProxyRendererMediaInfoRequest);
    const QPointer<KestProxyRendererRequest> self(this);
    qCDebug(lcKestRenderer) << "void KestProxyRendererMediaInfoRequest::handleReply(const KestMediaInfo&)";
    // Whoever asked may be gone by now; the request is done either way.
    if (d->m_receiver)
        KestCallbackHelper::invokeGetMediaInfoCallback(d->m_renderer, mediaInfo, d->m_receiver, d->m_member);
    complete(self);
}

void KestProxyRendererMediaInfoRequest::handleError(const QDBusError &error)
{
    Q_D(KestProxyRendererMediaInfoRequest);
    const QPointer<KestProxyRendererRequest> self(this);
    qCWarning(lcKestRenderer) << "KestProxyRendererMediaInfoRequest: Error:" << error.message();
    // The request has no error member: without a call its caller would wait for ever.
    if (d->m_receiver)
        KestCallbackHelper::invokeGetMediaInfoCallback(d->m_renderer, KestMediaInfo(), d->m_receiver, d->m_member);
    complete(self);
}
