// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTTESTPEER_H
#define KESTTESTPEER_H

#include "kestrecordedcall.h"

#include <QDBusMessage>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariant>

/*
 * A peer process on the test bus, started and scripted by the test.
 *
 * By default the program is kest-scripted-peer: it owns the given bus names, serves the given
 * object paths and answers, emits and calls as the script says (see KestPeerControl). Other
 * peer programs that take --control NAME and export KestPeerControl can be started the same way.
 * Arguments of scripted replies, signals and calls keep their Qt types on the way, so an uint
 * goes out as 'u' and a QDBusVariant as 'v'.
 */
class KestTestPeer
{
public:
    explicit KestTestPeer(const QString &program = QStringLiteral("kest-scripted-peer"));
    ~KestTestPeer();

    static QString programPath(const QString &program);

    //! Starts the peer and waits until it owns \a names and serves \a paths.
    bool start(const QStringList &names = QStringList(), const QStringList &paths = QStringList(),
               const QStringList &extraArguments = QStringList());
    //! Asks the peer to quit and waits for it to exit.
    bool stop();
    //! Kills the peer at once, as a crash would.
    void kill();
    bool isRunning() const;

    QString controlName() const;
    //! The peer's unique connection name.
    QString uniqueName() const;

    bool requestName(const QString &name);
    bool releaseName(const QString &name);
    bool serve(const QString &path);

    bool scriptReply(const QString &member, const QVariantList &arguments = QVariantList());
    bool scriptError(const QString &member, const QString &errorText,
                     const QString &errorName = QStringLiteral("com.zorvo.kesttest.Error"));
    bool scriptNoReply(const QString &member);
    bool scriptExit(const QString &member);
    //! After answering \a member, calls \a callMember; an empty \a service means the caller.
    bool scriptAfterCall(const QString &member, const QString &service, const QString &path, const QString &interface,
                         const QString &callMember, const QVariantList &arguments = QVariantList());
    //! After answering \a member, emits \a signal.
    bool scriptAfterSignal(const QString &member, const QString &path, const QString &interface, const QString &signal,
                           const QVariantList &arguments = QVariantList());

    bool emitSignal(const QString &path, const QString &interface, const QString &signal,
                    const QVariantList &arguments = QVariantList());
    //! Makes the peer call \a member without waiting; the outcome shows in callResults().
    bool call(const QString &service, const QString &path, const QString &interface, const QString &member,
              const QVariantList &arguments = QVariantList());

    QList<KestRecordedCall> calls() const;
    QList<KestRecordedCall> callsTo(const QString &member) const;
    //! Runs the event loop until the peer has received \a count calls of \a member.
    bool waitForCalls(const QString &member, int count = 1, int timeout = 20000) const;
    //! Outcomes of the calls the peer made: maps with "member", "errorName", "errorText" and the
    //! reply's "signature".
    QList<QVariantMap> callResults() const;
    bool waitForCallResults(int count, int timeout = 20000) const;
    //! Forgets scripts and recorded calls.
    bool reset();

private:
    QDBusMessage control(const QString &method, const QVariantList &arguments = QVariantList()) const;

    QString m_program;
    QString m_controlName;
    QProcess m_process;
};

#endif
