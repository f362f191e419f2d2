#include "kestproxyrenderermediainforequest.h"

#include "kestbusnames_p.h"
#include "kestcallbackhelper.h"
#include "kestproxyrenderer.h"
#include "kestlogging_p.h"
#include "kestmediainfodbus.h"

#include <QDBusMetaType>

KestProxyRendererMediaInfoRequest::KestProxyRendererMediaInfoRequest(QObject *parent, KestProxyRenderer *renderer,
                                                                     const QString &method, QObject *receiver,
                                                                     const char *member, const QString &argument)
    : KestProxyRendererRequest(parent, renderer, method, nullptr, nullptr)
    , m_receiver(receiver)
    , m_member(member)
    , m_argument(argument)
{
    qDBusRegisterMetaType<KestMediaInfo>();
}

bool KestProxyRendererMediaInfoRequest::call()
{
    if (!KestCallbackHelper::checkGetMediaInfoCallback(m_receiver, m_member))
        return refuseCall();
    return callRenderer(KestBusNames::rendererInterface(), SLOT(handleReply(KestMediaInfo)), {m_argument});
}

void KestProxyRendererMediaInfoRequest::handleReply(const KestMediaInfo &mediaInfo)
{
    const QPointer<KestProxyRendererRequest> self(this);
    qCDebug(lcKestRenderer) << "void KestProxyRendererMediaInfoRequest::handleReply(const KestMediaInfo&)";
    // Whoever asked may be gone by now; the request is done either way.
    if (m_receiver)
        KestCallbackHelper::invokeGetMediaInfoCallback(m_renderer, mediaInfo, m_receiver, m_member);
    complete(self);
}
