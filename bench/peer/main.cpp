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
//
//   kest-bench-peer --serve published|raw
//
// serves renderer r0 and source s0 instead as a plugin process does: published through KestShared,
// or with hand-written QtDBus adaptors; both deliver browse rows 100 per turn of the event loop.
// "/kestbench/control" then tells the process's resident memory (Resident, in bytes).

#include "kestbenchpeerobject.h"
#include "kestbenchpublished.h"
#include "kestbenchrawadaptors.h"
#include "kestbenchtablemodel.h"

#include "kestbusnames_p.h"
#include <kestbrowseresultdbusstruct.h>
#include <kestplaylistmodeladaptor.h>
#include <kestqueryresultdbusstruct.h>
#include <kestshared.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusPendingReply>
#include <QFile>
#include <QLoggingCategory>

#include <malloc.h>
#include <sys/prctl.h>
#include <unistd.h>

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

// The process's resident memory, after returning freed heap memory to the system.
class KestBenchMemory : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    Q_SCRIPTABLE qlonglong Resident() const
    {
        malloc_trim(0);
        QFile statm(QStringLiteral("/proc/self/statm"));
        const QList<QByteArray> fields = statm.open(QIODevice::ReadOnly) ? statm.readAll().split(' ')
                                                                         : QList<QByteArray>();
        return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : -1;
    }
};

// Renderer r0 and source s0, as a plugin serves them.
bool serve(const QString &how)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    static KestBenchMemory memory;
    if (!bus.registerObject(QStringLiteral("/kestbench/control"), &memory, QDBusConnection::ExportScriptableSlots))
        return false;
    const QString renderer = QStringLiteral("r0");
    const QString source = QStringLiteral("s0");
    if (how == QLatin1String("published")) {
        KestShared *shared = KestShared::instance();
        return shared->initialize({}) && shared->publishRenderer(new KestBenchPublishedRenderer(renderer))
            && shared->publishSource(new KestBenchPublishedSource(source));
    }
    auto *rendererObject = new QObject;
    new KestBenchRawRendererAdaptor(rendererObject);
    auto *sourceObject = new QObject;
    new KestBenchRawSourceAdaptor(sourceObject, source);
    return bus.registerObject(KestBusNames::rendererPath(renderer), rendererObject, QDBusConnection::ExportAdaptors)
        && bus.registerObject(KestBusNames::sourcePath(source), sourceObject, QDBusConnection::ExportAdaptors)
        && bus.registerService(KestBusNames::rendererService(QStringLiteral("bench"), renderer))
        && bus.registerService(KestBusNames::sourceService(QStringLiteral("bench"), source));
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
    const QCommandLineOption serving(QStringLiteral("serve"), QStringLiteral("Serve r0 and s0 as a plugin does."),
                                     QStringLiteral("published|raw"));
    parser.addOptions({renderers, sources, rows, batch, model, silent, serving});
    parser.process(app);

    qDBusRegisterMetaType<KestBrowseResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestBrowseResultDBusStruct>>();
    qDBusRegisterMetaType<KestQueryResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestQueryResultDBusStruct>>();

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (parser.isSet(serving)) {
        if (!serve(parser.value(serving))) {
            std::fprintf(stderr, "kest-bench-peer: cannot serve r0 and s0\n");
            return 1;
        }
        std::printf("ready\n");
        std::fflush(stdout);
        return app.exec();
    }
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

#include "main.moc"
