#include "kestdemobus.h"

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
    // Qt's session bus connection, and every process started from here, read this variable.
    return !m_address.isEmpty() && qputenv("DBUS_SESSION_BUS_ADDRESS", m_address.toLocal8Bit());
}

QString KestDemoBus::address() const
{
    return m_address;
}
