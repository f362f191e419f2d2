// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTBUSCALL_P_H
#define KESTBUSCALL_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QDBusMessage>
#include <QList>
#include <QString>
#include <QVariant>

// The library's one way of making a method call that waits for its reply.
class KestBusCall
{
public:
    /*
     * Calls \a method on the session bus and waits for the reply, at most the bus library's
     * default time-out. The caller's event loop does not run meanwhile.
     */
    static QDBusMessage blocking(const QString &service, const QString &path, const QString &interface,
                                 const QString &method, const QList<QVariant> &arguments = QList<QVariant>());

    //! The first argument of a method reply; invalid for an error, a time-out or an empty reply.
    static QVariant firstArgument(const QDBusMessage &reply);
};

#endif
