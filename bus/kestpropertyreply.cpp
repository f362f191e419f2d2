// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestpropertyreply_p.h"

#include "kestserving_p.h"

#include <QDBusVariant>

KestPropertyReply::KestPropertyReply(KestDeferredReplies *replies, const QDBusMessage &call)
    : KestDeferredReply(replies, call)
{
}

void KestPropertyReply::property(const QString &, const QVariant &value)
{
    // An invalid value is how a component says that it has none.
    const QVariant wire = KestServing::wireValue(value);
    if (wire.isValid())
        answer({m_name, QVariant::fromValue(QDBusVariant(wire))});
    else
        answerWithError(QStringLiteral("There is no value of %1 that can travel on the bus.").arg(m_name));
}
