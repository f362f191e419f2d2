#include "kestproxysourcenamerequest.h"

#include "kestbusnames_p.h"
#include "kestlogging_p.h"
#include "kestproxysource.h"

#include <kestcallbackhelper.h>

#include <QDBusConnection>
#include <QDBusMessage>

KestProxySourceNameRequest::KestProxySourceNameRequest(QObject *parent, KestProxySource *source, const QString &method,
                                                       QObject *receiver, const char *slot)
    : QObject(parent)
    , source(source)
    , method(method)
    , receiver(receiver)
    , slot(slot)
{
}

bool KestProxySourceNameRequest::call()
{
    // Composed from the source's identity: the proxy's own names may not be set yet.
    const QDBusMessage message = QDBusMessage::createMethodCall(
        KestBusNames::sourceService(source->pluginName(), source->uuid()), KestBusNames::sourcePath(source->uuid()),
        KestBusNames::extensionInterface(), method);
    return QDBusConnection::sessionBus().callWithCallback(message, this, SLOT(handleReply(QString)),
                                                          SLOT(handleError(QDBusError)));
}

void KestProxySourceNameRequest::handleReply(const QString &name)
{
    // The callback may delete this request: nothing of it is touched afterwards.
    if (!KestCallbackHelper::invoke(receiver.data(), slot, name))
        qCWarning(lcKestSource) << "Invoking the getName callback failed!";
}

void KestProxySourceNameRequest::handleError(const QDBusError &error)
{
    qCWarning(lcKestSource) << "Invoking method " << method << " failed!";
    qCWarning(lcKestSource) << "Cause:" << error;
}
