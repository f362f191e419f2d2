#include "kestproxyrendererpositionrequest.h"

#include "kestbusnames_p.h"
#include "kestcallbackhelper.h"
#include "kestproxyrenderer.h"

KestProxyRendererPositionRequest::KestProxyRendererPositionRequest(QObject *parent, KestProxyRenderer *renderer,
                                                                   const QString &method, QObject *errorReceiver,
                                                                   const char *errorMember, QObject *receiver,
                                                                   const char *member)
    : KestProxyRendererRequest(parent, renderer, method, errorReceiver, errorMember)
    , m_receiver(receiver)
    , m_member(member)
{
}

bool KestProxyRendererPositionRequest::call()
{
    if (!KestCallbackHelper::checkGetPositionCallback(m_receiver, m_member) || !hasValidErrorCallback())
        return refuseCall();
    return callRenderer(KestBusNames::rendererInterface(), SLOT(handleReply(uint)));
}

void KestProxyRendererPositionRequest::handleReply(uint position)
{
    const QPointer<KestProxyRendererRequest> self(this);
    KestCallbackHelper::invokeGetPositionCallback(m_renderer, position, m_receiver, m_member);
    complete(self);
}
