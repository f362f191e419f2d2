// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbaretracker.h"

#include "kestbusnames_p.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

QDBusMessage daemonCall(const QString &member)
{
    return QDBusMessage::createMethodCall(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                                          KestBusNames::busDaemonInterface(), member);
}

} // namespace

KestBareTracker::~KestBareTracker()
{
    if (m_subscribedToAll)
        subscribe(false, {});
    for (auto it = m_components.cbegin(); it != m_components.cend(); ++it)
        subscribe(false, {it.key()});
}

QStringList KestBareTracker::componentNames()
{
    const QDBusMessage reply = QDBusConnection::sessionBus().call(daemonCall(QStringLiteral("ListNames")));
    QStringList components;
    const QStringList names = reply.arguments().value(0).toStringList();
    for (const QString &name : names) {
        if (name.startsWith(KestBusNames::rendererPrefix() + QLatin1Char('.'))
            || name.startsWith(KestBusNames::sourcePrefix() + QLatin1Char('.')))
            components << name;
    }
    return components;
}

bool KestBareTracker::subscribe(bool connect, const QStringList &argumentMatch)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString member = QStringLiteral("NameOwnerChanged");
    const char *slot = SLOT(handleNameOwnerChanged(QString, QString, QString));
    if (connect)
        return bus.connect(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                           KestBusNames::busDaemonInterface(), member, argumentMatch, QString(), this, slot);
    return bus.disconnect(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                          KestBusNames::busDaemonInterface(), member, argumentMatch, QString(), this, slot);
}

int KestBareTracker::discover()
{
    const QStringList names = componentNames();
    m_subscribedToAll = subscribe(true, {});
    QDBusConnection bus = QDBusConnection::sessionBus();
    int owned = 0;
    for (const QString &name : names) {
        QDBusMessage question = daemonCall(QStringLiteral("NameHasOwner"));
        question << name;
        owned += bus.call(question).arguments().value(0).toBool();
    }
    return owned;
}

int KestBareTracker::follow()
{
    const QStringList names = componentNames();
    for (const QString &name : names) {
        if (!subscribe(true, {name}))
            continue;
        const QString uuid = name.section(QLatin1Char('.'), -1);
        const QString path = name.startsWith(KestBusNames::rendererPrefix()) ? KestBusNames::rendererPath(uuid)
                                                                             : KestBusNames::sourcePath(uuid);
        m_components.insert(name, {path, QString()});
        fetchName(name, path);
    }
    return int(m_components.size());
}

void KestBareTracker::fetchName(const QString &service, const QString &path)
{
    const QDBusMessage call = QDBusMessage::createMethodCall(service, path, KestBusNames::extensionInterface(),
                                                             QStringLiteral("get_name"));
    ++m_pendingNames;
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, service](QDBusPendingCallWatcher *call) {
        const QDBusPendingReply<QString> reply = *call;
        const auto component = m_components.find(service);
        if (!reply.isError() && component != m_components.end())
            component->displayName = reply.value();
        --m_pendingNames;
        call->deleteLater();
    });
}

void KestBareTracker::handleNameOwnerChanged(const QString &name, const QString &oldOwner, const QString &newOwner)
{
    if (oldOwner.isEmpty() || !newOwner.isEmpty() || !name.startsWith(KestBusNames::kestPrefix()))
        return;
    ++m_released;
    if (m_components.remove(name))
        subscribe(false, {name});
}
