#include "kestproxyrendererpropertyrequest.h"

#include "kestbusnames_p.h"
#include "kestcallbackhelper.h"
#include "kestlogging_p.h"
#include "kestproxyrenderer.h"

KestProxyRendererPropertyRequest::KestProxyRendererPropertyRequest(QObject *parent, KestProxyRenderer *renderer,
                                                                   const QString &method, QObject *receiver,
                                                                   const char *member)
    : KestProxyRendererRequest(parent, renderer, method, receiver, member)
{
}

void KestProxyRendererPropertyRequest::setArguments(const QString &name)
{
    m_args.append(name);
}

bool KestProxyRendererPropertyRequest::call()
{
    return callRenderer(KestBusNames::extensionInterface(), SLOT(handleReply(QString, QDBusVariant)), m_args);
}

void KestProxyRendererPropertyRequest::handleReply(const QString &name, const QDBusVariant &dbusVariant)
{
    const QPointer<KestProxyRendererRequest> self(this);
    const QVariant value = dbusVariant.variant();
    m_renderer->setProperty(name.toLatin1().constData(), value);
    // The receiver pair carries the result, not only failures.
    if (!KestCallbackHelper::invoke(m_errorReceiver.data(), m_errorMember, name, value)) {
        qCCritical(lcKestRenderer) << "Callback slot invocation failed! (" << "m_errorReceiver="
                                   << m_errorReceiver.data() << "m_errorMember=" << m_errorMember << "name=" << name
                                   << "variant=" << value << ")";
    }
    complete(self);
}

void KestProxyRendererPropertyRequest::handleError(const QDBusError &error)
{
    const QPointer<KestProxyRendererRequest> self(this);
    qCWarning(lcKestRenderer) << "KestProxyRendererPropertyRequest: Error:" << error.message();
    const QString name = m_args.value(0).toString();
    if (!KestCallbackHelper::invoke(m_errorReceiver.data(), m_errorMember, name, QVariant())) {
        qCCritical(lcKestRenderer) << "Callback slot invocation failed! (" << "m_errorReceiver="
                                   << m_errorReceiver.data() << "m_errorMember=" << m_errorMember
                                   << "m_args.first().toString()=" << name << ")";
    }
    complete(self);
}
