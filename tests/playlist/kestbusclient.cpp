// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbusclient.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {
const QString Python = QStringLiteral("/usr/bin/python3");
}

KestBusClient::KestBusClient(const QString &service, const QString &path, const QString &interface)
    : m_service(service)
    , m_path(path)
    , m_interface(interface)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
}

KestBusClient::~KestBusClient()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool KestBusClient::isAvailable()
{
    QProcess probe;
    probe.start(Python, {QStringLiteral("-c"), QStringLiteral("from gi.repository import Gio, GLib")});
    return probe.waitForFinished() && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0;
}

void KestBusClient::watch(const QString &interface)
{
    QStringList watched = m_plan.value(QStringLiteral("watch")).toStringList();
    watched.append(interface);
    m_plan.insert(QStringLiteral("watch"), watched);
}

void KestBusClient::waitFor(const QString &signal)
{
    m_plan.insert(QStringLiteral("waitFor"), signal);
}

void KestBusClient::call(const QString &member, const QString &signature, const QVariantList &args)
{
    callAt(m_path, m_interface, member, signature, args);
}

void KestBusClient::callAt(const QString &path, const QString &interface, const QString &member,
                           const QString &signature, const QVariantList &args)
{
    m_calls.append(QVariantMap{{QStringLiteral("service"), m_service},
                               {QStringLiteral("path"), path},
                               {QStringLiteral("interface"), interface},
                               {QStringLiteral("member"), member},
                               {QStringLiteral("signature"), signature},
                               {QStringLiteral("args"), args}});
}

bool KestBusClient::start()
{
    QVariantMap plan = m_plan;
    plan.insert(QStringLiteral("calls"), m_calls);
    const QString json = QString::fromUtf8(
        QJsonDocument(QJsonObject::fromVariantMap(plan)).toJson(QJsonDocument::Compact));
    m_process.start(Python, {QStringLiteral(KEST_BUS_CLIENT_SCRIPT), json});
    if (!m_process.waitForStarted())
        return false;
    if (!QTest::qWaitFor([this] { return m_process.canReadLine() || m_process.state() == QProcess::NotRunning; },
                         20000))
        return false;
    return QJsonDocument::fromJson(m_process.readLine()).object().value(QStringLiteral("ready")).toBool();
}

bool KestBusClient::finish()
{
    if (!QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, 60000))
        return false;
    while (m_process.canReadLine()) {
        const QVariantMap line = QJsonDocument::fromJson(m_process.readLine()).object().toVariantMap();
        if (line.contains(QStringLiteral("signal")))
            m_signals.append(line);
        else if (line.contains(QStringLiteral("member")))
            m_results.append(line);
    }
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0
        && m_results.size() == m_calls.size();
}

QList<QVariantMap> KestBusClient::signalsNamed(const QString &member) const
{
    QList<QVariantMap> found;
    for (const QVariantMap &signal : m_signals) {
        if (signal.value(QStringLiteral("signal")).toString() == member)
            found.append(signal);
    }
    return found;
}

KestBusClient::Reply KestBusClient::reply(int call) const
{
    const QVariantMap &result = m_results.at(call);
    const QVariantList values = result.value(QStringLiteral("value")).toList();
    return Reply{result.value(QStringLiteral("type")).toString(), values.isEmpty() ? QVariant() : values.first()};
}

QString KestBusClient::innerType(int call) const
{
    return m_results.at(call).value(QStringLiteral("inner")).toString();
}

int KestBusClient::replyCount(int call) const
{
    return m_results.at(call).value(QStringLiteral("replies")).toInt();
}

bool KestBusClient::hasErrors() const
{
    for (const QVariantMap &result : m_results) {
        if (result.contains(QStringLiteral("error")))
            return true;
    }
    return false;
}

char *toString(const KestBusClient::Reply &reply)
{
    return QTest::toString(reply.type + QLatin1Char(' ') + reply.value.toString());
}
