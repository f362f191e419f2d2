// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTPEERCONTROL_H
#define KESTPEERCONTROL_H

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QMap>

// The control object of a test peer, at "/kesttest/control", for KestTestPeer; it also serves
// the peer's other paths. Through it the test says which names to own, what each served method
// answers (an empty reply unless scripted), which signals to emit and calls to make, and reads
// back every call the peer received.
class KestPeerControl : public QDBusVirtualObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kesttest.Control")
public:
    explicit KestPeerControl(QObject *parent = nullptr);

    bool registerOn(QDBusConnection connection);
    //! Every method call on \a path goes to the script.
    bool serve(const QString &path) { return m_connection.registerVirtualObject(path, this); }
    // Records each call on a served path and answers it as scripted.
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;
    QString introspect(const QString &) const override { return QString(); }

public Q_SLOTS:
    Q_SCRIPTABLE bool RequestName(const QString &name) { return m_connection.registerService(name); }
    Q_SCRIPTABLE bool ReleaseName(const QString &name) { return m_connection.unregisterService(name); }
    // How \a member is answered from now on: "reply" with \a arguments, "error" with the error
    // name and text in \a arguments, "noreply" (never), or "exit" (the peer leaves the bus
    // instead). "after" adds a call to make once it is answered: service (empty for the caller),
    // path, interface, member and its arguments; "before" one to make before it is answered.
    Q_SCRIPTABLE void Script(const QString &member, const QString &outcome, const QVariantList &arguments);
    Q_SCRIPTABLE bool Emit(const QString &path, const QString &interface, const QString &signal,
                           const QVariantList &arguments);
    //! Makes a call like those of "after", at once.
    Q_SCRIPTABLE void Call(const QVariantList &call) { perform(call, QString()); }
    Q_SCRIPTABLE QList<QVariantMap> Calls() const { return m_calls; }
    Q_SCRIPTABLE QList<QVariantMap> CallResults() const { return m_callResults; }
    Q_SCRIPTABLE void Reset()
    {
        m_answers.clear();
        m_calls.clear();
        m_callResults.clear();
    }
    Q_SCRIPTABLE void Quit() { QCoreApplication::exit(0); }

private:
    struct Answer
    {
        QString outcome;
        QVariantList arguments;
        QList<QVariantList> after;
        QList<QVariantList> before;
    };

    void perform(const QVariantList &call, const QString &caller);

    QDBusConnection m_connection;
    QMap<QString, Answer> m_answers;
    QList<QVariantMap> m_calls;
    QList<QVariantMap> m_callResults;
};

#endif
