// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The tracker with many components on the bus, N renderers and sources (half each) owned by
// one peer process, against KestBareTracker, which does the bus work below which no tracker can
// go:
// - start-up: KestShared::initialize() in a fresh tracker with an empty registry, against
//   ListNames, one AddMatch and one blocking NameHasOwner per name;
// - removal: from the moment the peer dies until the registry is empty, against one
//   NameOwnerChanged subscription that has seen every name released;
// - memory: the growth of resident memory per proxy (each case runs in a fresh process),
//   against a client that keeps per name a NameOwnerChanged subscription, a record and the
//   display name.

#include "kestbaretracker.h"
#include "kestbench.h"
#include "kestbenchpeer.h"
#include "kestbenchuntimed.h"
#include "kestregistrycleaner.h"

#include <kestregistry.h>
#include <kestrenderer.h>
#include <kestshared.h>
#include <kestsource.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>

namespace {

enum class Client {
    Library,
    LibraryWithRendererSignals,
    Bare
};

KestShared::TrackFlagSet trackFlags(Client client)
{
    const KestShared::TrackFlagSet components = KestShared::TrackRenderers | KestShared::TrackSources;
    return client == Client::LibraryWithRendererSignals ? components | KestShared::TrackRendererSignals : components;
}

int registeredComponents()
{
    const KestRegistry *registry = KestRegistry::instance();
    return int(registry->renderers().size() + registry->sources().size());
}

// A proxy for each of the \a count components, each with the display name it fetched: the
// replies to the start-up's calls are all in.
bool allFollowed(int count)
{
    const KestRegistry *registry = KestRegistry::instance();
    const auto named = [registry] {
        const auto renderers = registry->renderers();
        const auto sources = registry->sources();
        return std::all_of(renderers.cbegin(), renderers.cend(), [](KestRenderer *r) { return !r->name().isEmpty(); })
            && std::all_of(sources.cbegin(), sources.cend(), [](KestSource *s) { return !s->name().isEmpty(); });
    };
    return registeredComponents() == count && KestBench::spinUntil(named);
}

// Back to an empty registry and a quiet bus, as before the first round.
bool stopTracker(std::unique_ptr<KestShared> &tracker)
{
    tracker.reset();
    const bool cleared = clearRegistry();
    KestBench::flushBus();
    return cleared;
}

QStringList peerArguments(int components)
{
    return KestBenchPeer::componentArguments(components / 2, components - components / 2);
}

void Initialize(benchmark::State &state, Client client)
{
    const int count = int(state.range(0));
    KestBenchPeer peer;
    if (!peer.start(peerArguments(count))) {
        state.SkipWithError("the peer did not start");
        return;
    }
    KestBench::rounds(
        state,
        [&](KestBenchClock &clock) {
            std::unique_ptr<KestShared> tracker;
            std::unique_ptr<KestBareTracker> bare;
            {
                KestBenchUntimed untimed(clock);
                if (client == Client::Bare)
                    bare = std::make_unique<KestBareTracker>();
                else
                    tracker = std::make_unique<KestShared>(nullptr);
            }
            const bool found = bare ? bare->discover() == count : tracker->initialize(trackFlags(client));
            KestBenchUntimed untimed(clock);
            const bool followed = bare || (found && allFollowed(count));
            bare.reset();
            return stopTracker(tracker) && found && followed;
        },
        "the components were not all found");
}

void Removal(benchmark::State &state, Client client)
{
    const int count = int(state.range(0));
    const KestRegistry *registry = KestRegistry::instance();
    KestBench::rounds(
        state,
        [&](KestBenchClock &clock) {
            // Nothing in a removal is set up once per process: no warm-up round.
            if (clock.isWarmUp())
                return true;
            auto peer = std::make_unique<KestBenchPeer>();
            std::unique_ptr<KestShared> tracker;
            std::unique_ptr<KestBareTracker> bare;
            int registered = 0;
            QObject counter;
            {
                KestBenchUntimed untimed(clock);
                bool found = peer->start(peerArguments(count));
                if (found && client == Client::Bare) {
                    bare = std::make_unique<KestBareTracker>();
                    found = bare->discover() == count;
                } else if (found) {
                    tracker = std::make_unique<KestShared>(nullptr);
                    found = tracker->initialize(trackFlags(client)) && allFollowed(count);
                    registered = registeredComponents();
                    QObject::connect(registry, &KestRegistry::rendererRemoved, &counter, [&] { --registered; });
                    QObject::connect(registry, &KestRegistry::sourceRemoved, &counter, [&] { --registered; });
                }
                KestBench::flushBus();
                if (!found)
                    return false;
            }
            peer->kill();
            const bool removed = bare ? KestBench::spinUntil([&] { return bare->released() == count; })
                                      : KestBench::spinUntil([&] { return registered == 0; });
            KestBenchUntimed untimed(clock);
            peer.reset();
            bare.reset();
            return stopTracker(tracker) && removed;
        },
        "the components were not all removed");
}

void Memory(benchmark::State &state, Client client)
{
    const int count = int(state.range(0));
    KestBenchPeer peer;
    if (!peer.start(peerArguments(count))) {
        state.SkipWithError("the peer did not start");
        return;
    }
    // As an application holds them: the tracker is the process's own, the proxies stay.
    KestShared *tracker = KestShared::instance();
    KestBareTracker bare;
    double bytes = 0;
    for (auto _ : state) {
        const qint64 before = KestBench::residentBytes();
        const bool followed = client == Client::Bare
            ? bare.follow() == count && KestBench::spinUntil([&] { return bare.namesFetched(); })
            : tracker->initialize(trackFlags(client)) && allFollowed(count);
        KestBench::flushBus();
        const qint64 after = KestBench::residentBytes();
        if (!followed || before < 0 || after < 0) {
            state.SkipWithError("the components were not all followed");
            return;
        }
        bytes = double(after - before) / count;
    }
    state.counters["bytes/proxy"] = bytes;
}

} // namespace

BENCHMARK_CAPTURE(Initialize, library, Client::Library)->Apply(KestBench::timed)->Arg(1000)->Arg(2000)->Iterations(3);
BENCHMARK_CAPTURE(Initialize, library_renderer_signals, Client::LibraryWithRendererSignals)
    ->Apply(KestBench::timed)
    ->Arg(1000)
    ->Arg(2000)
    ->Iterations(3);
BENCHMARK_CAPTURE(Initialize, bare, Client::Bare)->Apply(KestBench::timed)->Arg(1000)->Arg(2000)->Iterations(3);
BENCHMARK_CAPTURE(Removal, library, Client::Library)->Apply(KestBench::timed)->Arg(2000)->Iterations(2);
BENCHMARK_CAPTURE(Removal, bare, Client::Bare)->Apply(KestBench::timed)->Arg(2000)->Iterations(2);
// Once: a process follows its components once.
BENCHMARK_CAPTURE(Memory, library, Client::Library)->Apply(KestBench::timed)->Arg(2000)->Iterations(1);
BENCHMARK_CAPTURE(Memory, bare, Client::Bare)->Apply(KestBench::timed)->Arg(2000)->Iterations(1);

int main(int argc, char **argv)
{
    const auto initialize = [](bool rendererSignals, int count) {
        return KestBenchRatio{
            QStringLiteral("initialize%1_%2")
                .arg(rendererSignals ? QLatin1String("_signals") : QLatin1String())
                .arg(count),
            QStringLiteral("initialize()%1, %2 renderers+sources, vs ListNames + AddMatch + NameHasOwner per name")
                .arg(rendererSignals ? QLatin1String(" with TrackRendererSignals") : QLatin1String())
                .arg(count),
            QStringLiteral("Initialize/%1/%2")
                .arg(rendererSignals ? QLatin1String("library_renderer_signals") : QLatin1String("library"))
                .arg(count),
            QStringLiteral("Initialize/bare/%1").arg(count),
            QString(),
            2.0};
    };
    return KestBench::run(
        argc, argv,
        {initialize(false, 1000),
         initialize(false, 2000),
         initialize(true, 1000),
         initialize(true, 2000),
         {QStringLiteral("removal_2000"), QStringLiteral("removal of 2000 components when their process exits"),
          QStringLiteral("Removal/library/2000"), QStringLiteral("Removal/bare/2000"), QString(), 1.5},
         {QStringLiteral("memory_per_proxy"), QStringLiteral("resident memory per proxy, 2000 proxies"),
          QStringLiteral("Memory/library/2000"), QStringLiteral("Memory/bare/2000"), QStringLiteral("bytes/proxy"),
          1.2}});
}
