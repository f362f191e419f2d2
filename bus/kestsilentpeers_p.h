// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTSILENTPEERS_P_H
#define KESTSILENTPEERS_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QDBusMessage>
#include <QHash>
#include <QObject>
#include <QString>

class QTimer;

/*
 * The components that have let a call time out, by bus name. Waiting for one of them again would
 * cost the application another time-out, so blocking calls to it fail at once until it shows that
 * it answers: a reply from it to any call, or its name changing hands. Meanwhile it is pinged in
 * the background, first after one time-out and then less and less often, so that a process that
 * was stopped and goes on again is noticed.
 */
class KestSilentPeers : public QObject
{
    Q_OBJECT
public:
    static KestSilentPeers *instance();

    bool isSilent(const QString &service) const;
    //! Takes \a reply, the outcome of a call of \a member to \a service, as a sign of life or of silence.
    void noteOutcome(const QString &service, const QString &member, const QDBusMessage &reply);
    //! \a service has a new owner, or none: what its old owner did no longer counts.
    void forget(const QString &service);

Q_SIGNALS:
    //! \a service answers again after it had been silent.
    void answering(const QString &service);

private:
    explicit KestSilentPeers(QObject *parent);
    void markSilent(const QString &service, const QString &member);
    void markAnswering(const QString &service);
    void scheduleCheck(const QString &service);
    void check(const QString &service);

    struct Peer
    {
        bool silent = false;
        // Times it fell silent since it last did real work: each one doubles the wait for the next check.
        int strikes = 0;
        QTimer *check = nullptr;
    };
    QHash<QString, Peer> m_peers;
};

#endif
