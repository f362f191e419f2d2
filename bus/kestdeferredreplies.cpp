// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestdeferredreplies_p.h"

#include "kestbuscall_p.h"
#include "kestcallerwatch_p.h"
#include "kestlogging_p.h"
#include "kestserving_p.h"

#include <utility>

KestDeferredReplies::KestDeferredReplies(QObject *parent, const QString &what)
    : QObject(parent)
    , m_what(what)
{
    m_expiry.setSingleShot(true);
    connect(&m_expiry, &QTimer::timeout, this, &KestDeferredReplies::expire);
    connect(KestCallerWatch::instance(), &KestCallerWatch::callerLeft, this, &KestDeferredReplies::dropCaller);
}

KestDeferredReplies::~KestDeferredReplies()
{
    for (auto it = m_waiting.cbegin(); it != m_waiting.cend(); ++it)
        KestCallerWatch::instance()->unfollow(it.key());
}

bool KestDeferredReplies::admits(const QDBusMessage &message)
{
    if (m_waiting.value(message.service()) >= MaxWaitingPerCaller || m_outstanding.size() >= MaxOutstanding) {
        qCWarning(lcKestBus) << "KestDeferredReplies: Too many calls waiting, refused" << message.member() << "of"
                             << message.service();
        KestServing::refuse(message, QDBusError::LimitsExceeded,
                            QStringLiteral("Too many calls are waiting for %1.").arg(m_what.toLower()));
        return false;
    }
    return true;
}

void KestDeferredReplies::started(KestDeferredReply *reply, bool accepted, const QString &failure)
{
    if (!accepted)
        reply->refuse(QDBusError::Failed, failure);
    // A local object that refused, or answered at once, does not call again.
    if (!accepted || reply->isCalledBack()) {
        delete reply;
        return;
    }
    reply->m_waiting = true;
    reply->m_deadline = QDeadlineTimer(KestBusCall::timeout());
    m_outstanding.append(reply);
    if (m_waiting[reply->caller()]++ == 0)
        KestCallerWatch::instance()->follow(reply->caller());
    scheduleExpiry();
}

void KestDeferredReplies::settled(KestDeferredReply *reply)
{
    if (!reply->m_waiting)
        return;
    const auto it = m_waiting.find(reply->caller());
    if (it != m_waiting.end() && --it.value() <= 0) {
        KestCallerWatch::instance()->unfollow(it.key());
        m_waiting.erase(it);
    }
}

void KestDeferredReplies::calledBack(KestDeferredReply *reply)
{
    if (!reply->m_waiting)
        return; // answered from inside the call: started() deletes it
    m_outstanding.removeOne(reply);
    // Called from the local object, which is still inside the receiver's slot.
    reply->deleteLater();
}

void KestDeferredReplies::refuseAll(const QString &text)
{
    const QList<KestDeferredReply *> outstanding = m_outstanding;
    for (KestDeferredReply *reply : outstanding)
        reply->refuse(QDBusError::Failed, text);
}

void KestDeferredReplies::dropCaller(const QString &caller)
{
    if (!m_waiting.contains(caller))
        return;
    const QList<KestDeferredReply *> outstanding = m_outstanding;
    for (KestDeferredReply *reply : outstanding) {
        if (reply->isPending() && reply->caller() == caller)
            reply->drop();
    }
}

void KestDeferredReplies::expire()
{
    const QList<KestDeferredReply *> outstanding = m_outstanding;
    for (KestDeferredReply *reply : outstanding) {
        if (!reply->m_deadline.hasExpired())
            break;
        if (reply->isPending()) {
            qCWarning(lcKestBus) << "KestDeferredReplies:" << m_what << "did not answer in time.";
            reply->refuse(QDBusError::Failed, QStringLiteral("%1 did not answer in time.").arg(m_what));
        }
    }
    scheduleExpiry();
}

void KestDeferredReplies::scheduleExpiry()
{
    // The first call still waiting has the nearest deadline.
    for (KestDeferredReply *reply : std::as_const(m_outstanding)) {
        if (reply->isPending()) {
            if (!m_expiry.isActive())
                m_expiry.start(int(qMax<qint64>(0, reply->m_deadline.remainingTime())));
            return;
        }
    }
    m_expiry.stop();
}
