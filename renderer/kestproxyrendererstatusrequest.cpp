#include "kestproxyrendererstatusrequest.h"

#include "kestbusnames_p.h"
#include "kestcallbackhelper.h"
#include "kestproxyrenderer.h"
#include "kestlogging_p.h"

KestProxyRendererStatusRequest::KestProxyRendererStatusRequest(QObject *parent, KestProxyRenderer *renderer,
                                                               const QString &method, QObject *errorReceiver,
                                                               const char *errorMember, QObject *receiver,
                                                               const char *member)
    : KestProxyRendererRequest(parent, renderer, method, errorReceiver, errorMember)
    , m_receiver(receiver)
    , m_member(member)
{
}

bool KestProxyRendererStatusRequest::call()
{
    qCDebug(lcKestRenderer) << "KestProxyRendererStatusRequest::call";
    if (!KestCallbackHelper::checkGetStatusCallback(m_receiver, m_member) || !hasValidErrorCallback())
        return refuseCall();
    return callRenderer(KestBusNames::rendererInterface(), SLOT(handleReply(QString, uint, int, QString)));
}

void KestProxyRendererStatusRequest::handleReply(const QString &playlistId, uint playbackIndex, int playbackState,
                                                 const QString &objectId)
{
    const QPointer<KestProxyRendererRequest> self(this);
    qCDebug(lcKestRenderer) << "KestProxyRendererStatusRequest::handleReply";
    KestCallbackHelper::invokeGetStatusCallback(m_renderer, playlistId, playbackIndex, playbackState, objectId,
                                                m_receiver, m_member);
    if (self && m_errorReceiver) {
        KestError success(KestError::Success, QString());
        KestCallbackHelper::invokeErrorCallback(m_renderer, success, m_errorReceiver, m_errorMember);
    }
    complete(self);
}
