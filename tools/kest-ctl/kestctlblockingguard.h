// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLBLOCKINGGUARD_H
#define KESTCTLBLOCKINGGUARD_H

#include <QString>

/*
 * Bounds one blocking call of the library (starting a browse or a query, reading a playlist or its
 * model), which waits with the bus's default time-out and cannot be interrupted: if the call has
 * not returned within the timeout, the process ends at once with status 4 and \a message on
 * standard error. kest-ctl asks a component whether it answers before it makes such a call, so
 * this only catches a component that stops answering in between.
 */
class KestCtlBlockingGuard
{
public:
    KestCtlBlockingGuard(const QString &message, int timeout);
    ~KestCtlBlockingGuard();

    KestCtlBlockingGuard(const KestCtlBlockingGuard &) = delete;
    KestCtlBlockingGuard &operator=(const KestCtlBlockingGuard &) = delete;

    //! Makes \a call under a guard.
    template<typename Call>
    static auto bound(const QString &message, int timeout, Call call)
    {
        const KestCtlBlockingGuard guard(message, timeout);
        return call();
    }

private:
    static void expire(int signal);
};

#endif
