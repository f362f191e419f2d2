// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHUNTIMED_H
#define KESTBENCHUNTIMED_H

#include "kestbenchclock.h"

//! Stops a round's clocks while it lives: for preparing and tidying up within the round.
class KestBenchUntimed
{
public:
    explicit KestBenchUntimed(KestBenchClock &clock)
        : m_clock(clock)
    {
        m_clock.pause();
    }
    ~KestBenchUntimed() { m_clock.resume(); }

    KestBenchUntimed(const KestBenchUntimed &) = delete;
    KestBenchUntimed &operator=(const KestBenchUntimed &) = delete;

private:
    KestBenchClock &m_clock;
};

#endif
