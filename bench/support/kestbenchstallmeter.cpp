// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbenchstallmeter.h"

#include <algorithm>

KestBenchStallMeter::KestBenchStallMeter()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_lastTick);
        m_lastTick = now;
    });
    m_clock.start();
    m_timer.start(1);
}

double KestBenchStallMeter::longestMilliseconds() const
{
    return double(std::max(m_longest, m_clock.nsecsElapsed() - m_lastTick)) / 1e6;
}
