// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxysourcenamerequest.h"
#include "kestproxysourcenamerequest_p.h"

#include "kestbuscall_p.h"
#include "kestbusnames_p.h"
#include "kestlogging_p.h"
#include "kestproxysource.h"

#include <kestcallbackhelper.h>

#include <QDBusMessage>

KestProxySourceNameRequest::KestProxySourceNameRequest(QObject *parent, KestProxySource *source, const QString &method,
                                                       QObject *receiver, const char *slot)
    : QObject(parent)
    , d(new KestProxySourceNameRequestPrivate{source, method, receiver, slot})
{
}

KestProxySourceNameRequest::~KestProxySourceNameRequest() = default;

bool KestProxySourceNameRequest::call()
{
    // Composed from the source's identity: the proxy's own names may not be set yet.
    const QDBusMessage message = QDBusMessage::createMethodCall(
        KestBusNames::sourceService(d->source->pluginName(), d->source->uuid()),
        KestBusNames::sourcePath(d->source->uuid()), KestBusNames::extensionInterface(), d->method);
    return KestBusCall::withCallback(message, this, SLOT(handleReply(QString)), SLOT(handleError(QDBusError)));
}

void KestProxySourceNameRequest::handleReply(const QString &name)
{
    // The callback may delete this request: nothing of it is touched afterwards.
    if (!KestCallbackHelper::invoke(d->receiver.data(), d->slot, name))
        qCWarning(lcKestSource) << "Invoking the getName callback failed!";
}

void KestProxySourceNameRequest::handleError(const QDBusError &error)
{
    qCWarning(lcKestSource) << "Invoking method " << d->method << " failed!";
    qCWarning(lcKestSource) << "Cause:" << error;
}
