// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbench.h"

#include "kestbenchsummary.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <limits>
#include <vector>

namespace {

const char PrivateBusMark[] = "KEST_BENCH_PRIVATE_BUS";
const char CaseMark[] = "KEST_BENCH_CASE";

// Never on the desktop's bus: the peers own component names that real applications would find.
int execOnPrivateBus(char **argv)
{
    qputenv(PrivateBusMark, "1");
    const QByteArray config = QByteArrayLiteral("--config-file=") + KEST_BENCH_BUS_CONFIG;
    std::vector<char *> arguments{const_cast<char *>(DBUS_RUN_SESSION), const_cast<char *>(config.constData()),
                                  const_cast<char *>("--")};
    for (char **argument = argv; *argument; ++argument)
        arguments.push_back(*argument);
    arguments.push_back(nullptr);
    execv(DBUS_RUN_SESSION, arguments.data());
    std::perror(DBUS_RUN_SESSION);
    return 1;
}

int runCases(int &argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Logging is what each case sets up, starting from Qt's defaults.
    qunsetenv("QT_LOGGING_RULES");
    QCoreApplication app(argc, argv);
    KestBench::silenceTraces();
    if (!QDBusConnection::sessionBus().isConnected()) {
        std::fprintf(stderr, "%s: no session bus\n", argv[0]);
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

// This program again, running the cases that \a arguments select; what it writes on stdout.
QByteArray runCaseProcess(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QLatin1String(CaseMark), QStringLiteral("1"));
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QCoreApplication::applicationFilePath(), arguments);
    process.waitForFinished(-1);
    return process.readAllStandardOutput();
}

} // namespace

int KestBench::run(int &argc, char **argv, const QList<KestBenchRatio> &ratios)
{
    if (!qEnvironmentVariableIsSet(PrivateBusMark))
        return execOnPrivateBus(argv);
    if (qEnvironmentVariableIsSet(CaseMark))
        return runCases(argc, argv);

    QCoreApplication app(argc, argv);
    // Google Benchmark's options, such as --benchmark_filter, go to every case process.
    const QStringList options = app.arguments().mid(1);
    const QStringList cases = QString::fromLocal8Bit(
                                  runCaseProcess(options + QStringList{QStringLiteral("--benchmark_list_tests=true")}))
                                  .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    KestBenchSummary summary(ratios);
    bool failed = cases.isEmpty();
    for (const QString &name : cases) {
        const QByteArray results = runCaseProcess(options
                                                  + QStringList{QStringLiteral("--benchmark_filter=^%1$").arg(name),
                                                                QStringLiteral("--benchmark_format=json")});
        failed |= !summary.add(name, results);
    }
    summary.printRatios();
    return failed ? 1 : 0;
}

void KestBench::timed(benchmark::internal::Benchmark *benchmark)
{
    benchmark->UseRealTime()->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
}

void KestBench::rounds(benchmark::State &state, const std::function<bool(KestBenchClock &clock)> &round,
                       const char *failure, double units, const char *unit)
{
    KestBenchClock warmUp(nullptr);
    if (!round(warmUp)) {
        state.SkipWithError(failure);
        return;
    }
    double leastWall = std::numeric_limits<double>::infinity();
    double leastCpu = std::numeric_limits<double>::infinity();
    for (auto _ : state) {
        KestBenchClock clock(&state);
        if (!round(clock)) {
            state.SkipWithError(failure);
            return;
        }
        leastWall = std::min(leastWall, clock.wallSeconds());
        leastCpu = std::min(leastCpu, clock.cpuSeconds());
    }
    state.counters["least_ms"] = leastWall * 1e3;
    state.counters["least_cpu_ms"] = leastCpu * 1e3;
    if (unit)
        state.counters[unit] = units / leastWall;
}

void KestBench::silenceTraces()
{
    QLoggingCategory::setFilterRules(QStringLiteral("qkest.*.debug=false"));
}

bool KestBench::spinUntil(const std::function<bool()> &done, int timeout)
{
    const QDeadlineTimer deadline(timeout);
    // Wakes the loop now and then, so that the deadline is seen while nothing arrives.
    QTimer heartbeat;
    heartbeat.start(100);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

void KestBench::flushBus()
{
    QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                       QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
}

qint64 KestBench::residentBytes()
{
    malloc_trim(0);
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    // Pages: total size, then resident.
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}
