// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxyrendererplaybackrequest.h"
#include "kestproxyrendererplaybackrequest_p.h"

#include "kestbusnames_p.h"
#include "kestcallbackhelper.h"
#include "kestlogging_p.h"
#include "kestproxyrenderer.h"

KestProxyRendererPlaybackRequest::KestProxyRendererPlaybackRequest(QObject *parent, KestProxyRenderer *renderer,
                                                                   const QString &method, QObject *errorReceiver,
                                                                   const char *errorMember)
    : KestProxyRendererRequest(
        *new KestProxyRendererPlaybackRequestPrivate(renderer, method, errorReceiver, errorMember), parent)
{
}

void KestProxyRendererPlaybackRequest::appendArgument(const QString &value)
{
    qCDebug(lcKestRenderer) << "KestProxyRendererPlaybackRequest::appendArgument:" << value;
    d_func()->m_args.append(value);
}

void KestProxyRendererPlaybackRequest::appendArgument(const QUrl &url)
{
    qCDebug(lcKestRenderer) << "KestProxyRendererPlaybackRequest::appendArgument:" << url;
    d_func()->m_args.append(QString::fromLatin1(url.toEncoded()));
}

void KestProxyRendererPlaybackRequest::appendArgument(const QVariant &value)
{
    qCDebug(lcKestRenderer) << "KestProxyRendererPlaybackRequest::appendArgument:" << value;
    d_func()->m_args.append(value);
}

void KestProxyRendererPlaybackRequest::setArguments(const QList<QVariant> &arguments)
{
    qCDebug(lcKestRenderer) << "KestProxyRendererPlaybackRequest::setArguments url";
    d_func()->m_args = arguments;
}

bool KestProxyRendererPlaybackRequest::call()
{
    qCDebug(lcKestRenderer) << "KestProxyRendererPlaybackRequest::call";
    return callRenderer(KestBusNames::rendererInterface(), SLOT(handleReply()), d_func()->m_args);
}

void KestProxyRendererPlaybackRequest::handleReply()
{
    Q_D(KestProxyRendererPlaybackRequest);
    const QPointer<KestProxyRendererRequest> self(this);
    if (d->m_errorReceiver) {
        // Success travels through the error member, as code 0.
        KestError error(KestError::Success, tr("Playback request successful"));
        KestCallbackHelper::invokeErrorCallback(d->m_renderer, error, d->m_errorReceiver, d->m_errorMember);
    }
    complete(self);
}
