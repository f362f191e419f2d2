// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestpeercontrol.h"

#include "kestscriptedobject.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QTimer>

KestPeerControl::KestPeerControl(QObject *parent)
    : QObject(parent)
    , m_connection(QDBusConnection::sessionBus())
{
    qDBusRegisterMetaType<QList<QVariantMap>>();
    // A peer never outlives its bus: left behind, it would hold the test runner's output open.
    // Qt tells nobody when the daemon goes away, so look now and then.
    auto *busWatch = new QTimer(this);
    connect(busWatch, &QTimer::timeout, this, [this] {
        if (!m_connection.isConnected())
            QCoreApplication::exit(0);
    });
    busWatch->start(500);
}

KestPeerControl::~KestPeerControl() = default;

bool KestPeerControl::registerOn(QDBusConnection connection)
{
    m_connection = connection;
    return m_connection.registerObject(path(), this, QDBusConnection::ExportScriptableSlots);
}

void KestPeerControl::record(const QDBusMessage &message)
{
    QVariantMap call;
    call.insert(QStringLiteral("sender"), message.service());
    call.insert(QStringLiteral("path"), message.path());
    call.insert(QStringLiteral("interface"), message.interface());
    call.insert(QStringLiteral("member"), message.member());
    call.insert(QStringLiteral("signature"), message.signature());
    call.insert(QStringLiteral("arguments"), message.arguments());
    m_calls.append(call);
}

void KestPeerControl::handleCall(const QDBusMessage &message)
{
    record(message);
    const Script script = m_scripts.value(message.member());
    switch (script.outcome) {
    case Reply: m_connection.send(message.createReply(script.arguments)); break;
    case Error: m_connection.send(message.createErrorReply(script.errorName, script.errorText)); break;
    case NoReply: message.setDelayedReply(true); return;
    case Exit:
        message.setDelayedReply(true);
        QCoreApplication::exit(0);
        return;
    }
    for (const Action &action : script.after)
        perform(action, message.service());
}

void KestPeerControl::perform(const Action &action, const QString &caller)
{
    if (action.isSignal) {
        QDBusMessage signal = QDBusMessage::createSignal(action.path, action.interface, action.member);
        signal.setArguments(action.arguments);
        m_connection.send(signal);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(action.service.isEmpty() ? caller : action.service, action.path,
                                                       action.interface, action.member);
    call.setArguments(action.arguments);
    // Never wait here: the callee may be the test, which may be waiting for this peer.
    auto *watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    const QString member = action.member;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, member](QDBusPendingCallWatcher *w) {
        QVariantMap result;
        result.insert(QStringLiteral("member"), member);
        result.insert(QStringLiteral("errorName"), w->isError() ? w->error().name() : QString());
        result.insert(QStringLiteral("errorText"), w->isError() ? w->error().message() : QString());
        result.insert(QStringLiteral("signature"), w->reply().signature());
        m_callResults.append(result);
        w->deleteLater();
    });
}

bool KestPeerControl::RequestName(const QString &name)
{
    return m_connection.registerService(name);
}

bool KestPeerControl::ReleaseName(const QString &name)
{
    return m_connection.unregisterService(name);
}

bool KestPeerControl::Serve(const QString &path)
{
    auto *object = new KestScriptedObject(this);
    if (!m_connection.registerVirtualObject(path, object)) {
        delete object;
        return false;
    }
    m_objects.append(object);
    return true;
}

void KestPeerControl::ScriptReply(const QString &member, const QVariantList &arguments)
{
    Script &script = m_scripts[member];
    script.outcome = Reply;
    script.arguments = arguments;
}

void KestPeerControl::ScriptError(const QString &member, const QString &errorName, const QString &errorText)
{
    Script &script = m_scripts[member];
    script.outcome = Error;
    script.errorName = errorName;
    script.errorText = errorText;
}

void KestPeerControl::ScriptNoReply(const QString &member)
{
    m_scripts[member].outcome = NoReply;
}

void KestPeerControl::ScriptExit(const QString &member)
{
    m_scripts[member].outcome = Exit;
}

void KestPeerControl::ScriptAfterCall(const QString &member, const QString &service, const QString &path,
                                      const QString &interface, const QString &callMember,
                                      const QVariantList &arguments)
{
    m_scripts[member].after.append(Action{false, service, path, interface, callMember, arguments});
}

void KestPeerControl::ScriptAfterSignal(const QString &member, const QString &path, const QString &interface,
                                        const QString &signal, const QVariantList &arguments)
{
    m_scripts[member].after.append(Action{true, QString(), path, interface, signal, arguments});
}

bool KestPeerControl::Emit(const QString &path, const QString &interface, const QString &signal,
                           const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createSignal(path, interface, signal);
    message.setArguments(arguments);
    return m_connection.send(message);
}

bool KestPeerControl::Call(const QString &service, const QString &path, const QString &interface, const QString &member,
                           const QVariantList &arguments)
{
    perform(Action{false, service, path, interface, member, arguments}, QString());
    return true;
}

QList<QVariantMap> KestPeerControl::Calls() const
{
    return m_calls;
}

QList<QVariantMap> KestPeerControl::CallResults() const
{
    return m_callResults;
}

void KestPeerControl::Reset()
{
    m_scripts.clear();
    m_calls.clear();
    m_callResults.clear();
}

void KestPeerControl::Quit()
{
    QCoreApplication::exit(0);
}
