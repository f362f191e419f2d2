// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTPEERCONTROL_H
#define KESTPEERCONTROL_H

#include <QDBusConnection>
#include <QDBusMessage>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVariant>

class KestScriptedObject;

/*
 * The control object of a test peer, exported at KestPeerControl::path() as interface
 * KestPeerControl::interfaceName(). The test tells the peer through it which bus names to own,
 * which objects to serve, what each method answers, which signals to emit and which calls to
 * make, and reads back every call the peer received.
 *
 * Methods that a script does not mention are answered with an empty reply.
 */
class KestPeerControl : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kesttest.Control")
public:
    enum Outcome {
        Reply, // answer with the scripted arguments
        Error, // answer with a D-Bus error
        NoReply, // never answer
        Exit // leave the bus without answering
    };

    struct Action
    {
        bool isSignal = false;
        QString service; // empty: the caller of the scripted method
        QString path;
        QString interface;
        QString member;
        QVariantList arguments;
    };

    struct Script
    {
        Outcome outcome = Reply;
        QVariantList arguments;
        QString errorName;
        QString errorText;
        QList<Action> after;
    };

    static QString path() { return QStringLiteral("/kesttest/control"); }
    static QString interfaceName() { return QStringLiteral("com.zorvo.kesttest.Control"); }

    explicit KestPeerControl(QObject *parent = nullptr);
    ~KestPeerControl() override;

    bool registerOn(QDBusConnection connection);

    // Called by served objects: records the call and answers it as scripted.
    void handleCall(const QDBusMessage &message);

public Q_SLOTS:
    Q_SCRIPTABLE bool RequestName(const QString &name);
    Q_SCRIPTABLE bool ReleaseName(const QString &name);
    Q_SCRIPTABLE bool Serve(const QString &path);
    Q_SCRIPTABLE void ScriptReply(const QString &member, const QVariantList &arguments);
    Q_SCRIPTABLE void ScriptError(const QString &member, const QString &errorName, const QString &errorText);
    Q_SCRIPTABLE void ScriptNoReply(const QString &member);
    Q_SCRIPTABLE void ScriptExit(const QString &member);
    Q_SCRIPTABLE void ScriptAfterCall(const QString &member, const QString &service, const QString &path,
                                      const QString &interface, const QString &callMember,
                                      const QVariantList &arguments);
    Q_SCRIPTABLE void ScriptAfterSignal(const QString &member, const QString &path, const QString &interface,
                                        const QString &signal, const QVariantList &arguments);
    Q_SCRIPTABLE bool Emit(const QString &path, const QString &interface, const QString &signal,
                           const QVariantList &arguments);
    Q_SCRIPTABLE bool Call(const QString &service, const QString &path, const QString &interface, const QString &member,
                           const QVariantList &arguments);
    Q_SCRIPTABLE QList<QVariantMap> Calls() const;
    Q_SCRIPTABLE QList<QVariantMap> CallResults() const;
    Q_SCRIPTABLE void Reset();
    Q_SCRIPTABLE void Quit();

private:
    void perform(const Action &action, const QString &caller);
    void record(const QDBusMessage &message);

    QDBusConnection m_connection;
    QMap<QString, Script> m_scripts;
    QList<QVariantMap> m_calls;
    QList<QVariantMap> m_callResults;
    QList<KestScriptedObject *> m_objects;
};

#endif
