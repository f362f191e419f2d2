// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// A remote playlist model read as a view reads it: row and column count, then index() and
// data() for every cell of 200 rows and 5 columns.
//
// Blocking mode, against blocking raw get_row_count, get_column_count and get_data calls to the
// same exported model. Background mode, where a view asks for every cell and then waits for
// dataChanged() until all are there, against the Blocking model reading them and against raw
// asynchronous calls with as many on their way at once; the longest event-loop stall meanwhile;
// the same cells read again once they are there, counting the cells the exporter was asked for;
// and the longest stall while a view reads a model whose exporter stops answering, from the
// start or once it has given the counts.

#include "kestbench.h"
#include "kestbenchpeer.h"
#include "kestbenchstallmeter.h"
#include "kestbenchuntimed.h"

#include "kestbusnames_p.h"
#include <kestproxymodel.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDeadlineTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

const int Rows = 200;
const int Columns = 5;
const int Cells = Rows * Columns;
// As many as the Background model sends at once.
const int InFlight = 32;
// How long the event loop runs after a view has read a model whose exporter does not answer.
const int SilentMilliseconds = 200;
const QString PlaylistId = QStringLiteral("benchlist");

enum class Client {
    Blocking,
    Background,
    Raw,
    RawAsync
};

enum class Silence {
    FromTheStart,
    AfterTheCounts
};

QDBusMessage modelCall(const QString &member, const QList<QVariant> &arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(KestBusNames::playlistService(PlaylistId),
                                                       KestBusNames::playlistModelPath(PlaylistId),
                                                       KestBusNames::playlistModelInterface(), member);
    call.setArguments(arguments);
    return call;
}

// The reply's first argument.
QVariant firstArgument(const QDBusMessage &reply)
{
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0) : QVariant();
}

// A cell that the model does not have comes as a structure instead of a value.
bool isValue(const QDBusMessage &reply)
{
    const QVariant value = qvariant_cast<QDBusVariant>(firstArgument(reply)).variant();
    return value.isValid() && value.userType() < QMetaType::User;
}

// One blocking call to the exported model; the reply's first argument.
QVariant rawCall(const QString &member, const QList<QVariant> &arguments = {})
{
    return firstArgument(QDBusConnection::sessionBus().call(modelCall(member, arguments)));
}

// Reads every cell; the number of cells that had a value.
int readRaw()
{
    const int rows = rawCall(QStringLiteral("get_row_count")).toInt();
    const int columns = rawCall(QStringLiteral("get_column_count")).toInt();
    int cells = 0;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            cells += isValue(QDBusConnection::sessionBus().call(modelCall(QStringLiteral("get_data"), {row, column})));
    }
    return cells;
}

// The counts, then every cell with InFlight calls on their way at once, each with its own watcher.
int readRawAsync()
{
    // The watchers go with it, answered or not.
    QObject calls;
    int rows = -1;
    int columns = -1;
    for (int *count : {&rows, &columns}) {
        auto *watcher = new QDBusPendingCallWatcher(
            QDBusConnection::sessionBus().asyncCall(
                modelCall(count == &rows ? QStringLiteral("get_row_count") : QStringLiteral("get_column_count"))),
            &calls);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [count](QDBusPendingCallWatcher *finished) {
            *count = firstArgument(finished->reply()).toInt();
            finished->deleteLater();
        });
    }
    if (!KestBench::spinUntil([&] { return rows >= 0 && columns >= 0; }))
        return 0;
    int next = 0;
    int answered = 0;
    int cells = 0;
    std::function<void()> send = [&] {
        for (; next < rows * columns && next - answered < InFlight; ++next) {
            auto *watcher = new QDBusPendingCallWatcher(
                QDBusConnection::sessionBus().asyncCall(
                    modelCall(QStringLiteral("get_data"), {next / columns, next % columns})),
                &calls);
            QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [&](QDBusPendingCallWatcher *finished) {
                ++answered;
                cells += isValue(finished->reply());
                finished->deleteLater();
                send();
            });
        }
    };
    send();
    return KestBench::spinUntil([&] { return answered == rows * columns; }) ? cells : 0;
}

int readModel(const QAbstractItemModel &model)
{
    const int rows = model.rowCount();
    const int columns = model.columnCount();
    int cells = 0;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column)
            cells += model.data(model.index(row, column)).isValid();
    }
    return cells;
}

// A model in Background mode once it has its counts; null when they did not come.
std::unique_ptr<KestProxyModel> backgroundModel()
{
    auto model = std::make_unique<KestProxyModel>(PlaylistId);
    model->setFetchMode(KestProxyModel::Background);
    if (!KestBench::spinUntil([&] { return model->rowCount() > 0 && model->columnCount() > 0; }))
        return nullptr;
    return model;
}

/*
 * As a view: asks for every cell, then reads again those that dataChanged() names until every
 * one has a value. True once all are there.
 */
bool readAsView(const QAbstractItemModel &model)
{
    std::vector<bool> shown(std::size_t(model.rowCount()) * std::size_t(model.columnCount()));
    std::size_t missing = shown.size();
    const auto paint = [&](int firstRow, int lastRow) {
        for (int row = firstRow; row <= lastRow; ++row) {
            for (int column = 0; column < model.columnCount(); ++column) {
                const std::size_t cell = std::size_t(row) * std::size_t(model.columnCount()) + std::size_t(column);
                if (!shown[cell] && model.data(model.index(row, column)).isValid()) {
                    shown[cell] = true;
                    --missing;
                }
            }
        }
    };
    const QMetaObject::Connection changed = QObject::connect(
        &model, &QAbstractItemModel::dataChanged,
        [&](const QModelIndex &topLeft, const QModelIndex &bottomRight) { paint(topLeft.row(), bottomRight.row()); });
    paint(0, model.rowCount() - 1);
    const bool complete = KestBench::spinUntil([&] { return missing == 0; });
    QObject::disconnect(changed);
    return complete;
}

int dataCallsAtPeer()
{
    return firstArgument(QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
                             KestBusNames::playlistService(PlaylistId), QStringLiteral("/kestbench/model"),
                             QStringLiteral("com.zorvo.kestbench.Model"), QStringLiteral("DataCalls"))))
        .toInt();
}

bool startPeer(benchmark::State &state, KestBenchPeer &peer)
{
    if (peer.start({QStringLiteral("--model"), QStringLiteral("%1x%2").arg(Rows).arg(Columns)}))
        return true;
    state.SkipWithError("the peer did not start");
    return false;
}

void CellsRead(benchmark::State &state, Client client)
{
    KestBenchPeer peer;
    if (!startPeer(state, peer))
        return;
    KestProxyModel blockingModel(PlaylistId);
    double longestStall = 0;
    const auto background = [&](KestBenchClock &clock) {
        // Counts and cells arrive within the round, as they do for a view that has just been shown.
        KestBenchStallMeter stalls;
        KestProxyModel model(PlaylistId);
        model.setFetchMode(KestProxyModel::Background);
        const bool complete = KestBench::spinUntil([&] { return model.rowCount() > 0 && model.columnCount() > 0; })
            && readAsView(model);
        if (!clock.isWarmUp())
            longestStall = std::max(longestStall, stalls.longestMilliseconds());
        return complete && readModel(model) == Cells;
    };
    const std::function<bool(KestBenchClock &)> rounds[] = {
        [&](KestBenchClock &) { return readModel(blockingModel) == Cells; },
        background,
        [](KestBenchClock &) { return readRaw() == Cells; },
        [](KestBenchClock &) { return readRawAsync() == Cells; },
    };
    KestBench::rounds(state, rounds[int(client)], "cells were missing", Cells, "cells/s");
    if (client == Client::Background)
        state.counters["stall_ms"] = longestStall;
}

// Cells already there are read without a call: the exporter is asked for none of them again.
void CellsReadAgain(benchmark::State &state)
{
    KestBenchPeer peer;
    if (!startPeer(state, peer))
        return;
    const std::unique_ptr<KestProxyModel> model = backgroundModel();
    if (!model || !readAsView(*model)) {
        state.SkipWithError("cells were missing");
        return;
    }
    const int callsBefore = dataCallsAtPeer();
    KestBench::rounds(
        state, [&](KestBenchClock &) { return readModel(*model) == Cells; }, "cells were missing", Cells, "cells/s");
    state.counters["bus_calls"] = dataCallsAtPeer() - callsBefore;
}

// The event loop runs on while a view reads every cell of a model whose exporter does not answer.
void SilentExporter(benchmark::State &state, Silence silence)
{
    KestBenchPeer peer;
    if (!startPeer(state, peer))
        return;
    double longestStall = 0;
    KestBench::rounds(
        state,
        [&](KestBenchClock &clock) {
            std::unique_ptr<KestProxyModel> model;
            {
                KestBenchUntimed untimed(clock);
                if (silence == Silence::FromTheStart) {
                    peer.setStopped(true);
                    model = std::make_unique<KestProxyModel>(PlaylistId);
                    model->setFetchMode(KestProxyModel::Background);
                } else {
                    model = backgroundModel();
                    peer.setStopped(true);
                }
            }
            KestBenchStallMeter stalls;
            const bool read = model && readModel(*model) == 0;
            const QDeadlineTimer idle(SilentMilliseconds);
            KestBench::spinUntil([&] { return idle.hasExpired(); });
            if (!clock.isWarmUp())
                longestStall = std::max(longestStall, stalls.longestMilliseconds());
            KestBenchUntimed untimed(clock);
            peer.setStopped(false);
            return read;
        },
        "the model did not get its counts");
    state.counters["stall_ms"] = longestStall;
}

} // namespace

BENCHMARK_CAPTURE(CellsRead, blocking, Client::Blocking)->Apply(KestBench::timed)->Iterations(5);
BENCHMARK_CAPTURE(CellsRead, raw, Client::Raw)->Apply(KestBench::timed)->Iterations(5);
BENCHMARK_CAPTURE(CellsRead, background, Client::Background)->Apply(KestBench::timed)->Iterations(5);
BENCHMARK_CAPTURE(CellsRead, raw_async, Client::RawAsync)->Apply(KestBench::timed)->Iterations(5);
BENCHMARK(CellsReadAgain)->Apply(KestBench::timed)->Iterations(5);
BENCHMARK_CAPTURE(SilentExporter, stopped, Silence::FromTheStart)->Apply(KestBench::timed)->Iterations(5);
BENCHMARK_CAPTURE(SilentExporter, stopped_after_counts, Silence::AfterTheCounts)
    ->Apply(KestBench::timed)
    ->Iterations(5);

int main(int argc, char **argv)
{
    const QString cells = QStringLiteral("cells/s");
    const QString stall = QStringLiteral("stall_ms");
    return KestBench::run(
        argc, argv,
        {{QStringLiteral("proxy_model_cells"),
          QStringLiteral("proxy model cells read as a view does (index() + data()), Blocking mode, 200x5, cells/s"),
          QStringLiteral("CellsRead/blocking"), QStringLiteral("CellsRead/raw"), cells, 1.20},
         {QStringLiteral("proxy_model_background_vs_blocking"),
          QStringLiteral("proxy model cells reaching a view in Background mode, 200x5, vs the Blocking model, cells/s"),
          QStringLiteral("CellsRead/background"), QStringLiteral("CellsRead/blocking"), cells, 0.20},
         {QStringLiteral("proxy_model_background"),
          QStringLiteral("proxy model cells reaching a view in Background mode, 200x5, vs raw asynchronous calls, "
                         "32 on their way, cells/s"),
          QStringLiteral("CellsRead/background"), QStringLiteral("CellsRead/raw_async"), cells, 1.20},
         {QStringLiteral("proxy_model_background_stall"),
          QStringLiteral("longest event-loop stall while 200x5 cells reach a Background model, ms"),
          QStringLiteral("CellsRead/background"), QString(), stall, 20},
         {QStringLiteral("proxy_model_read_again"),
          QStringLiteral("cells the exporter is asked for when a view reads 200x5 held cells again"),
          QStringLiteral("CellsReadAgain"), QString(), QStringLiteral("bus_calls"), 0},
         {QStringLiteral("proxy_model_stopped_stall"),
          QStringLiteral("longest event-loop stall while a view reads a Background model of a stopped exporter, ms"),
          QStringLiteral("SilentExporter/stopped"), QString(), stall, 20},
         {QStringLiteral("proxy_model_stopped_after_counts_stall"),
          QStringLiteral("longest event-loop stall while a view reads 200x5 cells of a Background model whose "
                         "exporter stopped after the counts, ms"),
          QStringLiteral("SilentExporter/stopped_after_counts"), QString(), stall, 20}});
}
