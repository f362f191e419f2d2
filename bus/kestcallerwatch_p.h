// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCALLERWATCH_P_H
#define KESTCALLERWATCH_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QDBusServiceWatcher>
#include <QHash>
#include <QObject>
#include <QString>

/*
 * The callers of published components that still wait for something (a delayed reply, browse
 * rows), by unique name: the adaptors follow a caller while they keep anything for it, and drop
 * what they keep when it leaves the bus. A caller that has already left when it is first followed
 * is reported as well, once the daemon has said so.
 */
class KestCallerWatch : public QObject
{
    Q_OBJECT
public:
    static KestCallerWatch *instance();

    //! Counted: a caller followed twice is unfollowed twice.
    void follow(const QString &caller);
    void unfollow(const QString &caller);

Q_SIGNALS:
    void callerLeft(const QString &caller);

private:
    explicit KestCallerWatch(QObject *parent);
    void leave(const QString &caller);

    QHash<QString, int> m_followers;
    QDBusServiceWatcher m_watcher;
};

#endif
