#include "kestproxyrenderernamerequest.h"

#include "kestbusnames_p.h"
#include "kestcallbackhelper.h"
#include "kestlogging_p.h"

KestProxyRendererNameRequest::KestProxyRendererNameRequest(QObject *parent, KestProxyRenderer *renderer,
                                                           const QString &method, QObject *receiver,
                                                           const char *member, QObject *errorReceiver,
                                                           const char *errorMember)
    : KestProxyRendererRequest(parent, renderer, method, errorReceiver, errorMember)
    , m_receiver(receiver)
    , m_member(member)
{
}

bool KestProxyRendererNameRequest::call()
{
    return callRenderer(KestBusNames::extensionInterface(), SLOT(handleReply(QString)));
}

void KestProxyRendererNameRequest::handleReply(const QString &name)
{
    const QPointer<KestProxyRendererRequest> self(this);
    if (!KestCallbackHelper::invoke(m_receiver.data(), m_member, name))
        qCWarning(lcKestRenderer) << "Invoking the getName callback failed!";
    complete(self);
}
