// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLPROBE_H
#define KESTCTLPROBE_H

#include <QDBusError>
#include <QDBusMessage>
#include <QObject>
#include <QTimer>

class QDBusPendingCallWatcher;

/*
 * One method call of kest-ctl's own, answered or given up within a time limit.
 *
 * The library waits for some answers with the bus's default time-out, which a silent component
 * stretches to many seconds. Before such a call the tool asks the component something itself,
 * with its own limit, and also asks the bus daemon whether a name still has an owner.
 */
class KestCtlProbe : public QObject
{
    Q_OBJECT
public:
    enum Outcome {
        Pending,
        Answered,
        //! An error reply; error() tells which.
        Failed,
        //! Nothing within the time limit.
        Silent
    };

    //! Sends \a call at once; finished() follows within \a timeout milliseconds.
    KestCtlProbe(const QDBusMessage &call, int timeout, QObject *parent);
    ~KestCtlProbe() override;

    //! A call to the bus daemon.
    static QDBusMessage busDaemonCall(const QString &method, const QVariantList &arguments = QVariantList());
    //! True for the errors that say that nobody owns the name called.
    static bool isNoOwnerError(const QDBusError &error);

    Outcome outcome() const;
    QDBusMessage reply() const;
    QDBusError error() const;

Q_SIGNALS:
    void finished();

private:
    void conclude(Outcome outcome);

    QDBusPendingCallWatcher *m_watcher;
    QTimer m_limit;
    Outcome m_outcome = Pending;
    QDBusMessage m_reply;
    QDBusError m_error;
};

#endif
