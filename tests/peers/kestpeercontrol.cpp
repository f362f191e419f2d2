// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestpeercontrol.h"

#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QTimer>

KestPeerControl::KestPeerControl(QObject *parent)
    : QDBusVirtualObject(parent)
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

bool KestPeerControl::registerOn(QDBusConnection connection)
{
    m_connection = connection;
    return m_connection.registerObject(QStringLiteral("/kesttest/control"), this,
                                       QDBusConnection::ExportScriptableSlots);
}

bool KestPeerControl::handleMessage(const QDBusMessage &message, const QDBusConnection &)
{
    if (message.type() != QDBusMessage::MethodCallMessage)
        return false;
    m_calls.append({{QStringLiteral("path"), message.path()},
                    {QStringLiteral("interface"), message.interface()},
                    {QStringLiteral("member"), message.member()},
                    {QStringLiteral("signature"), message.signature()},
                    {QStringLiteral("arguments"), message.arguments()}});
    const Answer answer = m_answers.value(message.member());
    if (answer.outcome == QLatin1String("noreply") || answer.outcome == QLatin1String("exit")) {
        message.setDelayedReply(true);
        if (answer.outcome == QLatin1String("exit"))
            QCoreApplication::exit(0);
        return true;
    }
    for (const QVariantList &call : answer.before)
        perform(call, message.service());
    if (answer.outcome == QLatin1String("error"))
        m_connection.send(
            message.createErrorReply(answer.arguments.value(0).toString(), answer.arguments.value(1).toString()));
    else
        m_connection.send(message.createReply(answer.arguments));
    for (const QVariantList &call : answer.after)
        perform(call, message.service());
    return true;
}

void KestPeerControl::perform(const QVariantList &call, const QString &caller)
{
    const QString service = call.value(0).toString();
    QDBusMessage message = QDBusMessage::createMethodCall(service.isEmpty() ? caller : service,
                                                          call.value(1).toString(), call.value(2).toString(),
                                                          call.value(3).toString());
    message.setArguments(qdbus_cast<QVariantList>(call.value(4)));
    // Never wait here: the callee may be the test, which may be waiting for this peer.
    auto *watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(message), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, member = message.member()](QDBusPendingCallWatcher *w) {
                m_callResults.append({{QStringLiteral("member"), member},
                                      {QStringLiteral("errorName"), w->isError() ? w->error().name() : QString()},
                                      {QStringLiteral("errorText"), w->isError() ? w->error().message() : QString()},
                                      {QStringLiteral("signature"), w->reply().signature()}});
                w->deleteLater();
            });
}

void KestPeerControl::Script(const QString &member, const QString &outcome, const QVariantList &arguments)
{
    Answer &answer = m_answers[member];
    if (outcome == QLatin1String("after") || outcome == QLatin1String("before")) {
        (outcome == QLatin1String("after") ? answer.after : answer.before).append(arguments);
        return;
    }
    answer.outcome = outcome;
    answer.arguments = arguments;
}

bool KestPeerControl::Emit(const QString &path, const QString &interface, const QString &signal,
                           const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createSignal(path, interface, signal);
    message.setArguments(arguments);
    return m_connection.send(message);
}
