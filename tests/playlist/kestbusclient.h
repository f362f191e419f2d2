// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBUSCLIENT_H
#define KESTBUSCLIENT_H

#include <QList>
#include <QProcess>
#include <QStringList>
#include <QVariant>

// Runs kestbusclient.py, a D-Bus client built on GLib rather than Qt, against objects that the
// test exports: it records the signals of the watched interfaces and makes the queued calls,
// reporting the exact D-Bus type of every reply and signal and how many replies each call got.
class KestBusClient
{
public:
    struct Reply
    {
        QString type; // the reply's type string, such as "(u)"; "()" for an empty reply
        QVariant value; // its first value; for "(v)" the value inside the variant
        QString inner; // for "(v)", the type of the value inside the variant
        int count = 0; // how many replies the caller was sent
    };

    //! Calls go to \a service, and to \a path and \a interface unless callAt() says otherwise.
    KestBusClient(const QString &service, const QString &path, const QString &interface)
        : m_service(service)
        , m_path(path)
        , m_interface(interface)
    {
    }

    static bool isAvailable();

    void watch(const QString &interface) { m_watched << interface; }
    //! The calls start once \a signal has been seen.
    void waitFor(const QString &signal) { m_waitFor = signal; }
    void call(const QString &member, const QString &signature = QString(), const QVariantList &args = {})
    {
        callAt(m_path, m_interface, member, signature, args);
    }
    void callAt(const QString &path, const QString &interface, const QString &member,
                const QString &signature = QString(), const QVariantList &args = {});

    //! Starts the client and waits until it watches the signals.
    bool start();
    //! Runs the event loop until the client has made its calls and exited.
    bool finish();

    QList<QVariantMap> signalsNamed(const QString &member) const;
    Reply reply(int call) const;
    bool hasErrors() const;

private:
    QString m_service;
    QString m_path;
    QString m_interface;
    QStringList m_watched;
    QString m_waitFor;
    QVariantList m_calls;
    QList<QVariantMap> m_signals;
    QList<QVariantMap> m_results;
    QProcess m_process;
};

#endif
