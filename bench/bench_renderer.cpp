// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Renderer round trips, pipelined: 5000 KestProxyRenderer::getPosition() requests in flight,
// their replies counted by the caller's slot, against 5000 raw asynchronous get_position calls,
// each with a QDBusPendingCallWatcher, to the same remote renderer.

#include "kestbench.h"
#include "kestbenchpeer.h"
#include "kestbenchreceiver.h"

#include "kestbusnames_p.h"
#include <kestinternalregistry.h>
#include <kestproxyrenderer.h>

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>

namespace {

const int InFlight = 5000;
const int WarmUpCalls = 100;

enum class Client {
    Library,
    Raw
};

// Sends one get_position call; the reply reaches the receiver's position slot.
using Ask = std::function<bool(KestBenchReceiver *receiver)>;

Ask rawAsk(const QString &uuid)
{
    return [uuid](KestBenchReceiver *receiver) {
        const QDBusMessage call = QDBusMessage::createMethodCall(
            KestBusNames::rendererService(QStringLiteral("bench"), uuid), KestBusNames::rendererPath(uuid),
            KestBusNames::rendererInterface(), QStringLiteral("get_position"));
        auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), receiver);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, receiver, [receiver](QDBusPendingCallWatcher *w) {
            const QDBusPendingReply<uint> reply = *w;
            if (!reply.isError())
                receiver->position(nullptr, reply.value());
            w->deleteLater();
        });
        return true;
    };
}

void Position(benchmark::State &state, Client client)
{
    KestBenchPeer peer;
    if (!peer.start(KestBenchPeer::componentArguments(1, 0))) {
        state.SkipWithError("the peer did not start");
        return;
    }
    // Named already, so the proxy sends nothing on its own.
    std::unique_ptr<KestProxyRenderer> proxy;
    Ask ask;
    if (client == Client::Library) {
        proxy = std::make_unique<KestProxyRenderer>(QStringLiteral("r0"), QStringLiteral("bench"),
                                                    KestInternalRegistry::internalInstance(),
                                                    QStringLiteral("Bench r0"));
        ask = [renderer = proxy.get()](KestBenchReceiver *receiver) {
            return renderer->getPosition(receiver, SLOT(position(KestRenderer *, uint)));
        };
    } else {
        ask = rawAsk(QStringLiteral("r0"));
    }

    KestBenchReceiver receiver;
    const auto roundTrips = [&](int calls) {
        receiver.reset();
        for (int i = 0; i < calls; ++i) {
            if (!ask(&receiver))
                return false;
        }
        return KestBench::spinUntil([&] { return receiver.positions() == calls; });
    };
    KestBench::rounds(
        state, [&](KestBenchClock &clock) { return roundTrips(clock.isWarmUp() ? WarmUpCalls : InFlight); },
        "replies did not arrive", InFlight, "calls/s");
}

} // namespace

BENCHMARK_CAPTURE(Position, library, Client::Library)->Apply(KestBench::timed)->Iterations(5);
BENCHMARK_CAPTURE(Position, raw, Client::Raw)->Apply(KestBench::timed)->Iterations(5);

int main(int argc, char **argv)
{
    return KestBench::run(argc, argv,
                          {{QStringLiteral("renderer_position"),
                            QStringLiteral("renderer round trips (getPosition), 5000 in flight, calls/s"),
                            QStringLiteral("Position/library"), QStringLiteral("Position/raw"),
                            QStringLiteral("calls/s"), 1.10}});
}
