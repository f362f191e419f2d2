// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestsignalhub_p.h"

#include <QDBusConnection>

KestSignalHub::KestSignalHub(QObject *parent, std::initializer_list<Subscription> subscriptions)
    : QObject(parent)
    , m_subscriptions(subscriptions)
{
}

bool KestSignalHub::add(const QString &path, const QString &service, QObject *proxy)
{
    if (!subscribe())
        return false;
    const auto range = m_routes.equal_range(path);
    for (auto it = range.first; it != range.second; ++it) {
        if (it->proxy == proxy)
            return true;
    }
    m_routes.insert(path, Route{service, proxy});
    KestOwnerWatch::instance()->follow(service);
    return true;
}

void KestSignalHub::remove(const QString &path, QObject *proxy)
{
    auto it = m_routes.find(path);
    while (it != m_routes.end() && it.key() == path) {
        if (it->proxy == proxy) {
            KestOwnerWatch::instance()->unfollow(it->service);
            it = m_routes.erase(it);
        } else {
            ++it;
        }
    }
}

bool KestSignalHub::subscribe()
{
    if (m_subscribed)
        return true;
    QDBusConnection bus = QDBusConnection::sessionBus();
    const auto connect = [&bus, this](const Subscription &s, bool on) {
        return on ? bus.connect(QString(), QString(), s.interface, QLatin1String(s.signal), this, s.slot)
                  : bus.disconnect(QString(), QString(), s.interface, QLatin1String(s.signal), this, s.slot);
    };
    for (auto it = m_subscriptions.cbegin(); it != m_subscriptions.cend(); ++it) {
        if (!connect(*it, true)) {
            while (it != m_subscriptions.cbegin())
                connect(*--it, false);
            return false;
        }
    }
    m_subscribed = true;
    return true;
}
