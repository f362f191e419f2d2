// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Browse and query rows reaching the caller's slots: KestProxySource against a raw QtDBus
// receiver of the same rows (KestRawSourceAdaptor) from the same remote source, 100k rows in
// result calls of 100 rows each. Browse rows carry a metadata block of ten entries, query rows ten
// strings. The library's browse runs once more with Qt's default logging rules, against the
// same raw receiver, which does not log.
//
// A source that does not answer, with a reply time-out of 1 s: ten browse() starts in a row,
// against ten raw blocking calls with the same time-out, for a source that is stopped and for one
// that ignores browse calls; and browseAsync(), for the longest event-loop stall until its error
// slot is reached and the time that takes, against a raw asynchronous call with the same time-out.

#include "kestbench.h"
#include "kestbenchpeer.h"
#include "kestbenchqtdefaultlogging.h"
#include "kestbenchreceiver.h"
#include "kestrawsourceadaptor.h"

#include "kestbenchstallmeter.h"
#include "kestbenchuntimed.h"

#include <kestproxysource.h>
#include <kestshared.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

#include <benchmark/benchmark.h>

#include <algorithm>
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

const int SilentTimeout = 1000;
const int SilentStarts = 10;

enum class Silence {
    Stopped,
    IgnoresBrowse
};

// A proxy of a source of a peer that does not answer; each round takes another source, since one that has
// let a call time out is not waited for again.
class SilentSource
{
public:
    SilentSource(benchmark::State &state, Silence silence)
    {
        QStringList arguments = KestBenchPeer::componentArguments(0, Sources);
        if (silence == Silence::IgnoresBrowse)
            arguments << QStringLiteral("--silent");
        if (!m_peer.start(arguments)) {
            state.SkipWithError("the peer did not start");
            return;
        }
        if (silence == Silence::Stopped)
            m_peer.setStopped(true);
        KestShared::instance()->setReplyTimeout(SilentTimeout);
        m_ready = true;
    }
    ~SilentSource() { m_peer.setStopped(false); }

    bool isReady() const { return m_ready; }
    //! The next source's proxy; null when the peer has no more sources or the proxy is not on the bus.
    std::unique_ptr<KestProxySource> next()
    {
        if (m_used == Sources)
            return nullptr;
        auto proxy = std::make_unique<KestProxySource>(nullptr, QStringLiteral("s%1").arg(m_used++),
                                                       QStringLiteral("bench"), QStringLiteral("Silent"));
        return proxy->initDBusConnection() ? std::move(proxy) : nullptr;
    }

private:
    static const int Sources = 8;
    KestBenchPeer m_peer;
    bool m_ready = false;
    int m_used = 0;
};

void SilentBrowses(benchmark::State &state, Client client, Silence silence)
{
    SilentSource sources(state, silence);
    if (!sources.isReady())
        return;
    KestBenchReceiver receiver;
    KestBench::rounds(
        state,
        [&](KestBenchClock &clock) {
            std::unique_ptr<KestProxySource> proxy;
            {
                KestBenchUntimed untimed(clock);
                if (!(proxy = sources.next()))
                    return false;
            }
            int started = 0;
            for (int i = 0; i < SilentStarts; ++i) {
                if (client == Client::Library) {
                    started += libraryStart(proxy.get(), Kind::Browse)(10, &receiver) != 0;
                } else {
                    const QDBusMessage call = proxy->createPredicateBrowseCall(QString(), QString(), keys(), 0, 10);
                    started += QDBusConnection::sessionBus().call(call, QDBus::Block, SilentTimeout).type()
                        == QDBusMessage::ReplyMessage;
                }
            }
            return started == 0;
        },
        "a browse started on a source that does not answer");
}

// The round ends when the error slot has been reached; the stall is measured from the start.
void AsyncSilentBrowse(benchmark::State &state, Client client)
{
    SilentSource sources(state, Silence::Stopped);
    if (!sources.isReady())
        return;
    double longestStall = 0;
    double longestWork = 0;
    KestBench::rounds(
        state,
        [&](KestBenchClock &clock) {
            std::unique_ptr<KestProxySource> proxy;
            KestBenchReceiver receiver;
            {
                KestBenchUntimed untimed(clock);
                if (!(proxy = sources.next()))
                    return false;
            }
            KestBenchStallMeter stalls;
            if (client == Client::Library) {
                if (!proxy->browseAsync(QString(), QString(), keys(), 0, 10, &receiver,
                                        SLOT(browseRow(uint, QString, Metamap, uint, int)),
                                        SLOT(browseError(uint, uint, QString))))
                    return false;
            } else {
                const QDBusMessage call = proxy->createPredicateBrowseCall(QString(), QString(), keys(), 0, 10);
                auto *watcher = new QDBusPendingCallWatcher(
                    QDBusConnection::sessionBus().asyncCall(call, SilentTimeout), &receiver);
                QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &receiver,
                                 [&receiver](QDBusPendingCallWatcher *finished) {
                                     finished->deleteLater();
                                     receiver.browseError(0, 3, finished->error().message());
                                 });
            }
            const bool failed = KestBench::spinUntil([&] { return receiver.finished(); }) && receiver.errors() == 1;
            if (!clock.isWarmUp()) {
                longestStall = std::max(longestStall, stalls.longestMilliseconds());
                longestWork = std::max(longestWork, stalls.longestWorkMilliseconds());
            }
            return failed;
        },
        "the error did not arrive");
    state.counters["stall_ms"] = longestStall;
    state.counters["stall_work_ms"] = longestWork;
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
// Every round waits for at least one time-out, the raw ones for ten.
BENCHMARK_CAPTURE(SilentBrowses, library_stopped, Client::Library, Silence::Stopped)
    ->Apply(KestBench::timed)
    ->Iterations(3);
BENCHMARK_CAPTURE(SilentBrowses, raw_stopped, Client::Raw, Silence::Stopped)->Apply(KestBench::timed)->Iterations(3);
BENCHMARK_CAPTURE(SilentBrowses, library_ignoring, Client::Library, Silence::IgnoresBrowse)
    ->Apply(KestBench::timed)
    ->Iterations(3);
BENCHMARK_CAPTURE(SilentBrowses, raw_ignoring, Client::Raw, Silence::IgnoresBrowse)
    ->Apply(KestBench::timed)
    ->Iterations(3);
BENCHMARK_CAPTURE(AsyncSilentBrowse, library, Client::Library)->Apply(KestBench::timed)->Iterations(3);
BENCHMARK_CAPTURE(AsyncSilentBrowse, raw, Client::Raw)->Apply(KestBench::timed)->Iterations(3);

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
          1.15},
         // 1.5 s of the raw calls' 10 s.
         {QStringLiteral("silent_browses_stopped"),
          QStringLiteral("ten browse() starts on a stopped source, reply time-out 1 s, vs ten raw blocking calls"),
          QStringLiteral("SilentBrowses/library_stopped"), QStringLiteral("SilentBrowses/raw_stopped"), QString(),
          0.15},
         {QStringLiteral("silent_browses_ignoring"),
          QStringLiteral("ten browse() starts on a source that ignores browse, reply time-out 1 s, vs ten raw "
                         "blocking calls"),
          QStringLiteral("SilentBrowses/library_ignoring"), QStringLiteral("SilentBrowses/raw_ignoring"), QString(),
          0.15},
         {QStringLiteral("async_silent_browse_error"),
          QStringLiteral("browseAsync() on a stopped source, reply time-out 1 s: time until the error slot, vs a raw "
                         "asynchronous call"),
          QStringLiteral("AsyncSilentBrowse/library"), QStringLiteral("AsyncSilentBrowse/raw"), QString(), 1.10},
         // By the thread's CPU time: the wall clock's gaps also hold what the machine gave other processes, as
         // much with raw QtDBus (stall_ms of AsyncSilentBrowse/raw).
         {QStringLiteral("async_silent_browse_stall"),
          QStringLiteral("longest event-loop stall from browseAsync() on a stopped source until its error slot, "
                         "work on the thread, ms"),
          QStringLiteral("AsyncSilentBrowse/library"), QString(), QStringLiteral("stall_work_ms"), 5}});
}
