// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTOWNERWATCH_P_H
#define KESTOWNERWATCH_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QDBusServiceWatcher>
#include <QHash>
#include <QObject>
#include <QString>

/*
 * Who owns the framework's bus names, as far as this process follows them.
 *
 * One match rule covers the whole "com.zorvo.kest" namespace, and only the bus daemon's own
 * NameOwnerChanged is believed: any other process can send a signal of that name. A name that
 * starts being followed is asked about once, without blocking, so that an owner that has
 * already gone is noticed too.
 */
class KestOwnerWatch : public QObject
{
    Q_OBJECT
public:
    //! The process's watch on the session bus.
    static KestOwnerWatch *instance();

    enum Question {
        NoQuestion, //!< the owner is learnt when needed, and its changes followed
        AskOwner //!< the daemon is also asked at once: ownerResolved() follows
    };

    /*!
     * Follows \a name. With AskOwner, ownerResolved() follows, also when the name was followed
     * already; several followers of one name share a single question to the daemon.
     */
    void follow(const QString &name, Question question = NoQuestion);
    void unfollow(const QString &name);
    /*!
     * The unique name that owns the followed \a name, empty when nobody does. While the daemon's
     * answer is still on its way this asks again and waits: the bus library does not keep the
     * answer in order with calls and signals from other processes.
     */
    QString owner(const QString &name);

Q_SIGNALS:
    //! The daemon's answer for a newly followed name; an empty \a owner means nobody owns it.
    void ownerResolved(const QString &name, const QString &owner);
    //! A followed name changed hands; an empty \a newOwner means it was released.
    void ownerChanged(const QString &name, const QString &oldOwner, const QString &newOwner);
    //! Any name of the framework's namespace changed hands, followed or not.
    void namespaceOwnerChanged(const QString &name);
    //! The session bus connection is gone, and with it every owner.
    void disconnected();

private Q_SLOTS:
    void handleOwnerChange(const QString &name, const QString &oldOwner, const QString &newOwner);
    void handleDisconnected();

private:
    explicit KestOwnerWatch(QObject *parent);
    void resolve(const QString &name);

    struct Entry
    {
        int followers = 0;
        bool asked = false;
        bool answered = false;
        bool known = false; // by that answer, or by a change the daemon announced since
        QString owner;
    };
    static QString askOwner(const QString &name);
    QString shared(const QString &owner);
    QHash<QString, Entry> m_names;
    QString m_lastOwner;
    QDBusServiceWatcher m_watcher;
};

#endif
