// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTDEMOBUS_H
#define KESTDEMOBUS_H

#include <QProcess>
#include <QString>

// A private session bus for the demonstration: a dbus-daemon of its own, made the session bus of
// this process and of every process it starts.
class KestDemoBus
{
public:
    KestDemoBus();
    ~KestDemoBus();

    //! Starts the daemon; call before anything touches the session bus.
    bool start(const QString &configFile);
    QString address() const;

private:
    QProcess m_daemon;
    QString m_address;
};

#endif
