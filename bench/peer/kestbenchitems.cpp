// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbenchitems.h"

Metamap KestBenchItems::metadata(int i)
{
    return {{QStringLiteral("title"), QStringLiteral("Title of track %1").arg(i)},
            {QStringLiteral("artist"), QStringLiteral("Artist %1").arg(i % 17)},
            {QStringLiteral("album"), QStringLiteral("Album %1").arg(i % 13)},
            {QStringLiteral("genre"), QStringLiteral("Genre %1").arg(i % 5)},
            {QStringLiteral("uri"), QStringLiteral("file:///music/album%1/track%2.ogg").arg(i % 13).arg(i)},
            {QStringLiteral("mimetype"), QStringLiteral("audio/ogg")},
            {QStringLiteral("tracknumber"), i % 20},
            {QStringLiteral("duration"), 180000 + i},
            {QStringLiteral("year"), 2000 + i % 24},
            {QStringLiteral("rating"), (i % 10) * 0.5}};
}

QStringList KestBenchItems::queryColumns(int i)
{
    QStringList columns;
    for (int column = 0; column < 10; ++column)
        columns << QStringLiteral("Column %1 of result %2").arg(column).arg(i);
    return columns;
}
