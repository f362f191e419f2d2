// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLSIGNALNOTIFIER_H
#define KESTCTLSIGNALNOTIFIER_H

#include <QObject>

class QSocketNotifier;

/*
 * Turns SIGINT and SIGTERM into a Qt signal delivered by the event loop, so that a command can
 * end cleanly (cancel what it started, flush its output) instead of dying in the middle.
 * The handler only writes the signal number into a socket pair; the notifier reads it back.
 * Without a socket pair the signals keep their default action.
 */
class KestCtlSignalNotifier : public QObject
{
    Q_OBJECT
public:
    explicit KestCtlSignalNotifier(QObject *parent = nullptr);
    ~KestCtlSignalNotifier() override;

Q_SIGNALS:
    void interrupted(int signal);

private:
    static void handle(int signal);
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};

#endif
