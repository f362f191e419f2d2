// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlprobe.h"

#include "kestbusnames_p.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>

KestCtlProbe::KestCtlProbe(const QDBusMessage &call, int timeout, QObject *parent)
    : QObject(parent)
    // The bus library's own limit lies beyond this one, so that silence is always told by the same clock.
    , m_watcher(new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, 2 * timeout), this))
{
    connect(m_watcher, &QDBusPendingCallWatcher::finished, this, [this] {
        if (m_watcher->isError()) {
            m_error = m_watcher->error();
            conclude(Failed);
        } else {
            m_reply = m_watcher->reply();
            conclude(Answered);
        }
    });
    m_limit.setSingleShot(true);
    connect(&m_limit, &QTimer::timeout, this, [this] { conclude(Silent); });
    m_limit.start(timeout);
}

KestCtlProbe::~KestCtlProbe() = default;

QDBusMessage KestCtlProbe::busDaemonCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                                                       KestBusNames::busDaemonInterface(), method);
    call.setArguments(arguments);
    return call;
}

bool KestCtlProbe::isNoOwnerError(const QDBusError &error)
{
    return error.type() == QDBusError::ServiceUnknown
        || error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
}

KestCtlProbe::Outcome KestCtlProbe::outcome() const
{
    return m_outcome;
}

QDBusMessage KestCtlProbe::reply() const
{
    return m_reply;
}

QDBusError KestCtlProbe::error() const
{
    return m_error;
}

void KestCtlProbe::conclude(Outcome outcome)
{
    if (m_outcome != Pending)
        return;
    m_outcome = outcome;
    m_limit.stop();
    Q_EMIT finished();
}
