// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTTESTPEER_H
#define KESTTESTPEER_H

#include <QDBusMessage>
#include <QProcess>
#include <QStringList>
#include <QTest>

// One method call that a test peer received.
struct KestRecordedCall
{
    QString path;
    QString interface;
    QString member;
    QString signature;
    QVariantList arguments;
};

// A peer process on the test bus, started and scripted by the test. By default the program is
// kest-scripted-peer (see KestPeerControl); other programs that take --control NAME and export
// KestPeerControl start the same way. Scripted arguments keep their Qt types on the way (they
// travel as "av"), so an uint goes out as 'u' and a QDBusVariant as 'v'.
class KestTestPeer
{
public:
    explicit KestTestPeer(const QString &program = QStringLiteral("kest-scripted-peer"));
    ~KestTestPeer();

    //! Starts the peer and waits until it owns \a names and serves \a paths.
    bool start(const QStringList &names = QStringList(), const QStringList &paths = QStringList(),
               const QStringList &extraArguments = QStringList());
    //! Asks the peer to quit and waits for it to exit.
    bool stop();
    //! Kills the peer at once, as a crash would.
    void kill();
    //! Stops the process (SIGSTOP) or lets it go on (SIGCONT): stopped, it answers nothing, not even a ping.
    void setStopped(bool stopped);
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }

    QString controlName() const { return m_controlName; }
    //! The peer's unique connection name.
    QString uniqueName() const;

    bool requestName(const QString &name) { return command(QStringLiteral("RequestName"), {name}); }
    bool releaseName(const QString &name) { return command(QStringLiteral("ReleaseName"), {name}); }

    bool scriptReply(const QString &member, const QVariantList &arguments = QVariantList())
    {
        return script(member, QStringLiteral("reply"), arguments);
    }
    bool scriptError(const QString &member, const QString &errorText,
                     const QString &errorName = QStringLiteral("com.zorvo.kesttest.Error"))
    {
        return script(member, QStringLiteral("error"), {errorName, errorText});
    }
    bool scriptNoReply(const QString &member) { return script(member, QStringLiteral("noreply")); }
    bool scriptExit(const QString &member) { return script(member, QStringLiteral("exit")); }
    //! After answering \a member, calls \a callMember; an empty \a service means the caller.
    bool scriptAfterCall(const QString &member, const QString &service, const QString &path, const QString &interface,
                         const QString &callMember, const QVariantList &arguments = QVariantList())
    {
        return script(member, QStringLiteral("after"),
                      {service, path, interface, callMember, QVariant::fromValue(arguments)});
    }

    //! Like scriptAfterCall(), but the call goes out before the answer.
    bool scriptBeforeReply(const QString &member, const QString &service, const QString &path, const QString &interface,
                           const QString &callMember, const QVariantList &arguments = QVariantList())
    {
        return script(member, QStringLiteral("before"),
                      {service, path, interface, callMember, QVariant::fromValue(arguments)});
    }

    bool emitSignal(const QString &path, const QString &interface, const QString &signal,
                    const QVariantList &arguments = QVariantList())
    {
        return command(QStringLiteral("Emit"), {path, interface, signal, QVariant::fromValue(arguments)});
    }
    //! Makes the peer call \a member without waiting; the outcome shows in callResults().
    bool call(const QString &service, const QString &path, const QString &interface, const QString &member,
              const QVariantList &arguments = QVariantList())
    {
        const QVariantList request{service, path, interface, member, QVariant::fromValue(arguments)};
        return command(QStringLiteral("Call"), {QVariant::fromValue(request)});
    }

    //! The calls the peer received, all of them or those of \a member only.
    QList<KestRecordedCall> calls(const QString &member = QString()) const;
    QList<KestRecordedCall> callsTo(const QString &member) const { return calls(member); }
    //! Runs the event loop until the peer has received \a count calls of \a member.
    bool waitForCalls(const QString &member, int count = 1, int timeout = 20000) const
    {
        return QTest::qWaitFor([&] { return calls(member).size() >= count; }, timeout);
    }
    //! Outcomes of the calls the peer made: maps with "member", "errorName", "errorText" and the
    //! reply's "signature".
    QList<QVariantMap> callResults() const;
    bool waitForCallResults(int count, int timeout = 20000) const
    {
        return QTest::qWaitFor([&] { return callResults().size() >= count; }, timeout);
    }
    //! Forgets scripts and recorded calls.
    bool reset() { return command(QStringLiteral("Reset")); }
    // Arguments keep their Qt types on the way: they travel as "av".
    bool script(const QString &member, const QString &outcome, const QVariantList &arguments = QVariantList())
    {
        return command(QStringLiteral("Script"), {member, outcome, QVariant::fromValue(arguments)});
    }
    //! Calls \a method of the peer's control object; the reply.
    QDBusMessage control(const QString &method, const QVariantList &arguments = QVariantList()) const;

private:
    //! True when the peer answered, and answered true if it answers anything.
    bool command(const QString &method, const QVariantList &arguments = QVariantList()) const;

    QString m_program;
    QString m_controlName;
    QProcess m_process;
};

#endif
