// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbenchstallmeter.h"

#include <algorithm>
#include <ctime>

namespace {
qint64 threadCpuNanoseconds()
{
    timespec now = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}
} // namespace

KestBenchStallMeter::KestBenchStallMeter()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_lastTick);
        m_lastTick = now;
        const qint64 work = threadCpuNanoseconds();
        m_longestWork = std::max(m_longestWork, work - m_lastWork);
        m_lastWork = work;
    });
    m_clock.start();
    m_lastWork = threadCpuNanoseconds();
    m_timer.start(1);
}

double KestBenchStallMeter::longestMilliseconds() const
{
    return double(std::max(m_longest, m_clock.nsecsElapsed() - m_lastTick)) / 1e6;
}

double KestBenchStallMeter::longestWorkMilliseconds() const
{
    return double(std::max(m_longestWork, threadCpuNanoseconds() - m_lastWork)) / 1e6;
}
