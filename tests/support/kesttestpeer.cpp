// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kesttestpeer.h"

#include "kesttestbus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QTest>

namespace {

const QString ControlPath = QStringLiteral("/kesttest/control");
const QString ControlInterface = QStringLiteral("com.zorvo.kesttest.Control");

QString nextControlName()
{
    static int counter = 0;
    return QStringLiteral("com.zorvo.kesttest.peer_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
}

// QVariantList travels as av: each element keeps its own D-Bus type.
QVariant asArgumentList(const QVariantList &arguments)
{
    return QVariant::fromValue(arguments);
}

QList<QVariantMap> readMapList(const QDBusMessage &reply)
{
    QList<QVariantMap> result;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return result;
    reply.arguments().constFirst().value<QDBusArgument>() >> result;
    return result;
}

} // namespace

KestTestPeer::KestTestPeer(const QString &program)
    : m_program(program)
{
    qDBusRegisterMetaType<QList<QVariantMap>>();
    m_process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
}

KestTestPeer::~KestTestPeer()
{
    if (isRunning() && !stop())
        kill();
}

QString KestTestPeer::programPath(const QString &program)
{
    return QStringLiteral(KEST_TEST_PEER_DIR "/") + program;
}

bool KestTestPeer::start(const QStringList &names, const QStringList &paths, const QStringList &extraArguments)
{
    m_controlName = nextControlName();
    QStringList arguments;
    for (const QString &name : names)
        arguments << QStringLiteral("--name") << name;
    for (const QString &path : paths)
        arguments << QStringLiteral("--serve") << path;
    arguments << extraArguments << QStringLiteral("--control") << m_controlName;
    m_process.start(programPath(m_program), arguments);
    if (!m_process.waitForStarted())
        return false;
    // The control name is owned last, so once it is there everything else is too.
    return QTest::qWaitFor([this] { return !isRunning() || KestTestBus::hasOwner(m_controlName); }, 20000)
        && isRunning();
}

bool KestTestPeer::stop()
{
    if (!isRunning())
        return true;
    control(QStringLiteral("Quit"));
    return m_process.waitForFinished(20000);
}

void KestTestPeer::kill()
{
    m_process.kill();
    m_process.waitForFinished();
}

bool KestTestPeer::isRunning() const
{
    return m_process.state() != QProcess::NotRunning;
}

QString KestTestPeer::controlName() const
{
    return m_controlName;
}

QString KestTestPeer::uniqueName() const
{
    return QDBusConnection::sessionBus().interface()->serviceOwner(m_controlName).value();
}

QDBusMessage KestTestPeer::control(const QString &method, const QVariantList &arguments) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(m_controlName, ControlPath, ControlInterface, method);
    message.setArguments(arguments);
    return QDBusConnection::sessionBus().call(message);
}

static bool succeeded(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage)
        return false;
    return reply.arguments().isEmpty() || reply.arguments().constFirst().toBool();
}

bool KestTestPeer::requestName(const QString &name)
{
    return succeeded(control(QStringLiteral("RequestName"), {name}));
}

bool KestTestPeer::releaseName(const QString &name)
{
    return succeeded(control(QStringLiteral("ReleaseName"), {name}));
}

bool KestTestPeer::serve(const QString &path)
{
    return succeeded(control(QStringLiteral("Serve"), {path}));
}

bool KestTestPeer::scriptReply(const QString &member, const QVariantList &arguments)
{
    return succeeded(control(QStringLiteral("ScriptReply"), {member, asArgumentList(arguments)}));
}

bool KestTestPeer::scriptError(const QString &member, const QString &errorText, const QString &errorName)
{
    return succeeded(control(QStringLiteral("ScriptError"), {member, errorName, errorText}));
}

bool KestTestPeer::scriptNoReply(const QString &member)
{
    return succeeded(control(QStringLiteral("ScriptNoReply"), {member}));
}

bool KestTestPeer::scriptExit(const QString &member)
{
    return succeeded(control(QStringLiteral("ScriptExit"), {member}));
}

bool KestTestPeer::scriptAfterCall(const QString &member, const QString &service, const QString &path,
                                   const QString &interface, const QString &callMember, const QVariantList &arguments)
{
    return succeeded(control(QStringLiteral("ScriptAfterCall"),
                             {member, service, path, interface, callMember, asArgumentList(arguments)}));
}

bool KestTestPeer::scriptAfterSignal(const QString &member, const QString &path, const QString &interface,
                                     const QString &signal, const QVariantList &arguments)
{
    return succeeded(
        control(QStringLiteral("ScriptAfterSignal"), {member, path, interface, signal, asArgumentList(arguments)}));
}

bool KestTestPeer::emitSignal(const QString &path, const QString &interface, const QString &signal,
                              const QVariantList &arguments)
{
    return succeeded(control(QStringLiteral("Emit"), {path, interface, signal, asArgumentList(arguments)}));
}

bool KestTestPeer::call(const QString &service, const QString &path, const QString &interface, const QString &member,
                        const QVariantList &arguments)
{
    return succeeded(control(QStringLiteral("Call"), {service, path, interface, member, asArgumentList(arguments)}));
}

QList<KestRecordedCall> KestTestPeer::calls() const
{
    QList<KestRecordedCall> result;
    const QList<QVariantMap> records = readMapList(control(QStringLiteral("Calls")));
    for (const QVariantMap &record : records) {
        KestRecordedCall call;
        call.sender = record.value(QStringLiteral("sender")).toString();
        call.path = record.value(QStringLiteral("path")).toString();
        call.interface = record.value(QStringLiteral("interface")).toString();
        call.member = record.value(QStringLiteral("member")).toString();
        call.signature = record.value(QStringLiteral("signature")).toString();
        const QVariant arguments = record.value(QStringLiteral("arguments"));
        if (arguments.canConvert<QDBusArgument>())
            arguments.value<QDBusArgument>() >> call.arguments;
        else
            call.arguments = arguments.toList();
        result.append(call);
    }
    return result;
}

QList<KestRecordedCall> KestTestPeer::callsTo(const QString &member) const
{
    QList<KestRecordedCall> result;
    const QList<KestRecordedCall> all = calls();
    for (const KestRecordedCall &call : all) {
        if (call.member == member)
            result.append(call);
    }
    return result;
}

bool KestTestPeer::waitForCalls(const QString &member, int count, int timeout) const
{
    return QTest::qWaitFor([&] { return callsTo(member).size() >= count; }, timeout);
}

QList<QVariantMap> KestTestPeer::callResults() const
{
    return readMapList(control(QStringLiteral("CallResults")));
}

bool KestTestPeer::waitForCallResults(int count, int timeout) const
{
    return QTest::qWaitFor([&] { return callResults().size() >= count; }, timeout);
}

bool KestTestPeer::reset()
{
    return succeeded(control(QStringLiteral("Reset")));
}
