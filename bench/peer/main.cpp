// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The remote components of the benchmarks, in one process on the benchmark's bus.
//
//   kest-bench-peer [--renderers N] [--sources N] [--rows N] [--batch N] [--model ROWSxCOLUMNS] [--silent]
//
// Owns the renderer names com.zorvo.kest.renderer.bench.r0 ... and the source names
// com.zorvo.kest.source.bench.s0 ..., answers their get_name, get_position, browse and query
// calls (a browse delivers as many rows as its count asks, a query as many as its text says),
// and with --model exports a table model as the model of playlist "benchlist", whose cells asked
// for "/kestbench/model" counts (com.zorvo.kestbench.Model.DataCalls). Prints "ready" once it
// owns every name; dies with the program that started it.

#include "kestbenchpeerobject.h"
#include "kestbenchtablemodel.h"

#include "kestbusnames_p.h"
#include <kestbrowseresultdbusstruct.h>
#include <kestplaylistmodeladaptor.h>
#include <kestqueryresultdbusstruct.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusPendingReply>
#include <QLoggingCategory>

#include <sys/prctl.h>

#include <csignal>
#include <cstdio>
#include <memory>

namespace {

// All requests go out before the first answer is awaited: 2000 names take a few round trips' time.
bool ownNames(const QStringList &names)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    QList<QDBusPendingCall> requests;
    for (const QString &name : names) {
        QDBusMessage request = QDBusMessage::createMethodCall(KestBusNames::busDaemonService(),
                                                              KestBusNames::busDaemonPath(),
                                                              KestBusNames::busDaemonInterface(),
                                                              QStringLiteral("RequestName"));
        request << name << uint(4); // DBUS_NAME_FLAG_DO_NOT_QUEUE
        requests << bus.asyncCall(request);
    }
    for (const QDBusPendingCall &request : std::as_const(requests)) {
        QDBusPendingReply<uint> reply = request;
        reply.waitForFinished();
        if (reply.isError() || reply.value() != 1) { // DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER
            std::fprintf(stderr, "kest-bench-peer: cannot own a name: %s\n", qPrintable(reply.error().message()));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("qkest.*.debug=false"));

    QCommandLineParser parser;
    const QCommandLineOption renderers(QStringLiteral("renderers"), QStringLiteral("Renderer names to own."),
                                       QStringLiteral("count"), QStringLiteral("0"));
    const QCommandLineOption sources(QStringLiteral("sources"), QStringLiteral("Source names to own."),
                                     QStringLiteral("count"), QStringLiteral("0"));
    const QCommandLineOption rows(QStringLiteral("rows"), QStringLiteral("Row count to prepare results for."),
                                  QStringLiteral("count"), QStringLiteral("0"));
    const QCommandLineOption batch(QStringLiteral("batch"), QStringLiteral("Rows per result call."),
                                   QStringLiteral("count"), QStringLiteral("100"));
    const QCommandLineOption model(QStringLiteral("model"), QStringLiteral("Export a playlist model of this size."),
                                   QStringLiteral("ROWSxCOLUMNS"));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Never answer browse and query."));
    parser.addOptions({renderers, sources, rows, batch, model, silent});
    parser.process(app);

    qDBusRegisterMetaType<KestBrowseResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestBrowseResultDBusStruct>>();
    qDBusRegisterMetaType<KestQueryResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestQueryResultDBusStruct>>();

    QDBusConnection bus = QDBusConnection::sessionBus();
    KestBenchPeerObject components(parser.value(batch).toInt(), parser.value(rows).toUInt(), parser.isSet(silent));
    if (!bus.registerVirtualObject(QStringLiteral("/com/zorvo/kest/renderer"), &components, QDBusConnection::SubPath)
        || !bus.registerVirtualObject(QStringLiteral("/com/zorvo/kest/source"), &components,
                                      QDBusConnection::SubPath)) {
        std::fprintf(stderr, "kest-bench-peer: cannot serve the component paths\n");
        return 1;
    }

    QStringList names;
    for (int i = 0; i < parser.value(renderers).toInt(); ++i)
        names << KestBusNames::rendererService(QStringLiteral("bench"), QStringLiteral("r%1").arg(i));
    for (int i = 0; i < parser.value(sources).toInt(); ++i)
        names << KestBusNames::sourceService(QStringLiteral("bench"), QStringLiteral("s%1").arg(i));

    std::unique_ptr<KestBenchTableModel> table;
    if (parser.isSet(model)) {
        const QStringList size = parser.value(model).split(QLatin1Char('x'));
        table = std::make_unique<KestBenchTableModel>(size.value(0).toInt(), size.value(1).toInt());
        // The adaptor is the model's child; the model is reached through the playlist's name.
        const QString id = QStringLiteral("benchlist");
        if (!(new KestPlaylistModelAdaptor(*table))->init(id)
            || !bus.registerObject(QStringLiteral("/kestbench/model"), table.get(),
                                   QDBusConnection::ExportScriptableSlots)) {
            std::fprintf(stderr, "kest-bench-peer: cannot export the model\n");
            return 1;
        }
        names << KestBusNames::playlistService(id);
    }

    if (!ownNames(names))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
