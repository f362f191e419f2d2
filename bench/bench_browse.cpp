// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Browse and query rows reaching the caller's slots: KestProxySource against a raw QtDBus
// receiver of the same rows (KestRawSourceAdaptor) from the same remote source, 100k rows in
// result calls of 100 rows each. Browse rows carry a metadata block of ten entries, query rows ten
// strings. The library's browse runs once more with Qt's default logging rules, against the
// same raw receiver, which does not log.

#include "kestbench.h"
#include "kestbenchpeer.h"
#include "kestbenchqtdefaultlogging.h"
#include "kestbenchreceiver.h"
#include "kestrawsourceadaptor.h"

#include <kestproxysource.h>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <optional>

namespace {

const uint Rows = 100000;
const uint WarmUpRows = 1000;
const int ValuesPerRow = 10;

enum class Client {
    Library,
    Raw
};
enum class Kind {
    Browse,
    Query
};
enum class Logging {
    Silenced,
    QtDefault
};

const QStringList &keys()
{
    static const QStringList keys{QStringLiteral("title"), QStringLiteral("artist"), QStringLiteral("album"),
                                  QStringLiteral("duration")};
    return keys;
}

// Starts a browse or query of the given row count with the receiver's slots; the id, or 0.
using Start = std::function<uint(uint rows, KestBenchReceiver *receiver)>;

Start libraryStart(KestProxySource *source, Kind kind)
{
    if (kind == Kind::Browse) {
        return [source](uint rows, KestBenchReceiver *receiver) {
            return source->browse(QString(), QString(), keys(), 0, rows, receiver,
                                  SLOT(browseRow(uint, QString, Metamap, uint, int)),
                                  SLOT(browseError(uint, uint, QString)));
        };
    }
    return [source](uint rows, KestBenchReceiver *receiver) {
        return source->query(QString::number(rows), receiver, SLOT(queryRow(uint, QStringList, uint, int)),
                             SLOT(queryError(uint, int, QString)));
    };
}

Start rawStart(KestRawSourceAdaptor *source, Kind kind)
{
    if (kind == Kind::Browse)
        return [source](uint rows, KestBenchReceiver *receiver) { return source->browse(keys(), 0, rows, receiver); };
    return [source](uint rows, KestBenchReceiver *receiver) { return source->query(QString::number(rows), receiver); };
}

void deliverRows(benchmark::State &state, Kind kind, Client client, Logging logging)
{
    KestBenchPeer peer;
    if (!peer.start(KestBenchPeer::componentArguments(0, 1)
                    + QStringList{QStringLiteral("--rows"), QString::number(Rows)})) {
        state.SkipWithError("the peer did not start");
        return;
    }
    // Either way source s0 of the peer, whose results arrive at the same path and interface.
    const QString plugin = QStringLiteral("bench");
    const QString uuid = QStringLiteral("s0");
    std::unique_ptr<KestProxySource> proxy;
    QObject rawReceiver;
    Start start;
    if (client == Client::Library) {
        proxy = std::make_unique<KestProxySource>(nullptr, uuid, plugin, QStringLiteral("Bench s0"));
        if (!proxy->initDBusConnection()) {
            state.SkipWithError("the proxy is not on the bus");
            return;
        }
        start = libraryStart(proxy.get(), kind);
    } else {
        auto *adaptor = new KestRawSourceAdaptor(&rawReceiver, plugin, uuid);
        if (!adaptor->isRegistered()) {
            state.SkipWithError("the raw receiver is not on the bus");
            return;
        }
        start = rawStart(adaptor, kind);
    }

    std::optional<KestBenchQtDefaultLogging> qtDefaultLogging;
    if (logging == Logging::QtDefault)
        qtDefaultLogging.emplace();
    KestBenchReceiver receiver;
    // Every row, with all its values decoded.
    const auto deliver = [&](uint rows) {
        receiver.reset();
        return start(rows, &receiver) && KestBench::spinUntil([&] { return receiver.finished(); })
            && receiver.errors() == 0 && receiver.rows() == int(rows) && receiver.values() == int(rows) * ValuesPerRow;
    };
    KestBench::rounds(
        state, [&](KestBenchClock &clock) { return deliver(clock.isWarmUp() ? WarmUpRows : Rows); },
        "rows did not arrive", Rows, "rows/s");
}

void Browse(benchmark::State &state, Client client, Logging logging)
{
    deliverRows(state, Kind::Browse, client, logging);
}

void Query(benchmark::State &state, Client client)
{
    deliverRows(state, Kind::Query, client, Logging::Silenced);
}

} // namespace

BENCHMARK_CAPTURE(Browse, library, Client::Library, Logging::Silenced)->Apply(KestBench::timed)->Iterations(5);
BENCHMARK_CAPTURE(Browse, raw, Client::Raw, Logging::Silenced)->Apply(KestBench::timed)->Iterations(5);
// As many rounds as the case it is compared with: the least of fewer rounds reads slower.
BENCHMARK_CAPTURE(Browse, library_qt_default_logging, Client::Library, Logging::QtDefault)
    ->Apply(KestBench::timed)
    ->Iterations(5);
BENCHMARK_CAPTURE(Query, library, Client::Library)->Apply(KestBench::timed)->Iterations(5);
BENCHMARK_CAPTURE(Query, raw, Client::Raw)->Apply(KestBench::timed)->Iterations(5);

int main(int argc, char **argv)
{
    return KestBench::run(
        argc, argv,
        {{QStringLiteral("browse_rows"), QStringLiteral("browse rows/s, 100k rows in batches of 100"),
          QStringLiteral("Browse/library"), QStringLiteral("Browse/raw"), QStringLiteral("rows/s"), 1.10},
         {QStringLiteral("query_rows"), QStringLiteral("query rows/s, 100k rows in batches of 100"),
          QStringLiteral("Query/library"), QStringLiteral("Query/raw"), QStringLiteral("rows/s"), 1.10},
         {QStringLiteral("browse_qt_default_logging"), QStringLiteral("browse rows/s with Qt's default logging rules"),
          QStringLiteral("Browse/library_qt_default_logging"), QStringLiteral("Browse/raw"), QStringLiteral("rows/s"),
          1.15}});
}
