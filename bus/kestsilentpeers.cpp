// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestsilentpeers_p.h"

#include "kestbuscall_p.h"
#include "kestbusnames_p.h"
#include "kestlogging_p.h"
#include "kestownerwatch_p.h"

#include <QCoreApplication>
#include <QDBusPendingCallWatcher>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace {
// However long the time-out, a silent component is looked at again at least this often.
const int LongestCheckInterval = 30000;

// Replies and errors from the component itself; the daemon's and the bus library's own errors say
// nothing about whether it answers.
bool isFromComponent(const QDBusMessage &reply)
{
    return !reply.service().isEmpty() && reply.service() != KestBusNames::busDaemonService();
}

QString pingMember()
{
    return QStringLiteral("Ping");
}
} // namespace

KestSilentPeers *KestSilentPeers::instance()
{
    static QPointer<KestSilentPeers> peers;
    if (!peers) {
        peers = new KestSilentPeers(QCoreApplication::instance());
        // A new owner is a new process, which has not failed to answer yet.
        connect(KestOwnerWatch::instance(), &KestOwnerWatch::namespaceOwnerChanged, peers, &KestSilentPeers::forget);
    }
    return peers;
}

KestSilentPeers::KestSilentPeers(QObject *parent)
    : QObject(parent)
{
}

bool KestSilentPeers::isSilent(const QString &service) const
{
    const auto it = m_peers.constFind(service);
    return it != m_peers.cend() && it->silent;
}

void KestSilentPeers::noteOutcome(const QString &service, const QString &member, const QDBusMessage &reply)
{
    if (service == KestBusNames::busDaemonService())
        return;
    if (KestBusCall::isNoAnswer(reply)) {
        markSilent(service, member);
    } else if (isFromComponent(reply)) {
        auto it = m_peers.find(service);
        if (it == m_peers.end())
            return;
        // Real work done: the next silence starts from the shortest wait again.
        if (member != pingMember())
            it->strikes = 0;
        markAnswering(service);
    }
}

void KestSilentPeers::forget(const QString &service)
{
    const auto it = m_peers.find(service);
    if (it == m_peers.end())
        return;
    const bool wasSilent = it->silent;
    delete it->check;
    m_peers.erase(it);
    if (wasSilent)
        Q_EMIT answering(service);
}

void KestSilentPeers::markSilent(const QString &service, const QString &member)
{
    Peer &peer = m_peers[service];
    if (peer.silent)
        return;
    peer.silent = true;
    ++peer.strikes;
    qCWarning(lcKestBus).nospace() << "KestBusCall: " << service << " did not answer " << member << " within "
                                   << KestBusCall::timeout() << " ms: calls to it fail at once until it answers again.";
    scheduleCheck(service);
}

void KestSilentPeers::markAnswering(const QString &service)
{
    const auto it = m_peers.find(service);
    if (it == m_peers.end() || !it->silent)
        return;
    it->silent = false;
    if (it->check)
        it->check->stop();
    qCDebug(lcKestBus).nospace() << "KestBusCall: " << service << " answers again.";
    Q_EMIT answering(service);
}

void KestSilentPeers::scheduleCheck(const QString &service)
{
    Peer &peer = m_peers[service];
    if (!peer.check) {
        peer.check = new QTimer(this);
        peer.check->setSingleShot(true);
        connect(peer.check, &QTimer::timeout, this, [this, service] { check(service); });
    }
    const qint64 wait = qint64(KestBusCall::timeout()) << std::min(peer.strikes - 1, 16);
    peer.check->start(int(std::min<qint64>(wait, LongestCheckInterval)));
}

// Any path will do: the bus library answers Ping on every object of every connection.
void KestSilentPeers::check(const QString &service)
{
    if (!isSilent(service))
        return;
    const QDBusMessage ping = QDBusMessage::createMethodCall(service, QStringLiteral("/"),
                                                             QStringLiteral("org.freedesktop.DBus.Peer"), pingMember());
    QDBusPendingCallWatcher *watcher = KestBusCall::async(ping, this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, service](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const auto it = m_peers.find(service);
        if (it == m_peers.end() || !it->silent)
            return;
        ++it->strikes;
        scheduleCheck(service);
    });
}
