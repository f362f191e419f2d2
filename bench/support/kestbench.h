// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCH_H
#define KESTBENCH_H

#include "kestbenchclock.h"
#include "kestbenchratio.h"

#include <QList>
#include <QString>

#include <functional>

namespace benchmark {
class State;
namespace internal {
class Benchmark;
}
} // namespace benchmark

// What every benchmark program shares: its private bus, its event loop, its measurements.
namespace KestBench {

/*
 * Runs the Google Benchmark cases registered in the program, each in a fresh process of its own
 * so that no case inherits what another left behind (bus connection state, heap, registry), and
 * prints a line per case and then the ratio lines of \a ratios (see KestBenchSummary). The
 * program re-executes itself under dbus-run-session first: it always runs on a private bus of
 * its own with the benchmark bus configuration. In the cases the library's debug traces are off,
 * as QT_LOGGING_RULES="qkest.*.debug=false" turns them off.
 */
int run(int &argc, char **argv, const QList<KestBenchRatio> &ratios);

/*
 * How every case is measured, to be applied to its registration: Google Benchmark's columns show
 * the mean wall-clock time and process CPU time of a round in milliseconds.
 */
void timed(benchmark::internal::Benchmark *benchmark);

/*
 * Runs \a round once as a warm-up, for what a process sets up only once, and then once per
 * iteration of \a state; a round that fails ends the case with \a failure. The round may stop
 * its clock where it prepares and tidies up (KestBenchUntimed). The least round, which the other
 * processes of a loaded machine disturbed least, gives the counters "least_ms" and
 * "least_cpu_ms", and with a \a unit the rate "unit" of \a units per least round.
 */
void rounds(benchmark::State &state, const std::function<bool(KestBenchClock &clock)> &round, const char *failure,
            double units = 0, const char *unit = nullptr);

//! The library's debug traces off, as a case runs unless it says otherwise.
void silenceTraces();

/*
 * Runs the event loop, as an application's would (deferred deletions included), until \a done
 * holds; false after \a timeout milliseconds.
 */
bool spinUntil(const std::function<bool()> &done, int timeout = 120000);

//! One round trip to the bus daemon: everything sent before has been handled when it returns.
void flushBus();

//! The process's resident memory in bytes, after returning freed heap memory to the system.
qint64 residentBytes();

} // namespace KestBench

#endif
