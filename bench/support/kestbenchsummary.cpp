// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbenchsummary.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

// Google Benchmark's fixed keys; the others are the case's counters.
const QStringList RunKeys = {QStringLiteral("name"),
                             QStringLiteral("family_index"),
                             QStringLiteral("per_family_instance_index"),
                             QStringLiteral("run_name"),
                             QStringLiteral("run_type"),
                             QStringLiteral("repetitions"),
                             QStringLiteral("repetition_index"),
                             QStringLiteral("threads"),
                             QStringLiteral("iterations"),
                             QStringLiteral("real_time"),
                             QStringLiteral("cpu_time"),
                             QStringLiteral("time_unit"),
                             QStringLiteral("least_ms"),
                             QStringLiteral("least_cpu_ms")};

QString humanized(double value)
{
    if (value >= 1e6)
        return QString::number(value / 1e6, 'f', 2) + QLatin1Char('M');
    if (value >= 1e3)
        return QString::number(value / 1e3, 'f', 1) + QLatin1Char('k');
    return QString::number(value, 'f', value < 10 ? 2 : 0);
}

// The name as registered: without the parts that options add ("iterations:3", "real_time").
QString caseName(const QString &runName)
{
    QStringList parts = runName.split(QLatin1Char('/'));
    parts.erase(std::remove_if(parts.begin(), parts.end(),
                               [](const QString &part) {
                                   return part.contains(QLatin1Char(':')) || part.endsWith(QLatin1String("_time"));
                               }),
                parts.end());
    return parts.join(QLatin1Char('/'));
}

} // namespace

KestBenchSummary::KestBenchSummary(const QList<KestBenchRatio> &ratios)
    : m_ratios(ratios)
{
}

bool KestBenchSummary::add(const QString &runName, const QByteArray &json)
{
    const QString name = caseName(runName);
    const QJsonArray runs = QJsonDocument::fromJson(json).object().value(QLatin1String("benchmarks")).toArray();
    const QJsonObject run = runs.at(0).toObject();
    if (runs.isEmpty() || run.value(QLatin1String("error_occurred")).toBool()) {
        std::printf("%-48s failed: %s\n", qPrintable(name),
                    runs.isEmpty() ? "no results" : qPrintable(run.value(QLatin1String("error_message")).toString()));
        std::fflush(stdout);
        return false;
    }
    const int rounds = run.value(QLatin1String("iterations")).toInt();
    QString line = QStringLiteral("%1 %2 of %3 ms")
                       .arg(rounds)
                       .arg(rounds == 1 ? QLatin1String("round") : QLatin1String("rounds"))
                       .arg(run.value(QLatin1String("real_time")).toDouble(), 0, 'f', 1);
    if (run.contains(QLatin1String("least_ms"))) {
        line += QStringLiteral(", least %1 ms (%2 ms CPU)")
                    .arg(run.value(QLatin1String("least_ms")).toDouble(), 0, 'f', 1)
                    .arg(run.value(QLatin1String("least_cpu_ms")).toDouble(), 0, 'f', 1);
    }
    for (auto it = run.constBegin(); it != run.constEnd(); ++it) {
        if (!RunKeys.contains(it.key()) && it.value().isDouble())
            line += QStringLiteral(", %1 %2").arg(humanized(it.value().toDouble()), it.key());
    }
    std::printf("%-48s %s\n", qPrintable(name), qPrintable(line));
    std::fflush(stdout);
    m_cases.insert(name, run);
    return true;
}

bool KestBenchSummary::measure(const QString &name, const QString &counter, Measure *measure) const
{
    const QJsonObject run = m_cases.value(name);
    const double shown = run.value(counter).toDouble();
    if (run.contains(QLatin1String("least_ms"))) {
        const double milliseconds = run.value(QLatin1String("least_ms")).toDouble();
        *measure = {milliseconds, run.value(QLatin1String("least_cpu_ms")).toDouble(),
                    counter.isEmpty() ? QString::number(milliseconds, 'f', 1) + QStringLiteral(" ms")
                                      : humanized(shown) + QLatin1Char(' ') + counter};
    } else {
        *measure = {shown, 0, humanized(shown) + QLatin1Char(' ') + counter};
    }
    return measure->value > 0;
}

void KestBenchSummary::printRatios() const
{
    std::printf("\n");
    for (const KestBenchRatio &ratio : m_ratios) {
        if (ratio.raw.isEmpty()) {
            printBound(ratio);
            continue;
        }
        Measure library;
        Measure raw;
        if (!measure(ratio.library, ratio.counter, &library) || !measure(ratio.raw, ratio.counter, &raw)) {
            std::printf("ratio %s n/a; %s\n", qPrintable(ratio.name), qPrintable(ratio.what));
            continue;
        }
        const QString cpu = library.cpu > 0 && raw.cpu > 0 ? QString::number(library.cpu / raw.cpu, 'f', 2)
                                                           : QStringLiteral("n/a");
        std::printf("ratio %s %.2f (target <= %.2f); cpu %s; library %s; raw %s; %s\n", qPrintable(ratio.name),
                    library.value / raw.value, ratio.target, qPrintable(cpu), qPrintable(library.text),
                    qPrintable(raw.text), qPrintable(ratio.what));
    }
    std::fflush(stdout);
}

void KestBenchSummary::printBound(const KestBenchRatio &bound) const
{
    const QJsonValue value = m_cases.value(bound.library).value(bound.counter);
    if (!value.isDouble()) {
        std::printf("ratio %s n/a; %s\n", qPrintable(bound.name), qPrintable(bound.what));
        return;
    }
    std::printf("ratio %s %.2f (target <= %.2f); cpu n/a; library %s %s; raw n/a; %s\n", qPrintable(bound.name),
                value.toDouble(), bound.target, qPrintable(humanized(value.toDouble())), qPrintable(bound.counter),
                qPrintable(bound.what));
}
