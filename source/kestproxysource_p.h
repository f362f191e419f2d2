// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYSOURCE_P_H
#define KESTPROXYSOURCE_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestproxysource.h"

#include <QDBusMessage>
#include <QList>
#include <QMap>
#include <QSet>
#include <QString>

#include <functional>
#include <map>
#include <memory>

class DBusAdaptor;
class KestProxySourceNameRequest;

// Pending requests by id, and where the remote source is.
class KestProxySourcePrivate
{
public:
    using Action = KestProxySource::KestOngoingAction;

    // A browse or query that the source has started, under the id the source chose.
    struct Pending
    {
        std::unique_ptr<Action> action;
        //! The id its receiver knows: the source's for browse() and query(), the proxy's for the asynchronous starts.
        uint callerId = 0;
    };

    // Browses, or queries.
    struct Requests
    {
        std::map<uint, Pending> ongoing;
        //! Asynchronous starts still waiting for the source's id, by the caller's id.
        std::map<uint, std::unique_ptr<Action>> starting;
        QSet<uint> cancelWhenStarted;
        //! Results for ids that nobody holds yet, while a start is on its way: the source may send its first rows
        //! before its answer to the start has been handled. They are handled again once it has.
        QList<std::function<void()>> early;
    };

    //! Calls the receiver of an action with the id it knows.
    using Invoke = std::function<bool(Action &action, uint callerId)>;

    explicit KestProxySourcePrivate(KestProxySource *q);

    uint startAsync(Requests &requests, const QDBusMessage &call, Action *action);
    void started(Requests &requests, uint callerId, const QDBusMessage &reply);
    //! Keeps a result for an id that a start still on its way may claim; false when none can.
    bool keepEarly(Requests &requests, const std::function<void()> &handleAgain);
    void handleEarly(Requests &requests);
    //! False when no request has \a id.
    bool deliverRow(Requests &requests, uint id, int remainingCount, const Invoke &invoke, const char *destroyedMessage,
                    const char *failedMessage);
    bool deliverError(Requests &requests, uint id, const Invoke &invoke, const char *destroyedMessage,
                      const char *failedMessage);
    //! The source ended the browse or query \a id without a last row.
    void finish(Requests &requests, uint id);
    void cancel(Requests &requests, uint callerId, const QString &member, const char *failureMessage);
    void sendCancel(const QString &member, uint id, const char *failureMessage) const;
    void announceFinished(const Requests &requests, uint callerId, bool receiverAlive);

    KestProxySource *const q;
    QMap<uint, KestProxySource::KestOngoingAction *> m_ongoingGetMetas;
    uint m_getMetaId = 0;
    DBusAdaptor *m_dbusAdaptor = nullptr;
    Requests m_queries;
    Requests m_browses;
    uint m_lastCallerId;
    KestProxySourceNameRequest *m_nameRequest = nullptr;
    QString m_serviceName;
    QString m_objectPath;
};

#endif
