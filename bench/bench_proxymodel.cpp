// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// A remote playlist model read as a view reads it: row and column count, then index() and
// data() for every cell of 200 rows and 5 columns, through KestProxyModel, against blocking raw
// get_row_count, get_column_count and get_data calls to the same exported model.

#include "kestbench.h"
#include "kestbenchpeer.h"

#include "kestbusnames_p.h"
#include <kestproxymodel.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

const int Rows = 200;
const int Columns = 5;
const QString PlaylistId = QStringLiteral("benchlist");

enum class Client {
    Library,
    Raw
};

// One blocking call to the exported model; the reply's first argument.
QVariant rawCall(const QString &member, const QList<QVariant> &arguments = {})
{
    QDBusMessage call = QDBusMessage::createMethodCall(KestBusNames::playlistService(PlaylistId),
                                                       KestBusNames::playlistModelPath(PlaylistId),
                                                       KestBusNames::playlistModelInterface(), member);
    call.setArguments(arguments);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0) : QVariant();
}

// Reads every cell; the number of cells that had a value.
int readRaw()
{
    const int rows = rawCall(QStringLiteral("get_row_count")).toInt();
    const int columns = rawCall(QStringLiteral("get_column_count")).toInt();
    int cells = 0;
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            // A cell that the model does not have comes as a structure instead of a value.
            const QVariant value =
                qvariant_cast<QDBusVariant>(rawCall(QStringLiteral("get_data"), {row, column})).variant();
            cells += value.isValid() && value.userType() < QMetaType::User;
        }
    }
    return cells;
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

void Cells(benchmark::State &state, Client client)
{
    KestBenchPeer peer;
    if (!peer.start({QStringLiteral("--model"), QStringLiteral("%1x%2").arg(Rows).arg(Columns)})) {
        state.SkipWithError("the peer did not start");
        return;
    }
    KestProxyModel model(PlaylistId);
    const std::function<int()> read = client == Client::Library ? std::function<int()>([&] { return readModel(model); })
                                                                : readRaw;
    KestBench::rounds(
        state, [&](KestBenchClock &) { return read() == Rows * Columns; }, "cells were missing", Rows * Columns,
        "cells/s");
}

} // namespace

BENCHMARK_CAPTURE(Cells, library, Client::Library)->Apply(KestBench::timed)->Iterations(5);
BENCHMARK_CAPTURE(Cells, raw, Client::Raw)->Apply(KestBench::timed)->Iterations(5);

int main(int argc, char **argv)
{
    return KestBench::run(argc, argv,
                          {{QStringLiteral("proxy_model_cells"),
                            QStringLiteral("proxy model cells read as a view does (index() + data()), 200x5, cells/s"),
                            QStringLiteral("Cells/library"), QStringLiteral("Cells/raw"), QStringLiteral("cells/s"),
                            1.20}});
}
