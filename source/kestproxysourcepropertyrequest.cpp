// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxysourcepropertyrequest.h"
#include "kestproxysourcepropertyrequest_p.h"

#include "kestbuscall_p.h"
#include "kestbusnames_p.h"
#include "kestlogging_p.h"
#include "kestproxysource.h"

#include <kestcallbackhelper.h>

#include <QDBusMessage>
#include <QPointer>

KestProxySourcePropertyRequest::KestProxySourcePropertyRequest(QObject *parent, KestProxySource *source,
                                                               QObject *receiver, const char *slot,
                                                               const QString &propertyName)
    : QObject(parent)
    , d(new KestProxySourcePropertyRequestPrivate{source, receiver, slot, propertyName})
{
}

KestProxySourcePropertyRequest::~KestProxySourcePropertyRequest() = default;

bool KestProxySourcePropertyRequest::call()
{
    QDBusMessage message = QDBusMessage::createMethodCall(d->source->serviceName(), d->source->objectPath(),
                                                          KestBusNames::extensionInterface(),
                                                          QStringLiteral("get_extension_property"));
    message << d->propertyName;
    const bool placed = KestBusCall::withCallback(message, this, SLOT(handleReply(QString, QDBusVariant)),
                                                  SLOT(handleError(QDBusError)));
    if (!placed)
        deleteLater();
    return placed;
}

void KestProxySourcePropertyRequest::handleReply(const QString &name, const QDBusVariant &dbusVariant)
{
    const QPointer<KestProxySourcePropertyRequest> self(this);
    const QVariant value = dbusVariant.variant();
    qCDebug(lcKestSource) << "KestProxySourcePropertyRequest::handleReply" << name << value;
    d->source->setProperty(name.toLatin1().constData(), value);
    if (!d->callReceiver(name, value))
        qCCritical(lcKestSource) << "KestProxySourcePropertyRequest: Callback slot invocation failed!" << d->slot;
    // The receiver may have destroyed the source, and this request with it.
    if (self)
        deleteLater();
}

void KestProxySourcePropertyRequest::handleError(const QDBusError &)
{
    const QPointer<KestProxySourcePropertyRequest> self(this);
    qCWarning(lcKestSource) << "KestProxySourcePropertyRequest::handleError";
    // The caller learns of the failure from the invalid value alone.
    if (!d->callReceiver(d->propertyName, QVariant()))
        qCCritical(lcKestSource) << "KestProxySourcePropertyRequest: Error callback slot invocation failed!";
    if (self)
        deleteLater();
}

// Whoever asked may be gone by now; that is no failure of the call.
bool KestProxySourcePropertyRequestPrivate::callReceiver(const QString &name, const QVariant &value)
{
    if (!receiver) {
        qCWarning(lcKestSource) << "KestProxySourcePropertyRequest: receiver object is DESTROYED!";
        return true;
    }
    return KestCallbackHelper::invoke(receiver.data(), slot, name, value);
}
