// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTDEFERREDREPLY_P_H
#define KESTDEFERREDREPLY_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QDBusError>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QVariant>

class KestDeferredReplies;

/*
 * One bus call that a local object answers through a callback: the receiver handed to it, whose
 * slots (in the classes derived from this one) send the delayed reply. The reply goes out once,
 * whatever comes first: the callback, a failure, the time-out. The object itself lives on until
 * the local object has called it back, however late, because the local object keeps a plain
 * pointer to it; KestDeferredReplies bounds how many such objects there are.
 */
class KestDeferredReply : public QObject
{
    Q_OBJECT
public:
    KestDeferredReply(KestDeferredReplies *replies, const QDBusMessage &call);
    ~KestDeferredReply() override;

    QString caller() const { return m_caller; }
    //! Not answered, refused or dropped yet.
    bool isPending() const { return m_pending; }
    bool isCalledBack() const { return m_calledBack; }

    void refuse(QDBusError::ErrorType type, const QString &text);
    //! Nobody is there to answer: the caller has left.
    void drop();

protected:
    //! For the callback slots: the local object has answered with \a arguments.
    void answer(const QList<QVariant> &arguments);
    //! For the callback slots: the local object has called back, but gave nothing to send.
    void answerWithError(const QString &text);

private:
    friend class KestDeferredReplies;
    void settle();
    void calledBack();

    KestDeferredReplies *const m_replies;
    QDBusMessage m_call;
    const QString m_caller;
    bool m_pending = true;
    bool m_calledBack = false;
    // Kept by KestDeferredReplies while it waits for the callback.
    bool m_waiting = false;
    QDeadlineTimer m_deadline;
};

#endif
