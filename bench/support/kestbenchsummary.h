// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHSUMMARY_H
#define KESTBENCHSUMMARY_H

#include "kestbenchratio.h"

#include <QHash>
#include <QJsonObject>
#include <QList>

/*
 * Gathers the results of the cases, each run in a process of its own, prints one line per case
 * and then one line per ratio:
 *
 *   ratio browse_rows 1.07 (target <= 1.10); cpu 1.12; library 250.1k rows/s; raw 267.6k rows/s; what
 *
 * "cpu" compares the CPU time that the case's process spent in its least round, which the other
 * processes of a loaded machine disturb less than the wall-clock time; "n/a" where there is no
 * time to compare. A row without a raw case is a bound: its "ratio" is the library's counter,
 * such as the longest stall in milliseconds, and its raw side is "n/a". scripts/bench.sh collects
 * the ratio lines into the performance table.
 */
class KestBenchSummary
{
public:
    explicit KestBenchSummary(const QList<KestBenchRatio> &ratios);

    //! Takes the Google Benchmark JSON output of case \a name; false when the case failed.
    bool add(const QString &name, const QByteArray &json);
    void printRatios() const;

private:
    struct Measure
    {
        double value = 0;
        double cpu = 0;
        QString text;
    };
    bool measure(const QString &name, const QString &counter, Measure *measure) const;
    void printBound(const KestBenchRatio &bound) const;

    QList<KestBenchRatio> m_ratios;
    QHash<QString, QJsonObject> m_cases;
};

#endif
