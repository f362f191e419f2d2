// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestscriptedobject.h"

#include "kestpeercontrol.h"

KestScriptedObject::KestScriptedObject(KestPeerControl *control)
    : QDBusVirtualObject(control)
    , m_control(control)
{
}

QString KestScriptedObject::introspect(const QString &) const
{
    return QString();
}

bool KestScriptedObject::handleMessage(const QDBusMessage &message, const QDBusConnection &)
{
    if (message.type() != QDBusMessage::MethodCallMessage)
        return false;
    m_control->handleCall(message);
    return true;
}
