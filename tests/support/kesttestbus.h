// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTTESTBUS_H
#define KESTTESTBUS_H

#include <QString>

// Small questions to the test's private bus daemon.
class KestTestBus
{
public:
    static bool hasOwner(const QString &name);
    //! Runs the event loop until \a name has an owner, or \a timeout milliseconds have passed.
    static bool waitForOwner(const QString &name, int timeout = 20000);
    //! Runs the event loop until \a name has no owner, or \a timeout milliseconds have passed.
    static bool waitForNoOwner(const QString &name, int timeout = 20000);
    static QString uniqueName();
};

#endif
