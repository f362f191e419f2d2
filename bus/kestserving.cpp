// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestserving_p.h"

#include "kestlogging_p.h"

#include <kesterror.h>

#include <QDBusConnection>
#include <QDBusMetaType>

namespace {
QString codedText(const QString &text)
{
    return QStringLiteral("%1:%2").arg(KestError::GeneralFailure).arg(text);
}
} // namespace

void KestServing::refuse(const QDBusMessage &call, QDBusError::ErrorType type, const QString &text)
{
    call.setDelayedReply(true);
    if (!QDBusConnection::sessionBus().send(call.createErrorReply(type, codedText(text))))
        qCWarning(lcKestBus) << "KestServing: The error reply to" << call.member() << "could not be sent.";
}

void KestServing::answer(const QDBusMessage &call, const QList<QVariant> &arguments)
{
    call.setDelayedReply(true);
    if (QDBusConnection::sessionBus().send(call.createReply(arguments)))
        return;
    qCWarning(lcKestBus) << "KestServing: The answer to" << call.member() << "cannot travel on the bus.";
    refuse(call, QDBusError::Failed, QStringLiteral("The answer to %1 cannot travel on the bus.").arg(call.member()));
}

bool KestServing::emitSignal(const QString &path, const QString &interface, const QString &member,
                             const QList<QVariant> &arguments)
{
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, member);
    signal.setArguments(arguments);
    if (QDBusConnection::sessionBus().send(signal))
        return true;
    qCWarning(lcKestBus) << "KestServing: The signal" << member << "could not be sent from" << path;
    return false;
}

QVariant KestServing::wireValue(const QVariant &value)
{
    if (!value.isValid())
        return QVariant();
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    const bool known = QDBusMetaType::typeToSignature(value.metaType()) != nullptr;
#else
    const bool known = QDBusMetaType::typeToSignature(value.userType()) != nullptr;
#endif
    if (known)
        return value;
    if (value.canConvert<QString>())
        return value.toString();
    return QVariant();
}
