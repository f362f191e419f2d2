// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestownerwatch_p.h"

#include "kestbuscall_p.h"
#include "kestbusnames_p.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPointer>

KestOwnerWatch *KestOwnerWatch::instance()
{
    static QPointer<KestOwnerWatch> watch;
    if (!watch)
        watch = new KestOwnerWatch(QCoreApplication::instance());
    return watch;
}

KestOwnerWatch::KestOwnerWatch(QObject *parent)
    : QObject(parent)
    // A trailing "*" makes the bus library ask for the namespace (arg0namespace) from the
    // daemon alone, with one rule however many names are followed.
    , m_watcher(KestBusNames::kestPrefix() + QLatin1Char('*'), QDBusConnection::sessionBus(),
                QDBusServiceWatcher::WatchForOwnerChange)
{
    connect(&m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this, &KestOwnerWatch::handleOwnerChange);
    QDBusConnection::sessionBus().connect(QString(), KestBusNames::localPath(), KestBusNames::localInterface(),
                                          QStringLiteral("Disconnected"), this, SLOT(handleDisconnected()));
}

void KestOwnerWatch::follow(const QString &name, Question question)
{
    Entry &entry = m_names[name];
    ++entry.followers;
    if (question == NoQuestion)
        return;
    if (!entry.asked) {
        entry.asked = true;
        resolve(name);
    } else if (entry.answered) {
        // The owner is known and kept current; a later asker still hears the answer, later, as
        // the first one did.
        QMetaObject::invokeMethod(
            this,
            [this, name] {
                const auto it = m_names.constFind(name);
                if (it != m_names.cend())
                    Q_EMIT ownerResolved(name, it->owner);
            },
            Qt::QueuedConnection);
    }
}

void KestOwnerWatch::unfollow(const QString &name)
{
    const auto it = m_names.find(name);
    if (it != m_names.end() && --it->followers <= 0)
        m_names.erase(it);
}

QString KestOwnerWatch::owner(const QString &name)
{
    const auto it = m_names.find(name);
    if (it == m_names.end())
        return QString();
    if (!it->known) {
        it->owner = shared(askOwner(name));
        it->known = true;
    }
    return it->owner;
}

// Many names usually have one owner, a plugin process: they share one copy of its name.
QString KestOwnerWatch::shared(const QString &owner)
{
    if (owner != m_lastOwner)
        m_lastOwner = owner;
    return m_lastOwner;
}

// NameHasNoOwner, or no answer at all: nobody can be reached under this name.
QString KestOwnerWatch::askOwner(const QString &name)
{
    return KestBusCall::firstArgument(
               KestBusCall::blocking(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                                     KestBusNames::busDaemonInterface(), QStringLiteral("GetNameOwner"), {name}))
        .toString();
}

void KestOwnerWatch::resolve(const QString &name)
{
    QDBusMessage question = QDBusMessage::createMethodCall(KestBusNames::busDaemonService(),
                                                           KestBusNames::busDaemonPath(),
                                                           KestBusNames::busDaemonInterface(),
                                                           QStringLiteral("GetNameOwner"));
    question << name;
    QDBusPendingCallWatcher *call = KestBusCall::async(question, this);
    connect(call, &QDBusPendingCallWatcher::finished, this, [this, name](QDBusPendingCallWatcher *call) {
        call->deleteLater();
        const auto it = m_names.find(name);
        if (it == m_names.end())
            return;
        // A change that the daemon announced since the question was asked is at least as new as
        // the answer: the bus library may deliver the two in either order.
        if (!it->known) {
            const QDBusPendingReply<QString> reply = *call;
            it->owner = shared(reply.isError() ? QString() : reply.value());
            it->known = true;
        }
        it->answered = true;
        Q_EMIT ownerResolved(name, it->owner);
    });
}

void KestOwnerWatch::handleOwnerChange(const QString &name, const QString &oldOwner, const QString &newOwner)
{
    Q_EMIT namespaceOwnerChanged(name);
    const auto it = m_names.find(name);
    if (it == m_names.end())
        return;
    it->owner = shared(newOwner);
    it->known = true;
    Q_EMIT ownerChanged(name, oldOwner, newOwner);
}

void KestOwnerWatch::handleDisconnected()
{
    if (QDBusConnection::sessionBus().isConnected())
        return;
    for (Entry &entry : m_names)
        entry.owner.clear();
    Q_EMIT disconnected();
}
