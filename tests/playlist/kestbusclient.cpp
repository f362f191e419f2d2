// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbusclient.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

static const QString Python = QStringLiteral("/usr/bin/python3");

bool KestBusClient::isAvailable()
{
    return QProcess::execute(Python, {QStringLiteral("-c"), QStringLiteral("from gi.repository import Gio")}) == 0;
}

void KestBusClient::callAt(const QString &path, const QString &interface, const QString &member,
                           const QString &signature, const QVariantList &args)
{
    m_calls << QVariantMap{{QStringLiteral("service"), m_service},   {QStringLiteral("path"), path},
                           {QStringLiteral("interface"), interface}, {QStringLiteral("member"), member},
                           {QStringLiteral("signature"), signature}, {QStringLiteral("args"), args}};
}

bool KestBusClient::start()
{
    const QVariantMap plan{{QStringLiteral("watch"), m_watched},
                           {QStringLiteral("waitFor"), m_waitFor},
                           {QStringLiteral("calls"), m_calls}};
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(Python,
                    {QStringLiteral(KEST_BUS_CLIENT_SCRIPT),
                     QString::fromUtf8(QJsonDocument::fromVariant(plan).toJson(QJsonDocument::Compact))});
    return QTest::qWaitFor([this] { return m_process.canReadLine() || m_process.state() == QProcess::NotRunning; },
                           20000)
        && QJsonDocument::fromJson(m_process.readLine()).object().value(QStringLiteral("ready")).toBool();
}

bool KestBusClient::finish()
{
    if (!QTest::qWaitFor([this] { return m_process.state() == QProcess::NotRunning; }, 60000))
        return false;
    while (m_process.canReadLine()) {
        const QVariantMap line = QJsonDocument::fromJson(m_process.readLine()).object().toVariantMap();
        (line.contains(QStringLiteral("signal")) ? m_signals : m_results).append(line);
    }
    return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0
        && m_results.size() == m_calls.size();
}

QList<QVariantMap> KestBusClient::signalsNamed(const QString &member) const
{
    QList<QVariantMap> found;
    for (const QVariantMap &signal : m_signals)
        if (signal.value(QStringLiteral("signal")) == member)
            found << signal;
    return found;
}

KestBusClient::Reply KestBusClient::reply(int call) const
{
    const QVariantMap &result = m_results.at(call);
    return Reply{result.value(QStringLiteral("type")).toString(),
                 result.value(QStringLiteral("value")).toList().value(0),
                 result.value(QStringLiteral("inner")).toString(), result.value(QStringLiteral("replies")).toInt()};
}

bool KestBusClient::hasErrors() const
{
    for (const QVariantMap &result : m_results)
        if (result.contains(QStringLiteral("error")))
            return true;
    return false;
}
