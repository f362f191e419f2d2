// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHITEMS_H
#define KESTBENCHITEMS_H

#include <kestcontent.h>

#include <QStringList>

// The items that the benchmarks' sources deliver, the same whoever serves them.
class KestBenchItems
{
public:
    //! Rows repeat their metadata and columns with this period; what the client decodes is the same.
    static const int Variants = 100;

    //! About what a music source sends per item: ten entries, strings, integers and a double.
    static Metamap metadata(int i);
    //! Ten strings, as a query row.
    static QStringList queryColumns(int i);
};

#endif
