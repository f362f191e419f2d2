// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxyrendererrequest.h"
#include "kestproxyrendererrequest_p.h"

#include "kestbuscall_p.h"
#include "kestcallbackhelper.h"
#include "kestlogging_p.h"
#include "kestproxyrenderer.h"

#include <QDBusConnection>
#include <QDBusMessage>

KestProxyRendererRequestPrivate::KestProxyRendererRequestPrivate(KestProxyRenderer *renderer, const QString &method,
                                                                 QObject *errorReceiver, const char *errorMember)
    : m_renderer(renderer)
    , m_method(method)
    , m_errorReceiver(errorReceiver)
    , m_errorMember(errorMember)
{
}

KestProxyRendererRequestPrivate::~KestProxyRendererRequestPrivate() = default;

KestProxyRendererRequest::KestProxyRendererRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method,
                                                   QObject *errorReceiver, const char *errorMember)
    : KestProxyRendererRequest(*new KestProxyRendererRequestPrivate(renderer, method, errorReceiver, errorMember),
                               parent)
{
}

KestProxyRendererRequest::KestProxyRendererRequest(KestProxyRendererRequestPrivate &dd, QObject *parent)
    : QObject(parent)
    , d_request(&dd)
{
}

KestProxyRendererRequest::~KestProxyRendererRequest() = default;

void KestProxyRendererRequest::handleError(const QDBusError &error)
{
    Q_D(KestProxyRendererRequest);
    const QPointer<KestProxyRendererRequest> self(this);
    qCDebug(lcKestRenderer) << "KestProxyRendererRequest::handleError( " << error << " )";

    KestError kestError;
    const QString message = error.message();
    const int colon = message.indexOf(QLatin1Char(':'));
    bool numbered = false;
    const int code = message.left(colon).toInt(&numbered);
    if (!numbered && error.name().startsWith(QLatin1String("org.freedesktop.DBus.Error."))) {
        // Made by the bus itself (no reply, no such method or name, a reply of another type): its text may
        // hold colons, but no code of the renderer's.
        kestError = KestError(KestError::GeneralFailure, message);
    } else if (colon >= 0) {
        // Remote renderers fail with "code:text"; a code that is no number reads as 0.
        kestError = KestError(code, message.mid(colon + 1));
    } else {
        qCWarning(lcKestRenderer) << "KestProxyRendererRequest::handleError, received invalid error message.";
        qCWarning(lcKestRenderer) << message;
        kestError = KestError(KestError::GeneralFailure, message);
    }

    if (d->m_errorReceiver)
        KestCallbackHelper::invokeErrorCallback(d->m_renderer, kestError, d->m_errorReceiver, d->m_errorMember);
    complete(self);
}

bool KestProxyRendererRequest::callRenderer(const QString &interface, const char *replySlot,
                                            const QList<QVariant> &arguments)
{
    Q_D(KestProxyRendererRequest);
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The bus library takes calls on a lost connection and fails them later; nothing can go out.
    if (!bus.isConnected())
        return false;
    QDBusMessage message = QDBusMessage::createMethodCall(d->m_renderer->service(), d->m_renderer->objectPath(),
                                                          interface, d->m_method);
    message.setArguments(arguments);
    return KestBusCall::withCallback(message, this, replySlot, SLOT(handleError(QDBusError)));
}

bool KestProxyRendererRequest::hasValidErrorCallback() const
{
    Q_D(const KestProxyRendererRequest);
    return !d->m_errorReceiver || KestCallbackHelper::checkErrorCallback(d->m_errorReceiver, d->m_errorMember);
}

bool KestProxyRendererRequest::refuseCall()
{
    qCWarning(lcKestRenderer) << "Callback check failed so no D-BUS method invocation was done.";
    return false;
}

void KestProxyRendererRequest::complete(const QPointer<KestProxyRendererRequest> &request)
{
    if (request)
        request->d_func()->m_renderer->completeRequest(request);
}
