// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHSTALLMETER_H
#define KESTBENCHSTALLMETER_H

#include <QElapsedTimer>
#include <QTimer>

/*
 * The longest time the event loop went without turning while the meter lives: a precise
 * 1 ms timer notes the largest gap between its ticks, and between the last tick and now. The gap
 * by the wall clock also holds the time the machine gave to other processes; the gap in the CPU
 * time of the thread holds only the work done on it, what the application's own code makes it wait.
 */
class KestBenchStallMeter
{
public:
    KestBenchStallMeter();

    double longestMilliseconds() const;
    double longestWorkMilliseconds() const;

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastTick = 0;
    qint64 m_longest = 0;
    qint64 m_lastWork = 0;
    qint64 m_longestWork = 0;
};

#endif
