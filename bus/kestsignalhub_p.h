// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTSIGNALHUB_P_H
#define KESTSIGNALHUB_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestownerwatch_p.h"

#include <QDBusMessage>
#include <QList>
#include <QMultiHash>
#include <QObject>
#include <QString>

#include <initializer_list>

/*
 * Remote components' signals for every proxy of one kind in the process: one subscription per
 * signal, from any sender at any path, handed to the proxy at the signal's object path when
 * the sender owns that component's bus name. Subscribing per proxy and per sender name would
 * cost each proxy match rules of its own and a blocking owner lookup in the bus library.
 *
 * A hub of a kind derives from this class and declares one slot per signal, with the signal's
 * arguments followed by the QDBusMessage; each slot passes the arguments on through deliver().
 */
class KestSignalHub : public QObject
{
    Q_OBJECT
public:
    struct Subscription
    {
        QString interface;
        const char *signal;
        const char *slot;
    };

protected:
    KestSignalHub(QObject *parent, std::initializer_list<Subscription> subscriptions);

    /*!
     * Routes the signals sent at \a path by the owner of \a service to \a proxy, subscribing on
     * first use. False when the bus refuses the subscriptions.
     */
    bool add(const QString &path, const QString &service, QObject *proxy);
    void remove(const QString &path, QObject *proxy);

    //! Calls \a deliver with every proxy that \a signal is for.
    template<typename Proxy, typename Deliver>
    void deliver(const QDBusMessage &signal, Deliver deliver) const
    {
        const auto range = m_routes.equal_range(signal.path());
        for (auto it = range.first; it != range.second; ++it) {
            if (KestOwnerWatch::instance()->owner(it->service) == signal.service())
                deliver(static_cast<Proxy *>(it->proxy));
        }
    }

private:
    bool subscribe();

    struct Route
    {
        QString service;
        QObject *proxy;
    };
    const QList<Subscription> m_subscriptions;
    bool m_subscribed = false;
    QMultiHash<QString, Route> m_routes;
};

#endif
