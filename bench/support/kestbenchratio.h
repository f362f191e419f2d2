// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHRATIO_H
#define KESTBENCHRATIO_H

#include <QString>

/*
 * One row of the performance table: a library case against its raw QtDBus baseline, both
 * benchmarks of the same program doing the same work per round. The ratio is the library's
 * least round time over the baseline's (for cases without rounds, such as memory, the counter's
 * values), so 1.0 is as fast as raw and more is slower.
 */
struct KestBenchRatio
{
    QString name; //!< Short key, as in "browse_rows".
    QString what; //!< What the row measures, for the table.
    QString library; //!< Benchmark names ("Browse/library"), without Google Benchmark's suffixes.
    QString raw; //!< Empty for a bound: the row shows the library's counter itself against the target.
    QString counter; //!< The counter shown for each side, as "rows/s"; empty shows the round time.
    double target; //!< Largest acceptable ratio.
};

#endif
