// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The reading side. Catches: size or current index lost across changes, hostile counts or update kinds; signals
// taken from strangers or other playlists; a model telling views of rows it lacks or passing on the error
// structure; a proxy that changes the playlist, asks for its name again, or answers wrongly when calls fail.

#include "kesttestpeer.h"

#include "kestbusnames_p.h"
#include <kestproxyplaylist.h>
#include <kestshared.h>

#include <QAbstractItemModelTester>
#include <QDBusInterface>
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

QString text(QAbstractItemModel *model, int row)
{
    return model->data(model->index(row, 0)).toString();
}

} // namespace

class ProxyPlaylistTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qRegisterMetaType<KestPlaylist::KestPlaylistUpdate>();
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
    KestTestPeer m_owner;
    KestTestPeer m_stranger;
};

QTEST_GUILESS_MAIN(ProxyPlaylistTest)
#include "tst_proxyplaylist.moc"
