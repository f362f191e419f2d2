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

class QDBusPendingCallWatcher;
class QObject;

/*
 * The library's one way of calling a method that answers. Every such call waits at most the reply
 * time-out, and a component that has let one call time out is not waited for again until it
 * answers (see KestSilentPeers): blocking calls to it fail at once meanwhile.
 */
class KestBusCall
{
public:
    //! The bus library's own default, for applications that set none.
    static const int DefaultTimeout = 25000;

    //! Milliseconds that a call waits for its reply.
    static int timeout();
    //! False, and nothing changes, for \a milliseconds of 0 or less.
    static bool setTimeout(int milliseconds);

    /*
     * Calls \a method on the session bus and waits for the reply, at most timeout(). The caller's
     * event loop does not run meanwhile. A component that is not answering is not called: the
     * result is an error at once, after a warning that names it.
     */
    static QDBusMessage blocking(const QString &service, const QString &path, const QString &interface,
                                 const QString &method, const QList<QVariant> &arguments = QList<QVariant>());

    /*
     * Sends \a call without waiting. The watcher, a child of \a parent, reports the outcome within
     * timeout(); whoever connects to it deletes it later.
     */
    static QDBusPendingCallWatcher *async(const QDBusMessage &call, QObject *parent);

    /*
     * Sends \a call with Qt's typed callbacks: \a replySlot takes the reply's arguments,
     * \a errorSlot a QDBusError. False when the call could not be placed.
     */
    static bool withCallback(const QDBusMessage &call, QObject *receiver, const char *replySlot, const char *errorSlot);

    //! True for the outcome of a call that nobody answered in time.
    static bool isNoAnswer(const QDBusMessage &reply);

    //! The first argument of a method reply; invalid for an error, a time-out or an empty reply.
    static QVariant firstArgument(const QDBusMessage &reply);
};

#endif
