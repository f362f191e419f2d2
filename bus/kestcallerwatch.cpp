// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestcallerwatch_p.h"

#include "kestbuscall_p.h"
#include "kestbusnames_p.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>

KestCallerWatch *KestCallerWatch::instance()
{
    static QPointer<KestCallerWatch> watch;
    if (!watch)
        watch = new KestCallerWatch(QCoreApplication::instance());
    return watch;
}

KestCallerWatch::KestCallerWatch(QObject *parent)
    : QObject(parent)
    , m_watcher(QString(), QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForUnregistration)
{
    connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &KestCallerWatch::leave);
}

void KestCallerWatch::follow(const QString &caller)
{
    if (m_followers[caller]++ > 0)
        return;
    m_watcher.addWatchedService(caller);
    // The caller may have gone before the watch was in place: ask once, without waiting.
    QDBusMessage question = QDBusMessage::createMethodCall(KestBusNames::busDaemonService(),
                                                           KestBusNames::busDaemonPath(),
                                                           KestBusNames::busDaemonInterface(),
                                                           QStringLiteral("NameHasOwner"));
    question << caller;
    QDBusPendingCallWatcher *call = KestBusCall::async(question, this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, caller](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<bool> reply = *finished;
        if (!reply.isError() && !reply.value())
            leave(caller);
    });
}

void KestCallerWatch::unfollow(const QString &caller)
{
    const auto it = m_followers.find(caller);
    if (it == m_followers.end() || --it.value() > 0)
        return;
    m_followers.erase(it);
    m_watcher.removeWatchedService(caller);
}

void KestCallerWatch::leave(const QString &caller)
{
    if (m_followers.contains(caller))
        Q_EMIT callerLeft(caller);
}
