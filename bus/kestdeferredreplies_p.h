// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTDEFERREDREPLIES_P_H
#define KESTDEFERREDREPLIES_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestdeferredreply_p.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

/*
 * The calls of one published object that wait for its local object's callbacks. Every caller is
 * untrusted: each may have a bounded number of calls waiting, the object as a whole a bounded
 * number of receivers handed out and not called back, and a call waits at most the library's
 * reply time-out (KestShared::replyTimeout()) before it is answered with an error. A caller that
 * leaves the bus has its calls dropped.
 */
class KestDeferredReplies : public QObject
{
    Q_OBJECT
public:
    //! Calls of one caller that may wait at once.
    static const int MaxWaitingPerCaller = 256;
    //! Receivers of one object that may be out with the local object at once.
    static const int MaxOutstanding = 1024;

    //! \a what names the local object in error texts ("The renderer").
    KestDeferredReplies(QObject *parent, const QString &what);
    ~KestDeferredReplies() override;

    /*!
     * A receiver for \a message, or null when its caller, or the object, has too many calls
     * waiting: the call has then been answered with an error.
     */
    template<typename Reply>
    Reply *start(const QDBusMessage &message)
    {
        return admits(message) ? new Reply(this, message) : nullptr;
    }
    /*!
     * After the receiver has been handed to the local object, which returned \a accepted: a
     * refusal is answered with an error whose text is \a failure, and a receiver that the local
     * object will not call (again) is deleted; the others wait for their callback.
     */
    void started(KestDeferredReply *reply, bool accepted, const QString &failure);
    //! Answers every waiting call with an error whose text is \a text.
    void refuseAll(const QString &text);

private:
    friend class KestDeferredReply;
    bool admits(const QDBusMessage &message);
    void settled(KestDeferredReply *reply);
    void calledBack(KestDeferredReply *reply);
    void expire();
    void dropCaller(const QString &caller);
    void scheduleExpiry();

    QString m_what;
    // Handed out and not called back, in the order they were handed out (and so of their deadlines).
    QList<KestDeferredReply *> m_outstanding;
    // Calls still to be answered, by caller.
    QHash<QString, int> m_waiting;
    QTimer m_expiry;
};

#endif
