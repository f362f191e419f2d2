// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestbuscall_p.h"

#include "kestlogging_p.h"
#include "kestsilentpeers_p.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>

namespace {
int s_timeout = KestBusCall::DefaultTimeout;
} // namespace

int KestBusCall::timeout()
{
    return s_timeout;
}

bool KestBusCall::setTimeout(int milliseconds)
{
    if (milliseconds <= 0)
        return false;
    s_timeout = milliseconds;
    return true;
}

QDBusMessage KestBusCall::blocking(const QString &service, const QString &path, const QString &interface,
                                   const QString &method, const QList<QVariant> &arguments)
{
    KestSilentPeers *silentPeers = KestSilentPeers::instance();
    if (silentPeers->isSilent(service)) {
        qCWarning(lcKestBus).nospace() << "KestBusCall: " << service << " is not answering: " << method
                                       << " is not sent.";
        return QDBusMessage::createError(QDBusError::NoReply, QStringLiteral("%1 is not answering.").arg(service));
    }
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(message, QDBus::Block, s_timeout);
    silentPeers->noteOutcome(service, method, reply);
    return reply;
}

QDBusPendingCallWatcher *KestBusCall::async(const QDBusMessage &call, QObject *parent)
{
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, s_timeout), parent);
    // Connected first, so the outcome is on record before anybody else hears of it.
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, KestSilentPeers::instance(),
                     [service = call.service(), member = call.member()](QDBusPendingCallWatcher *finished) {
                         KestSilentPeers::instance()->noteOutcome(service, member, finished->reply());
                     });
    return watcher;
}

bool KestBusCall::withCallback(const QDBusMessage &call, QObject *receiver, const char *replySlot,
                               const char *errorSlot)
{
    return QDBusConnection::sessionBus().callWithCallback(call, receiver, replySlot, errorSlot, s_timeout);
}

bool KestBusCall::isNoAnswer(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ErrorMessage)
        return false;
    const QDBusError::ErrorType type = QDBusError(reply).type();
    return type == QDBusError::NoReply || type == QDBusError::Timeout;
}

QVariant KestBusCall::firstArgument(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return QVariant();
    return reply.arguments().constFirst();
}
