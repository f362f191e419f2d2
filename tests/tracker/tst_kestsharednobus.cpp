// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Runs with a session bus address that nobody listens on. Catches a tracker that reports itself
// initialised, or takes the flags it was asked for, without a bus.

#include "kestshared.h"

#include <QTest>

class SharedNoBusTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initializeFailsWithoutABus()
    {
        KestShared *shared = KestShared::instance();
        QVERIFY(!shared->initialize(KestShared::TrackSources));
        QVERIFY(!shared->isInitialized());
        QCOMPARE(shared->trackFlags(), KestShared::TrackFlagSet());
        // The shorthands keep the bits they add even when initialising fails.
        QVERIFY(!shared->initTracking());
        QCOMPARE(int(shared->trackFlags()), 0x3F);
    }
};

QTEST_GUILESS_MAIN(SharedNoBusTest)
#include "tst_kestsharednobus.moc"
