// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLCOMMAND_H
#define KESTCTLCOMMAND_H

#include "kestctlexitstatus.h"

#include <qkest-shared/kestshared.h>

#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

class KestCtlOptions;
class KestCtlOutput;

/*
 * One command of kest-ctl. parse() reads its arguments without touching the bus; start() runs it
 * from the event loop, and finished() gives the exit status, once.
 *
 * Every wait is bounded by the timeout: a command names what it waits for with expect(), and when
 * that has not come in time it ends with status 4 (see timedOut()). Once an outcome is decided the
 * command is concluded; answers that still arrive are ignored.
 */
class KestCtlCommand : public QObject
{
    Q_OBJECT
public:
    KestCtlCommand(KestCtlOutput &output, int timeout, QObject *parent = nullptr);
    ~KestCtlCommand() override;

    //! Reads the command's arguments and options; false for a usage error, see usageError().
    virtual bool parse(const QStringList &arguments, const KestCtlOptions &options) = 0;
    QString usageError() const;

public Q_SLOTS:
    //! Runs the command, from the event loop.
    virtual void start() = 0;
    //! SIGINT or SIGTERM: stops the remote work, then ends with 128 + the signal number.
    virtual void interrupt(int signal);

Q_SIGNALS:
    void finished(int status);

protected:
    //! Asks the remote side to stop the work in progress; true when a request to stop was sent.
    virtual bool abandon();
    //! What was expected has not come in time: reports it, stops the remote work and ends with 4.
    virtual void timedOut();

    // Parsing helpers: each sets the usage error and returns false when the text does not fit.
    bool usage(const QString &message);
    bool acceptOptions(const KestCtlOptions &options, const QStringList &accepted);
    //! A uuid, id or plugin name, which must be usable as an element of a bus name.
    bool readElement(const QString &text, const QString &what, QString *element);
    bool readUInt(const QString &text, const QString &what, uint *value);
    bool readInt(const QString &text, const QString &what, int *value);

    /*!
     * Starts the tracker, with the library's reply time-out a little beyond the timeout; false, and
     * the command has ended, when there is no session bus.
     */
    bool initializeTracker(KestShared::TrackFlagSet flags);

    //! The component worked on, as messages name it ("renderer r1"), and its bus name.
    void setComponent(const QString &component, const QString &service);
    QString component() const;

    KestCtlOutput &output() const;
    int timeout() const;
    //! The timeout as messages give it: "5 s".
    QString timeoutText() const;

    //! Waits at most the timeout for \a what ("answer to get_status"), restarting the wait.
    void expect(const QString &what);
    bool isConcluded() const;
    void finish(int status);
    //! Reports \a message as the component's error and ends with \a status.
    void fail(int status, const QString &message);
    /*!
     * Ends after the library reported that what the command waits for failed: with 3 when the
     * component has left the bus, otherwise with 1 and \a message.
     */
    void failUnlessGone(const QString &message);
    //! Ends with 3: the component has left the bus.
    void componentLeft();
    //! Prints a property that has been read and ends; a property without a value is an error.
    void finishWithProperty(const QString &name, const QVariant &value);
    //! Asks the bus daemon \a method with \a arguments and hands \a take the reply, or the error, in time.
    void askBusDaemon(const QString &method, const QVariantList &arguments,
                      const std::function<void(const QDBusMessage &)> &take);
    //! Ends with \a status once everything sent so far is on its way.
    void flushAndFinish(int status);

private:
    bool conclude();
    //! Concludes with timedOut(), unless already concluded.
    void expire();
    void report(const QString &message);
    void end(int status, const QString &message);

    KestCtlOutput &m_output;
    int m_timeout;
    QString m_usageError;
    QString m_component;
    QString m_service;
    QString m_awaited;
    QTimer m_deadline;
    bool m_concluded = false;
    bool m_finished = false;
};

#endif
