// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxyrendererpropertyrequest.h"
#include "kestproxyrendererpropertyrequest_p.h"

#include "kestbusnames_p.h"
#include "kestcallbackhelper.h"
#include "kestlogging_p.h"
#include "kestproxyrenderer.h"

KestProxyRendererPropertyRequest::KestProxyRendererPropertyRequest(QObject *parent, KestProxyRenderer *renderer,
                                                                   const QString &method, QObject *receiver,
                                                                   const char *member)
    : KestProxyRendererRequest(*new KestProxyRendererPropertyRequestPrivate(renderer, method, receiver, member), parent)
{
}

void KestProxyRendererPropertyRequest::setArguments(const QString &name)
{
    d_func()->m_args.append(name);
}

bool KestProxyRendererPropertyRequest::call()
{
    return callRenderer(KestBusNames::extensionInterface(), SLOT(handleReply(QString, QDBusVariant)), d_func()->m_args);
}

void KestProxyRendererPropertyRequest::handleReply(const QString &name, const QDBusVariant &dbusVariant)
{
    Q_D(KestProxyRendererPropertyRequest);
    const QPointer<KestProxyRendererRequest> self(this);
    const QVariant value = dbusVariant.variant();
    d->m_renderer->setProperty(name.toLatin1().constData(), value);
    // The receiver pair carries the result, not only failures.
    if (!KestCallbackHelper::invoke(d->m_errorReceiver.data(), d->m_errorMember, name, value)) {
        qCCritical(lcKestRenderer) << "Callback slot invocation failed! ("
                                   << "m_errorReceiver=" << d->m_errorReceiver.data()
                                   << "m_errorMember=" << d->m_errorMember << "name=" << name << "variant=" << value
                                   << ")";
    }
    complete(self);
}

void KestProxyRendererPropertyRequest::handleError(const QDBusError &error)
{
    Q_D(KestProxyRendererPropertyRequest);
    const QPointer<KestProxyRendererRequest> self(this);
    qCWarning(lcKestRenderer) << "KestProxyRendererPropertyRequest: Error:" << error.message();
    const QString name = d->m_args.value(0).toString();
    if (!KestCallbackHelper::invoke(d->m_errorReceiver.data(), d->m_errorMember, name, QVariant())) {
        qCCritical(lcKestRenderer) << "Callback slot invocation failed! ("
                                   << "m_errorReceiver=" << d->m_errorReceiver.data()
                                   << "m_errorMember=" << d->m_errorMember << "m_args.first().toString()=" << name
                                   << ")";
    }
    complete(self);
}
