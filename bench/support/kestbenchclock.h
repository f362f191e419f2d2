// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHCLOCK_H
#define KESTBENCHCLOCK_H

namespace benchmark {
class State;
}

/*
 * The measured time of one round: wall-clock and process CPU time while it runs. Pausing it
 * (see KestBenchUntimed) pauses Google Benchmark's clocks too, unless the round is the untimed
 * warm-up, which has no state.
 */
class KestBenchClock
{
public:
    explicit KestBenchClock(benchmark::State *state);

    bool isWarmUp() const { return !m_state; }
    void pause();
    void resume();
    double wallSeconds() const;
    double cpuSeconds() const;

private:
    benchmark::State *const m_state;
    bool m_running = true;
    double m_wallStart;
    double m_cpuStart;
    double m_wall = 0;
    double m_cpu = 0;
};

#endif
