// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHROWPACER_H
#define KESTBENCHROWPACER_H

#include "kestbenchitems.h"

#include <QObject>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

/*
 * How a served source of the benchmarks produces the rows of a browse, the same for the published
 * source and the raw adaptor: 100 rows per turn of the event loop, each with the metadata of item
 * i (prepared once).
 */
class KestBenchRowPacer
{
public:
    using Row = std::function<void(uint index, const Metamap &metadata, int remaining)>;

    //! Produces \a rows rows for \a row, then calls \a done (with the rows of the last turn sent).
    static void run(QObject *context, uint rows, const Row &row, const std::function<void()> &done = {})
    {
        static const QList<Metamap> items = [] {
            QList<Metamap> items;
            for (int i = 0; i < KestBenchItems::Variants; ++i)
                items << KestBenchItems::metadata(i);
            return items;
        }();
        auto turn = std::make_shared<std::function<void(uint)>>();
        *turn = [=](uint first) {
            const uint end = std::min(rows, first + 100);
            for (uint i = first; i < end; ++i)
                row(i, items.at(int(i % KestBenchItems::Variants)), int(rows - 1 - i));
            if (end < rows) {
                QTimer::singleShot(0, context, [turn, end] { (*turn)(end); });
                return;
            }
            if (done)
                done();
            // The chain holds itself until now; let it go once this turn is over.
            QTimer::singleShot(0, context, [turn] { *turn = nullptr; });
        };
        QTimer::singleShot(0, context, [turn] { (*turn)(0); });
    }
};

#endif
