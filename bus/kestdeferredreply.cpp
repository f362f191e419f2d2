// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestdeferredreply_p.h"

#include "kestdeferredreplies_p.h"
#include "kestserving_p.h"

KestDeferredReply::KestDeferredReply(KestDeferredReplies *replies, const QDBusMessage &call)
    : QObject(replies)
    , m_replies(replies)
    , m_call(call)
    , m_caller(call.service())
{
    m_call.setDelayedReply(true);
}

KestDeferredReply::~KestDeferredReply() = default;

void KestDeferredReply::refuse(QDBusError::ErrorType type, const QString &text)
{
    if (!m_pending)
        return;
    KestServing::refuse(m_call, type, text);
    settle();
}

void KestDeferredReply::drop()
{
    if (m_pending)
        settle();
}

void KestDeferredReply::answer(const QList<QVariant> &arguments)
{
    if (m_pending) {
        KestServing::answer(m_call, arguments);
        settle();
    }
    calledBack();
}

void KestDeferredReply::answerWithError(const QString &text)
{
    refuse(QDBusError::Failed, text);
    calledBack();
}

void KestDeferredReply::settle()
{
    m_pending = false;
    m_call = QDBusMessage();
    m_replies->settled(this);
}

void KestDeferredReply::calledBack()
{
    if (m_calledBack)
        return;
    m_calledBack = true;
    m_replies->calledBack(this);
}
