// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxyrenderernamerequest.h"
#include "kestproxyrenderernamerequest_p.h"

#include "kestbusnames_p.h"
#include "kestcallbackhelper.h"
#include "kestlogging_p.h"

KestProxyRendererNameRequestPrivate::KestProxyRendererNameRequestPrivate(KestProxyRenderer *renderer,
                                                                         const QString &method, QObject *receiver,
                                                                         const char *member, QObject *errorReceiver,
                                                                         const char *errorMember)
    : KestProxyRendererRequestPrivate(renderer, method, errorReceiver, errorMember)
    , m_receiver(receiver)
    , m_member(member)
{
}

KestProxyRendererNameRequest::KestProxyRendererNameRequest(QObject *parent, KestProxyRenderer *renderer,
                                                           const QString &method, QObject *receiver, const char *member,
                                                           QObject *errorReceiver, const char *errorMember)
    : KestProxyRendererRequest(*new KestProxyRendererNameRequestPrivate(renderer, method, receiver, member,
                                                                        errorReceiver, errorMember),
                               parent)
{
}

bool KestProxyRendererNameRequest::call()
{
    return callRenderer(KestBusNames::extensionInterface(), SLOT(handleReply(QString)));
}

void KestProxyRendererNameRequest::handleReply(const QString &name)
{
    Q_D(KestProxyRendererNameRequest);
    const QPointer<KestProxyRendererRequest> self(this);
    if (!KestCallbackHelper::invoke(d->m_receiver.data(), d->m_member, name))
        qCWarning(lcKestRenderer) << "Invoking the getName callback failed!";
    complete(self);
}
