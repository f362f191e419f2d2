// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kesttestpeer.h"

#include "kesttestbus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>

#include <csignal>

static QList<QVariantMap> readMapList(const QDBusMessage &reply)
{
    QList<QVariantMap> result;
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
        reply.arguments().constFirst().value<QDBusArgument>() >> result;
    return result;
}

KestTestPeer::KestTestPeer(const QString &program)
    : m_program(program)
{
    qDBusRegisterMetaType<QList<QVariantMap>>();
    // Both channels pass straight through: unread, the error channel would stop a peer that logs a lot while the
    // test waits in a blocking call.
    m_process.setProcessChannelMode(QProcess::ForwardedChannels);
}

KestTestPeer::~KestTestPeer()
{
    if (isRunning() && !stop())
        kill();
}

bool KestTestPeer::start(const QStringList &names, const QStringList &paths, const QStringList &extraArguments)
{
    static int counter = 0;
    m_controlName =
        QStringLiteral("com.zorvo.kesttest.peer_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    QStringList arguments;
    for (const QString &name : names)
        arguments << QStringLiteral("--name") << name;
    for (const QString &path : paths)
        arguments << QStringLiteral("--serve") << path;
    arguments << extraArguments << QStringLiteral("--control") << m_controlName;
    m_process.start(QStringLiteral(KEST_TEST_PEER_DIR "/") + m_program, arguments);
    if (!m_process.waitForStarted())
        return false;
    // The control name is owned last, so once it is there everything else is too.
    return QTest::qWaitFor([this] { return !isRunning() || KestTestBus::hasOwner(m_controlName); }, 20000)
        && isRunning();
}

bool KestTestPeer::stop()
{
    if (isRunning())
        control(QStringLiteral("Quit"));
    return !isRunning() || m_process.waitForFinished(20000);
}

void KestTestPeer::kill()
{
    m_process.kill();
    m_process.waitForFinished();
}

void KestTestPeer::setStopped(bool stopped)
{
    ::kill(pid_t(m_process.processId()), stopped ? SIGSTOP : SIGCONT);
}

QString KestTestPeer::uniqueName() const
{
    return QDBusConnection::sessionBus().interface()->serviceOwner(m_controlName).value();
}

QDBusMessage KestTestPeer::control(const QString &method, const QVariantList &arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(m_controlName, QStringLiteral("/kesttest/control"),
                                                          QStringLiteral("com.zorvo.kesttest.Control"), method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message);
}

bool KestTestPeer::command(const QString &method, const QVariantList &arguments) const
{
    const QDBusMessage reply = control(method, arguments);
    return reply.type() == QDBusMessage::ReplyMessage
        && (reply.arguments().isEmpty() || reply.arguments().constFirst().toBool());
}

QList<KestRecordedCall> KestTestPeer::calls(const QString &member) const
{
    QList<KestRecordedCall> result;
    for (const QVariantMap &record : readMapList(control(QStringLiteral("Calls")))) {
        const auto text = [&record](const char *key) { return record.value(QLatin1String(key)).toString(); };
        if (!member.isEmpty() && text("member") != member)
            continue;
        KestRecordedCall call{text("path"), text("interface"), text("member"), text("signature"), {}};
        record.value(QStringLiteral("arguments")).value<QDBusArgument>() >> call.arguments;
        result.append(call);
    }
    return result;
}

QList<QVariantMap> KestTestPeer::callResults() const
{
    return readMapList(control(QStringLiteral("CallResults")));
}
