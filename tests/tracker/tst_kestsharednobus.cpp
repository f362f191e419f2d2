// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Runs with a session bus address that nobody listens on.

#include "kestshared.h"

#include <QTest>

class SharedNoBusTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initializeFailsWithoutABus()
    {
        KestShared *shared = KestShared::instance();
        QTest::ignoreMessage(QtDebugMsg, "KestShared::initialize d-bus not connected");
        QVERIFY(!shared->initialize(KestShared::TrackSources));
        QVERIFY(!shared->isInitialized());
        QCOMPARE(shared->trackFlags(), KestShared::TrackFlagSet());

        // The shorthands keep the bits they add even when initialising fails.
        QTest::ignoreMessage(QtDebugMsg, "KestShared::initialize d-bus not connected");
        QVERIFY(!shared->initTracking());
        QCOMPARE(int(shared->trackFlags()), 0x3F);
    }
};

QTEST_GUILESS_MAIN(SharedNoBusTest)
#include "tst_kestsharednobus.moc"
