#include "kestproxyrendererplaybackrequest.h"

#include "kestbusnames_p.h"
#include "kestcallbackhelper.h"
#include "kestproxyrenderer.h"
#include "kestlogging_p.h"

KestProxyRendererPlaybackRequest::KestProxyRendererPlaybackRequest(QObject *parent, KestProxyRenderer *renderer,
                                                                   const QString &method, QObject *errorReceiver,
                                                                   const char *errorMember)
    : KestProxyRendererRequest(parent, renderer, method, errorReceiver, errorMember)
{
}

void KestProxyRendererPlaybackRequest::appendArgument(const QString &value)
{
    qCDebug(lcKestRenderer) << "KestProxyRendererPlaybackRequest::appendArgument:" << value;
    m_args.append(value);
}

void KestProxyRendererPlaybackRequest::appendArgument(const QUrl &url)
{
    qCDebug(lcKestRenderer) << "KestProxyRendererPlaybackRequest::appendArgument:" << url;
    m_args.append(QString::fromLatin1(url.toEncoded()));
}

void KestProxyRendererPlaybackRequest::appendArgument(const QVariant &value)
{
    qCDebug(lcKestRenderer) << "KestProxyRendererPlaybackRequest::appendArgument:" << value;
    m_args.append(value);
}

void KestProxyRendererPlaybackRequest::setArguments(const QList<QVariant> &arguments)
{
    qCDebug(lcKestRenderer) << "KestProxyRendererPlaybackRequest::setArguments url";
    m_args = arguments;
}

bool KestProxyRendererPlaybackRequest::call()
{
    qCDebug(lcKestRenderer) << "KestProxyRendererPlaybackRequest::call";
    return callRenderer(KestBusNames::rendererInterface(), SLOT(handleReply()), m_args);
}

void KestProxyRendererPlaybackRequest::handleReply()
{
    const QPointer<KestProxyRendererRequest> self(this);
    if (m_errorReceiver) {
        // Success travels through the error member, as code 0.
        KestError error(KestError::Success, tr("Playback request successful"));
        KestCallbackHelper::invokeErrorCallback(m_renderer, error, m_errorReceiver, m_errorMember);
    }
    complete(self);
}
