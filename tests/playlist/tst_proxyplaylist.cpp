// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The reading side. Catches: size or current index lost across changes, hostile counts or update kinds; signals
// taken from strangers or other playlists; a model telling views of rows it lacks or passing on the error
// structure; a proxy that changes the playlist, asks for its name again, or answers wrongly when calls fail. A
// background model that waits for the exporter, puts answers at the wrong rows while the playlist changes, keeps
// asking for cells that came badly or from a process that let a call time out, or keeps an exporter's rows after
// it has left.

#include "kesttestpeer.h"

#include "kestbusnames_p.h"
#include <kestbrowseresultdbusstruct.h>
#include <kestproxymodel.h>
#include <kestproxymodelerror.h>
#include <kestproxyplaylist.h>
#include <kestshared.h>

#include <QAbstractItemModelTester>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusVariant>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <limits>
#include <memory>

namespace {

const int IntMax = std::numeric_limits<int>::max();
const QString Id = QStringLiteral("scripted");
const QString SettlePath = QStringLiteral("/kesttest/settle");
const QString SettleInterface = QStringLiteral("com.zorvo.kesttest.Settle");

QString text(QAbstractItemModel *model, int row)
{
    return model->data(model->index(row, 0)).toString();
}

// The headers and then every cell, as a view reads them.
QStringList readAll(const QAbstractItemModel &model)
{
    QStringList cells;
    for (int column = 0; column < model.columnCount(); ++column)
        cells << model.headerData(column, Qt::Horizontal).toString();
    for (int row = 0; row < model.rowCount(); ++row) {
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.data(model.index(row, column)).toString();
    }
    return cells;
}

// What a view shows: it reads everything again whenever the model announces a change.
struct ViewLike
{
    explicit ViewLike(const QAbstractItemModel &model)
    {
        const auto repaint = [this, &model] { shown = readAll(model); };
        QObject::connect(&model, &QAbstractItemModel::modelReset, &model, repaint);
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, &model, repaint);
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &model, repaint);
        QObject::connect(&model, &QAbstractItemModel::columnsInserted, &model, repaint);
        QObject::connect(&model, &QAbstractItemModel::dataChanged, &model, repaint);
        QObject::connect(&model, &QAbstractItemModel::headerDataChanged, &model, repaint);
    }
    QStringList shown;
};

// Comma-separated texts.
QStringList cells(const char *texts)
{
    return QString::fromLatin1(texts).split(QLatin1Char(','));
}

QVariantList variantReply(const QVariant &value)
{
    return {QVariant::fromValue(QDBusVariant(value))};
}

// The warnings logged while it lives; each goes on to the test's own handler as well.
class WarningLog
{
public:
    WarningLog()
    {
        s_messages.clear();
        s_previous = qInstallMessageHandler(record);
    }
    ~WarningLog() { qInstallMessageHandler(s_previous); }
    QStringList matching(const QString &text) const { return s_messages.filter(text); }

private:
    static void record(QtMsgType type, const QMessageLogContext &context, const QString &message)
    {
        if (type == QtWarningMsg)
            s_messages << message;
        s_previous(type, context, message);
    }
    static inline QStringList s_messages;
    static inline QtMessageHandler s_previous = nullptr;
};

} // namespace

class ProxyPlaylistTest : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void settled() { ++m_settled; }

private Q_SLOTS:
    void initTestCase()
    {
        qRegisterMetaType<KestPlaylist::KestPlaylistUpdate>();
        qDBusRegisterMetaType<KestBrowseResultDBusStruct>();
        KestProxyModelError::registerType();
        QVERIFY(QDBusConnection::sessionBus().connect(QString(), SettlePath, SettleInterface, QStringLiteral("settled"),
                                                      this, SLOT(settled())));
        QVERIFY(m_owner.start({KestBusNames::playlistService(Id)},
                              {KestBusNames::playlistPath(Id), KestBusNames::playlistModelPath(Id)}));
        QVERIFY(m_stranger.start());
    }

    void followsSignals_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("signal");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<int>("newSize");
        QTest::addColumn<int>("newCurrent");
        QTest::addColumn<bool>("relayed");
        QTest::addColumn<QString>("warning");
        QTest::addColumn<bool>("fromStranger");
        const auto row = [](const char *name, int size, int current, const char *signal, const QVariantList &arguments,
                            int newSize, int newCurrent, bool relayed = true, const char *warning = "",
                            bool fromStranger = false) {
            QTest::newRow(name) << size << current << QString::fromLatin1(signal) << arguments << newSize << newCurrent
                                << relayed << QString::fromLatin1(warning) << fromStranger;
        };
        const char *contents = "contents_changed";
        const char *updated = "playlist_updated";

        row("removed before", 10, 5, contents, {Id, 2u, 1u, 0u}, 9, 4);
        row("changed after", 10, 5, contents, {Id, 6u, 2u, 0u}, 8, 5);
        row("removed, list now shorter", 7, 5, contents, {Id, 4u, 3u, 0u}, 4, 3);
        row("removed, item in its place", 10, 5, contents, {Id, 4u, 3u, 0u}, 7, 4);
        row("whole list reordered", 10, 5, contents, {Id, 0u, 10u, 10u}, 10, 5);
        // One item before the current one replaced by three: it moves two places on.
        row("replaced before", 10, 5, contents, {Id, 2u, 1u, 3u}, 12, 7);
        row("no current, added", 10, -1, contents, {Id, 3u, 0u, 2u}, 12, -1);
        row("no current, replaced", 10, -1, contents, {Id, 3u, 1u, 2u}, 11, 0);
        row("no current, removed", 12, -1, contents, {Id, 3u, 2u, 0u}, 10, 3);
        row("last items removed", 3, 2, contents, {Id, 0u, 3u, 0u}, 0, -1);
        row("more removed than there are", 3, 1, contents, {Id, 0u, uint(IntMax), 0u}, 0, -1);
        row("from above the signed range", 10, 5, contents, {Id, 0xffffffffu, 0u, 2u}, 12, 5, true,
            "KestProxyPlaylist invalid contentsChanged signal: -1 0 2");
        row("removal above the signed range", 3, 1, contents, {Id, 0u, 0x80000000u, 0u}, 0, 1, true,
            "KestProxyPlaylist invalid contentsChanged signal: 0 -2147483648 0");
        row("size and index at most INT_MAX", IntMax - 1, IntMax - 2, contents, {Id, 0u, 0u, 5u}, IntMax, IntMax);
        row("another playlist's contents", 10, 5, contents, {QStringLiteral("other"), 0u, 1u, 0u}, 10, 5, false);
        row("contents with signed counts", 10, 5, contents, {Id, 0, 1, 0}, 10, 5, false);
        row("a stranger's contents", 10, 5, contents, {Id, 0u, 1u, 0u}, 10, 5, false, "", true);

        row("current index changed", 10, 5, updated, {Id, 0, 4}, 10, 4);
        row("current index reset", 10, 5, updated, {Id, 1, -1}, 10, -1);
        row("current index below none", 10, 5, updated, {Id, 0, -7}, 10, -1);
        // Only the first two kinds carry a new current index.
        row("shuffled", 10, 5, updated, {Id, 2, 7}, 10, 5);
        row("unknown update kind", 10, 5, updated, {Id, 99, 0}, 10, 5, false,
            "KestProxyPlaylist: unknown playlist update 99");
        row("another playlist's update", 10, 5, updated, {QStringLiteral("other"), 0, 2}, 10, 5, false);
        row("a stranger's update", 10, 5, updated, {Id, 0, 2}, 10, 5, false, "", true);
    }

    void followsSignals()
    {
        QFETCH(int, size);
        QFETCH(int, current);
        QFETCH(QString, signal);
        QFETCH(QVariantList, arguments);
        QFETCH(int, newSize);
        QFETCH(int, newCurrent);
        QFETCH(bool, relayed);
        QFETCH(QString, warning);
        QFETCH(bool, fromStranger);
        KestProxyPlaylist proxy(Id, Id, size, current);
        QVERIFY(proxy.connectToPlaylistSignals());
        QSignalSpy contents(&proxy, &KestPlaylist::contentsChanged);
        QSignalSpy updated(&proxy, &KestPlaylist::playlistUpdated);
        QSignalSpy repeat(&proxy, &KestPlaylist::repeatModeChanged);
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, qPrintable(warning));

        const QString path = KestBusNames::playlistPath(Id);
        // A peer's signal is on its way to this process before its control call returns, and signals arrive in
        // the order sent: once the owner's repeat_mode_changed is in, so is the signal before it.
        QVERIFY((fromStranger ? m_stranger : m_owner)
                    .emitSignal(path, KestBusNames::playlistInterface(), signal, arguments));
        QVERIFY(
            m_owner.emitSignal(path, KestBusNames::playlistInterface(), QStringLiteral("repeat_mode_changed"), {Id}));
        QTRY_COMPARE(repeat.count(), 1);
        QCOMPARE(proxy.size(), newSize);
        QCOMPARE(proxy.getCurrentIndex(), newCurrent);
        QCOMPARE(contents.count() + updated.count(), int(relayed));
        if (!contents.isEmpty())
            QCOMPARE(contents.first(), arguments.mid(1));
        if (!updated.isEmpty())
            QCOMPARE((QVariantList{int(updated.first().first().value<KestPlaylist::KestPlaylistUpdate>()),
                                   updated.first().at(1)}),
                     arguments.mid(1));
    }

    void scriptedPublisher()
    {
        QVERIFY(m_owner.reset() && m_owner.scriptReply(QStringLiteral("get_row_count"), {3u}));
        KestProxyPlaylist proxy(Id, QString(), 3, 1);
        QVERIFY(proxy.connectToPlaylistSignals());
        QAbstractItemModel *model = proxy.model();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);

        // Row notices that cannot describe the remote model (3 rows) reset it instead; the last row of 4 can go.
        const QString modelPath = KestBusNames::playlistModelPath(Id);
        const QString modelInterface = KestBusNames::playlistModelInterface();
        const QList<QPair<uint, uint>> badRanges = {{2u, 1u}, {0u, 0xffffffffu}, {0x80000000u, 0x80000000u}, {3u, 3u}};
        for (const auto &range : badRanges) {
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("do not fit the remote model")));
            QVERIFY(m_owner.emitSignal(modelPath, modelInterface, QStringLiteral("model_rows_inserted"),
                                       {range.first, range.second}));
        }
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("do not fit the remote model")));
        QVERIFY(m_owner.emitSignal(modelPath, modelInterface, QStringLiteral("model_rows_removed"), {4u, 4u}));
        QVERIFY(m_stranger.emitSignal(modelPath, modelInterface, QStringLiteral("model_reset")));
        QVERIFY(m_owner.emitSignal(modelPath, modelInterface, QStringLiteral("model_rows_removed"), {3u, 3u}));
        QVERIFY(m_owner.emitSignal(modelPath, modelInterface, QStringLiteral("model_rows_inserted"), {1u, 2u}));
        QTRY_COMPARE(inserted.count(), 1);
        QCOMPARE(inserted.first().mid(1), (QVariantList{1, 2}));
        QCOMPARE(removed.count(), 1);
        QCOMPARE(reset.count(), 5);

        // Without a stored name every call asks again; once one is stored, none does.
        QVERIFY(proxy.name().isEmpty() && m_owner.scriptReply(QStringLiteral("get_name"), {Id}));
        QVERIFY(proxy.name() == Id && proxy.name() == Id);
        QCOMPARE(m_owner.callsTo(QStringLiteral("get_name")).size(), 2);

        // Replies of the wrong kind.
        QVERIFY(m_owner.scriptReply(QStringLiteral("get_sort_order"), {77u}));
        QTest::ignoreMessage(QtWarningMsg, "KestProxyPlaylist: unknown sort order 77");
        QCOMPARE(proxy.getSortOrder(), KestPlaylist::Unsorted);
        QVERIFY(m_owner.scriptError(QStringLiteral("get_column_count"), QStringLiteral("broken")));
        QCOMPARE(model->columnCount(), 0);
    }

    // Without a model tester, which would visit every row.
    void aFullModelLosesRows()
    {
        QVERIFY(m_owner.reset() && m_owner.scriptReply(QStringLiteral("get_row_count"), {uint(IntMax) - 1}));
        KestProxyPlaylist proxy(Id, QString(), IntMax, 0);
        QVERIFY(proxy.connectToPlaylistSignals());
        QSignalSpy removed(proxy.model(), &QAbstractItemModel::rowsRemoved);
        QVERIFY(m_owner.emitSignal(KestBusNames::playlistModelPath(Id), KestBusNames::playlistModelInterface(),
                                   QStringLiteral("model_rows_removed"), {0u, 0u}));
        QVERIFY(removed.wait());
    }

    void followsThePublisher()
    {
        KestTestPeer peer(QStringLiteral("kest-playlist-peer"));
        QVERIFY(peer.start({}, {}, QProcess::splitCommand(QStringLiteral("--id shared --name Shared --items 5"))));
        // Changes the published playlist; answers once its signals are on their way.
        QDBusInterface publisher(peer.controlName(), QStringLiteral("/kesttest/playlist"),
                                 QStringLiteral("com.zorvo.kesttest.Playlist"));
        KestProxyPlaylist proxy(QStringLiteral("shared"), QString(), 5, -1);
        QVERIFY(proxy.connectToPlaylistSignals());
        QCOMPARE(proxy.name(), QStringLiteral("Shared"));
        // getItem makes the index current; a missing item is null and leaves it.
        const std::unique_ptr<KestContent> item(proxy.getItem(2));
        QCOMPARE(item ? item->uuid() : QString(), QStringLiteral("item2"));
        for (int index : {5, -1, IntMax})
            QVERIFY(!std::unique_ptr<KestContent>(proxy.getItem(index)));
        QCOMPARE(proxy.getCurrentIndex(), 2);
        QVERIFY(!proxy.getItemMediaInfo(-7).isValid());

        // A proxy changes nothing.
        KestContent content(QStringLiteral("mine"));
        QFile file;
        QVERIFY(!proxy.removeItem(0) && !proxy.removeItems(0, 2) && !proxy.removeItem(&content));
        QVERIFY(!proxy.moveItem(0, 1) && !proxy.insertUri(0, QString()) && !proxy.appendUri(QString()));
        QVERIFY(!proxy.import(file) && !proxy.isShuffled() && proxy.repeatMode() == KestPlaylist::RepeatNone);
        QTest::ignoreMessage(QtWarningMsg, "Playlist name con not be set by proxy.");
        proxy.setName(QStringLiteral("Renamed"));
        QCOMPARE(proxy.name(), QStringLiteral("Shared"));

        QAbstractItemModel *model = proxy.model();
        QCOMPARE(qobject_cast<KestProxyModel *>(model)->fetchMode(), KestProxyModel::Blocking);
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(text(model, 4), QStringLiteral("Title 4"));
        // Indexes cost no round trip, so cells past the end are valid; their error structure reads as nothing.
        for (const QModelIndex &outside : {model->index(5, 0), model->index(0, 1)})
            QVERIFY(outside.isValid() && !model->data(outside).isValid());
        QVERIFY(!model->headerData(1, Qt::Horizontal).isValid() && !model->headerData(-1, Qt::Horizontal).isValid());
        QVERIFY(!model->index(-1, 0).isValid() && !model->index(0, 0, model->index(0, 0)).isValid());
        QVERIFY(!model->data(model->index(0, 0), Qt::ToolTipRole).isValid());
        QVERIFY(!model->headerData(0, Qt::Vertical).isValid());

        QSignalSpy updated(&proxy, &KestPlaylist::playlistUpdated);
        QSignalSpy contents(&proxy, &KestPlaylist::contentsChanged);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);
        publisher.call(QStringLiteral("SetCurrent"), 3); // item3
        QTRY_COMPARE(proxy.getCurrentIndex(), 3);
        publisher.call(QStringLiteral("Insert"), 0, QStringLiteral("new"), QStringLiteral("New"));
        QTRY_COMPARE(contents.count(), 1); // [new, item0, item1, item2, item3, item4]
        QCOMPARE(proxy.getCurrentIndex(), 4);
        QVERIFY(text(model, 0) == QStringLiteral("New") && proxy.size() == 6 && model->rowCount() == 6);
        // The current item moves with the reorder: [item3, new, item0, item1, item2, item4]
        publisher.call(QStringLiteral("Move"), 4, 0);
        QTRY_COMPARE(reset.count(), 1);
        QTRY_COMPARE(proxy.getCurrentIndex(), 0);
        QCOMPARE(text(model, 0), QStringLiteral("Title 3"));
        publisher.call(QStringLiteral("Clear"));
        QTRY_COMPARE(contents.count(), 3); // the move was the second
        QCOMPARE(contents.last(), (QList<QVariant>{0u, 6u, 0u}));
        QCOMPARE(proxy.getCurrentIndex(), -1);
        QCOMPARE(model->rowCount(), 0);
    }

    // A publisher that let one call time out is not waited for again, whether its process is stopped or it ignores
    // one method, until it answers again or its name changes hands. The reply time-out is the application's.
    void silentPublisher_data()
    {
        QTest::addColumn<bool>("stopped");
        QTest::newRow("ignores one method") << false;
        QTest::newRow("stopped process") << true;
    }

    void silentPublisher()
    {
        QFETCH(bool, stopped);
        KestShared *shared = KestShared::instance();
        for (int refused : {0, -5}) {
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral("must be above 0.*refused: %1").arg(refused)));
            shared->setReplyTimeout(refused);
        }
        QCOMPARE(shared->replyTimeout(), 25000);
        shared->setReplyTimeout(300);
        const auto restore = qScopeGuard([shared] { shared->setReplyTimeout(25000); });
        const QString id = QStringLiteral("silent");
        KestTestPeer peer;
        QVERIFY(peer.start({KestBusNames::playlistService(id)}, {KestBusNames::playlistPath(id)}));
        QVERIFY(peer.scriptReply(QStringLiteral("get_next"), {2}));
        KestProxyPlaylist proxy(id, id, 3, 0);
        if (stopped)
            peer.setStopped(true);
        else
            QVERIFY(peer.scriptNoReply(QStringLiteral("get_next")));

        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("did not answer \"get_next\" within 300 ms")));
        for (int call = 0; call < 10; ++call) {
            QTest::ignoreMessage(QtWarningMsg, "KestProxyPlaylist, invalid reply for method: \"get_next\"");
            if (call > 0)
                QTest::ignoreMessage(QtWarningMsg,
                                     "KestBusCall: \"com.zorvo.kest.playlist.silent\" is not answering: "
                                     "\"get_next\" is not sent.");
            QCOMPARE(proxy.getNext(0), -1);
        }
        QCOMPARE(peer.callsTo(QStringLiteral("get_next")).size(), stopped ? 0 : 1);
        // It shows in the background that it answers again.
        if (stopped)
            peer.setStopped(false);
        else
            QVERIFY(peer.scriptReply(QStringLiteral("get_next"), {2}));
        QTRY_COMPARE(proxy.getNext(0), 2);

        // A new owner has not failed to answer yet.
        QVERIFY(peer.scriptNoReply(QStringLiteral("get_next")));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not answer \"get_next\"")));
        QTest::ignoreMessage(QtWarningMsg, "KestProxyPlaylist, invalid reply for method: \"get_next\"");
        QCOMPARE(proxy.getNext(0), -1);
        QVERIFY(peer.scriptReply(QStringLiteral("get_next"), {1}));
        QVERIFY(peer.releaseName(KestBusNames::playlistService(id)));
        QVERIFY(peer.requestName(KestBusNames::playlistService(id)));
        QTRY_COMPARE(proxy.getNext(0), 1);
    }

    void modelFollowsChanges_data()
    {
        QTest::addColumn<KestProxyModel::FetchMode>("mode");
        QTest::newRow("blocking") << KestProxyModel::Blocking;
        QTest::newRow("background") << KestProxyModel::Background;
    }

    void modelFollowsChanges()
    {
        QFETCH(KestProxyModel::FetchMode, mode);
        const bool background = mode == KestProxyModel::Background;
        KestTestPeer peer(QStringLiteral("kest-playlist-peer"));
        // More items than a background model asks for at once.
        QVERIFY(peer.start({}, {}, QProcess::splitCommand(QStringLiteral("--id changing --items 40"))));
        QDBusInterface publisher(peer.controlName(), QStringLiteral("/kesttest/playlist"),
                                 QStringLiteral("com.zorvo.kesttest.Playlist"));
        KestProxyModel model(QStringLiteral("changing"));
        QVERIFY(model.connectToSignals());
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        const ViewLike view(model);
        model.setFetchMode(mode);
        QCOMPARE(reset.count(), int(background));
        QStringList expected{QStringLiteral("Title")};
        for (int i = 0; i < 40; ++i)
            expected << QStringLiteral("Title %1").arg(i);
        QTRY_COMPARE(model.rowCount(), 40);

        // The playlist changes while cells are on their way and more wait their turn; answers computed before a
        // change arrive before its signal, those computed after arrive after it.
        readAll(model);
        publisher.asyncCall(QStringLiteral("Insert"), 0, QStringLiteral("new"), QStringLiteral("New"));
        expected.insert(1, QStringLiteral("New"));
        readAll(model);
        publisher.asyncCall(QStringLiteral("Remove"), 10, 5);
        expected.erase(expected.begin() + 11, expected.begin() + 16);
        readAll(model);
        publisher.asyncCall(QStringLiteral("Insert"), 36, QStringLiteral("end"), QStringLiteral("End"));
        expected << QStringLiteral("End");
        QTRY_COMPARE(view.shown, expected);
        if (!background)
            return;

        // Switching drops what is held: back to asking for everything, then to fetching it again.
        model.setFetchMode(KestProxyModel::Blocking);
        QCOMPARE(readAll(model), expected);
        // Its signal comes while the counts, which include it, are on their way.
        publisher.asyncCall(QStringLiteral("Insert"), 0, QStringLiteral("first"), QStringLiteral("First"));
        expected.insert(1, QStringLiteral("First"));
        model.setFetchMode(KestProxyModel::Background);
        QVERIFY(reset.count() == 3 && model.rowCount() == 0);
        QTRY_COMPARE(view.shown, expected);

        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QVERIFY(peer.stop());
        QTRY_COMPARE(removed.count(), 1);
        QCOMPARE(model.rowCount(), 0);
    }

    // Answers of the wrong kind read as nothing, are asked for once and named once.
    void backgroundModelAndBadAnswers_data()
    {
        QTest::addColumn<QVariantList>("rows");
        QTest::addColumn<QVariantList>("columns");
        QTest::addColumn<QVariantList>("cell");
        QTest::addColumn<QVariantList>("header");
        QTest::addColumn<QStringList>("read");
        QTest::addColumn<QString>("warning");
        const QVariantList two{2u};
        const QVariantList one{1u};
        const QVariantList x = variantReply(QStringLiteral("x"));
        const QVariantList h = variantReply(QStringLiteral("H"));
        const QVariantList structure = variantReply(QVariant::fromValue(KestBrowseResultDBusStruct()));
        const QString wrongCells = QStringLiteral("\"get_data\" with values of the wrong type");
        const QString noCount = QStringLiteral(" with no count from 0 to INT_MAX");
        const QString e;
        QTest::newRow("values") << two << one << x << h << cells("H,x,x") << e;
        QTest::newRow("nothing to show") << two << one << variantReply(QVariant::fromValue(KestProxyModelError())) << h
                                         << cells("H,,") << e;
        QTest::newRow("structure cells") << two << one << structure << h << cells("H,,") << wrongCells;
        QTest::newRow("cells not in a variant")
            << two << one << QVariantList{QStringLiteral("x")} << h << cells("H,,") << wrongCells;
        QTest::newRow("cells without arguments") << two << one << QVariantList() << h << cells("H,,") << wrongCells;
        QTest::newRow("structure headers") << two << one << x << structure << cells(",x,x")
                                           << QStringLiteral("\"get_header_data\" with values of the wrong type");
        QTest::newRow("negative row count")
            << QVariantList{-1} << one << x << h << cells("H") << QStringLiteral("\"get_row_count\"") + noCount;
        QTest::newRow("row count above INT_MAX") << QVariantList{uint(IntMax) + 1u} << one << x << h << cells("H")
                                                 << QStringLiteral("\"get_row_count\"") + noCount;
        QTest::newRow("column count as text") << two << QVariantList{QStringLiteral("1")} << x << h << QStringList()
                                              << QStringLiteral("\"get_column_count\"") + noCount;
    }

    void backgroundModelAndBadAnswers()
    {
        QFETCH(QVariantList, rows);
        QFETCH(QVariantList, columns);
        QFETCH(QVariantList, cell);
        QFETCH(QVariantList, header);
        QFETCH(QStringList, read);
        QFETCH(QString, warning);
        QVERIFY(m_owner.reset() && m_owner.scriptReply(QStringLiteral("get_row_count"), rows)
                && m_owner.scriptReply(QStringLiteral("get_column_count"), columns)
                && m_owner.scriptReply(QStringLiteral("get_data"), cell)
                && m_owner.scriptReply(QStringLiteral("get_header_data"), header));
        KestProxyModel model(Id);
        WarningLog log;
        if (!warning.isEmpty())
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QRegularExpression::escape(warning)));
        model.setFetchMode(KestProxyModel::Background);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        const ViewLike view(model);
        // The counts, then every cell and header, then nothing more: each read sees what came before it.
        for (int pass = 0; pass < 3; ++pass) {
            readAll(model);
            QVERIFY(settle(m_owner));
        }
        QTRY_COMPARE(view.shown, read);
        QCOMPARE(m_owner.callsTo(QStringLiteral("get_data")).size(), model.rowCount() * model.columnCount());
        QCOMPARE(m_owner.callsTo(QStringLiteral("get_header_data")).size(), model.columnCount());
        QCOMPARE(log.matching(QStringLiteral("KestProxyModel")).size(), int(!warning.isEmpty()));
    }

    // A process that does not answer leaves the model as it is, without a wait and without asking it again, until
    // it answers again.
    void backgroundModelAndSilentExporter_data()
    {
        QTest::addColumn<QString>("silence");
        QTest::newRow("stopped process") << QStringLiteral("stopped");
        QTest::newRow("stopped after the counts") << QStringLiteral("counts");
        QTest::newRow("live, ignores get_data") << QStringLiteral("cells");
    }

    void backgroundModelAndSilentExporter()
    {
        QFETCH(QString, silence);
        KestShared *shared = KestShared::instance();
        shared->setReplyTimeout(300);
        const auto restore = qScopeGuard([shared] { shared->setReplyTimeout(25000); });
        const QString id = QStringLiteral("silentmodel");
        const QVariantList x = variantReply(QStringLiteral("x"));
        KestTestPeer peer;
        QVERIFY(peer.start({KestBusNames::playlistService(id)}, {KestBusNames::playlistModelPath(id)}));
        QVERIFY(peer.scriptReply(QStringLiteral("get_row_count"), {2u})
                && peer.scriptReply(QStringLiteral("get_column_count"), {1u})
                && peer.scriptReply(QStringLiteral("get_header_data"), x));
        QVERIFY(silence == QLatin1String("cells") ? peer.scriptNoReply(QStringLiteral("get_data"))
                                                  : peer.scriptReply(QStringLiteral("get_data"), x));
        KestProxyModel model(id);
        WarningLog log;
        if (silence == QLatin1String("stopped"))
            peer.setStopped(true);
        model.setFetchMode(KestProxyModel::Background);
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        if (silence != QLatin1String("stopped"))
            QTRY_COMPARE(model.rowCount(), 2);
        if (silence == QLatin1String("counts"))
            peer.setStopped(true);
        const ViewLike view(model);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not answer .* within 300 ms")));
        readAll(model);
        QTRY_COMPARE(log.matching(QStringLiteral("did not answer")).size(), 1);
        readAll(model);
        if (silence == QLatin1String("cells"))
            QVERIFY(peer.scriptReply(QStringLiteral("get_data"), x));
        else
            peer.setStopped(false);
        // The peer answers this after every call sent before; nothing is sent until the answer to a ping is in.
        QCOMPARE(peer.callsTo(silence == QLatin1String("stopped") ? QStringLiteral("get_row_count")
                                                                  : QStringLiteral("get_data"))
                     .size(),
                 silence == QLatin1String("stopped") ? 1 : 2);
        QTRY_COMPARE(view.shown, cells("x,x,x"));
        // Nothing blocked: a blocking call would have named its method.
        QCOMPARE(log.matching(QStringLiteral("KestProxyModel")), QStringList());
    }

    // Nobody owns the name: every call fails, and each answer is the empty one.
    void publisherGone()
    {
        KestProxyPlaylist proxy(QStringLiteral("gone"), QString(), 3, 0);
        QAbstractItemModel *model = proxy.model();
        QVERIFY(model->rowCount() == 0 && model->columnCount() == 0);
        QVERIFY(!model->data(model->index(1, 0)).isValid() && !model->headerData(0, Qt::Horizontal).isValid());
        QVERIFY(proxy.name().isEmpty() && !std::unique_ptr<KestContent>(proxy.getItem(1)));
        QVERIFY(proxy.getItemMediaInfo(1).uuid().isEmpty() && proxy.getNext(0) == -1 && proxy.getPrevious(1) == -1);
        QVERIFY(proxy.getSortOrder() == KestPlaylist::Unsorted && proxy.getCurrentIndex() == 0 && proxy.size() == 3);
    }

private:
    // A peer sends in order: once a signal it sends now has arrived, so has everything it sent before.
    bool settle(KestTestPeer &peer)
    {
        const int before = m_settled;
        return peer.emitSignal(SettlePath, SettleInterface, QStringLiteral("settled"))
            && QTest::qWaitFor([&] { return m_settled > before; });
    }

    KestTestPeer m_owner;
    KestTestPeer m_stranger;
    int m_settled = 0;
};

QTEST_GUILESS_MAIN(ProxyPlaylistTest)
#include "tst_proxyplaylist.moc"
