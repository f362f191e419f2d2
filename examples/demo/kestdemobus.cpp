// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestdemobus.h"

#include <csignal>
#include <sys/types.h>

namespace {

// The daemon would outlive an interrupted demonstration and keep the plugin process alive.
pid_t g_daemon = 0;

void stopDaemon(int signal)
{
    if (g_daemon > 0)
        ::kill(g_daemon, SIGTERM);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

} // namespace

KestDemoBus::KestDemoBus() = default;

KestDemoBus::~KestDemoBus()
{
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

bool KestDemoBus::start(const QString &configFile)
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + configFile, QStringLiteral("--nofork"),
                    QStringLiteral("--print-address=1")});
    if (!m_daemon.waitForStarted())
        return false;
    while (!m_daemon.canReadLine()) {
        if (!m_daemon.waitForReadyRead(10000))
            return false;
    }
    m_address = QString::fromLocal8Bit(m_daemon.readLine()).trimmed();
    g_daemon = pid_t(m_daemon.processId());
    std::signal(SIGINT, stopDaemon);
    std::signal(SIGTERM, stopDaemon);
    // Qt's session bus connection, and every process started from here, read this variable.
    return !m_address.isEmpty() && qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toLocal8Bit());
}

QString KestDemoBus::address() const
{
    return m_address;
}
