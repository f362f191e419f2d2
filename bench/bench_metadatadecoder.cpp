// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The metadata block decoder on blocks of growing size. Every browse row goes through it.
//
// DecodeToMap is what each browse row costs; DecodeToLists what a get-metadata reply costs;
// ExtractLoop decodes the same block with the extract operations, which consume the array
// from the front, for comparison.

#include "dbusmessageutil.h"

#include <QLoggingCategory>

#include <benchmark/benchmark.h>

namespace {

// A realistic mix: mostly strings, some numbers of every width.
QByteArray makeBlock(int entries)
{
    QByteArray block;
    for (int i = 0; i < entries; ++i) {
        const QString key = QStringLiteral("key%1").arg(i);
        QVariant value;
        switch (i % 8) {
        case 0: value = QStringLiteral("A title of some length %1").arg(i); break;
        case 1: value = i; break;
        case 2: value = quint64(i) << 33; break;
        case 3: value = i * 0.5; break;
        case 4: value = QVariant::fromValue(static_cast<signed char>(i)); break;
        case 5: value = bool(i & 1); break;
        case 6: value = -qint64(i); break;
        default: value = QStringLiteral("file:///music/album/track%1.ogg").arg(i); break;
        }
        DBusMessageUtil::appendMetadataEntry(block, key, value);
    }
    return block;
}

void silenceTraces()
{
    // Per-value debug traces would dominate the timing.
    QLoggingCategory::setFilterRules(QStringLiteral("qkest.*.debug=false"));
}

void DecodeToMap(benchmark::State &state)
{
    silenceTraces();
    const QByteArray block = makeBlock(int(state.range(0)));
    for (auto _ : state) {
        QMap<QString, QVariant> metadata;
        benchmark::DoNotOptimize(DBusMessageUtil::decodeMetadataBlock(block, metadata));
        benchmark::DoNotOptimize(metadata);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * block.size());
}

void DecodeToLists(benchmark::State &state)
{
    silenceTraces();
    const QByteArray block = makeBlock(int(state.range(0)));
    for (auto _ : state) {
        QStringList keys;
        QStringList values;
        benchmark::DoNotOptimize(DBusMessageUtil::decodeMetadataBlock(block, keys, values));
        benchmark::DoNotOptimize(values);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * block.size());
}

void ExtractLoop(benchmark::State &state)
{
    silenceTraces();
    const QByteArray block = makeBlock(int(state.range(0)));
    for (auto _ : state) {
        QByteArray data = block;
        QMap<QString, QVariant> metadata;
        bool error = false;
        while (!data.isEmpty() && !error) {
            const QString key = DBusMessageUtil::extractString(data, &error);
            DBusMessageUtil::extractNumericValue(data, 0, &error);
            const int type = DBusMessageUtil::extractNumericValue(data, 0, &error);
            const QVariant value = DBusMessageUtil::extractMetadataValue(type, data, &error);
            if (!error)
                metadata.insert(key, value);
        }
        benchmark::DoNotOptimize(metadata);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    state.SetBytesProcessed(state.iterations() * block.size());
}

} // namespace

BENCHMARK(DecodeToMap)->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK(DecodeToLists)->RangeMultiplier(10)->Range(10, 10000);
BENCHMARK(ExtractLoop)->RangeMultiplier(10)->Range(10, 10000);

BENCHMARK_MAIN();
