// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbenchclock.h"

#include <benchmark/benchmark.h>

#include <ctime>

namespace {

double seconds(clockid_t clock)
{
    timespec now;
    clock_gettime(clock, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

} // namespace

KestBenchClock::KestBenchClock(benchmark::State *state)
    : m_state(state)
    , m_wallStart(seconds(CLOCK_MONOTONIC))
    , m_cpuStart(seconds(CLOCK_PROCESS_CPUTIME_ID))
{
}

void KestBenchClock::pause()
{
    if (m_state)
        m_state->PauseTiming();
    m_wall += seconds(CLOCK_MONOTONIC) - m_wallStart;
    m_cpu += seconds(CLOCK_PROCESS_CPUTIME_ID) - m_cpuStart;
    m_running = false;
}

void KestBenchClock::resume()
{
    m_wallStart = seconds(CLOCK_MONOTONIC);
    m_cpuStart = seconds(CLOCK_PROCESS_CPUTIME_ID);
    m_running = true;
    if (m_state)
        m_state->ResumeTiming();
}

double KestBenchClock::wallSeconds() const
{
    return m_running ? m_wall + seconds(CLOCK_MONOTONIC) - m_wallStart : m_wall;
}

double KestBenchClock::cpuSeconds() const
{
    return m_running ? m_cpu + seconds(CLOCK_PROCESS_CPUTIME_ID) - m_cpuStart : m_cpu;
}
