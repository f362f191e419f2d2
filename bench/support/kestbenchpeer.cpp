// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbenchpeer.h"

#include <QDeadlineTimer>

#include <csignal>

KestBenchPeer::~KestBenchPeer()
{
    kill();
}

QStringList KestBenchPeer::componentArguments(int renderers, int sources)
{
    return {QStringLiteral("--renderers"), QString::number(renderers), QStringLiteral("--sources"),
            QString::number(sources)};
}

bool KestBenchPeer::start(const QStringList &arguments)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral(KEST_BENCH_PEER), arguments);
    // The peer says "ready" once it owns its names and serves its objects.
    const QDeadlineTimer deadline(60000);
    for (;;) {
        while (m_process.canReadLine()) {
            if (m_process.readLine().trimmed() == "ready")
                return true;
        }
        if (deadline.hasExpired() || !m_process.waitForReadyRead(int(deadline.remainingTime())))
            return false;
    }
}

void KestBenchPeer::kill()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished();
}

void KestBenchPeer::setStopped(bool stopped)
{
    ::kill(pid_t(m_process.processId()), stopped ? SIGSTOP : SIGCONT);
}
