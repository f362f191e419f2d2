// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The reading side: playlists published by other processes, read and followed through
// KestProxyPlaylist and KestProxyModel.

#include "kesttestpeer.h"

#include "kestbusnames_p.h"
#include <kestproxymodel.h>
#include <kestproxyplaylist.h>

#include <QAbstractItemModelTester>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <limits>
#include <memory>

namespace {

const int IntMax = std::numeric_limits<int>::max();
const int IntMin = std::numeric_limits<int>::min();

// A process that publishes an in-memory playlist whose items are "item0", "item1", ...
class PlaylistPeer : public KestTestPeer
{
public:
    PlaylistPeer()
        : KestTestPeer(QStringLiteral("kest-playlist-peer"))
    {
    }

    bool publish(const QString &id, const QString &name, int items)
    {
        return start({}, {},
                     {QStringLiteral("--id"), id, QStringLiteral("--name"), name, QStringLiteral("--items"),
                      QString::number(items)});
    }

    //! Changes the published playlist; answers once its signals are on their way.
    QVariant drive(const QString &method, const QVariantList &arguments = {})
    {
        QDBusMessage call = QDBusMessage::createMethodCall(controlName(), QStringLiteral("/kesttest/playlist"),
                                                           QStringLiteral("com.zorvo.kesttest.Playlist"), method);
        call.setArguments(arguments);
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
        return reply.arguments().value(0);
    }
};

QString text(QAbstractItemModel *model, int row)
{
    return model->data(model->index(row, 0)).toString();
}

} // namespace

class ProxyPlaylistTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { qRegisterMetaType<KestPlaylist::KestPlaylistUpdate>(); }

    void readsTheRemotePlaylist()
    {
        PlaylistPeer peer;
        QVERIFY(peer.publish(QStringLiteral("shared"), QStringLiteral("Shared list"), 5));
        KestProxyPlaylist proxy(QStringLiteral("shared"), QString(), 5, -1);

        QCOMPARE(proxy.name(), QStringLiteral("Shared list"));
        QCOMPARE(proxy.size(), 5);
        QCOMPARE(proxy.getLastIndex(), 4);
        std::unique_ptr<KestContent> item(proxy.getItem(2));
        QVERIFY(item);
        QCOMPARE(item->uuid(), QStringLiteral("item2"));
        QCOMPARE(proxy.getCurrentIndex(), 2);
        for (int index : {5, -1, IntMax, IntMin})
            QVERIFY(!std::unique_ptr<KestContent>(proxy.getItem(index)));
        QCOMPARE(proxy.getCurrentIndex(), 2);
        QCOMPARE(proxy.getItemMediaInfo(3).uuid(), QStringLiteral("item3"));
        QVERIFY(!proxy.getItemMediaInfo(-7).isValid());
        QCOMPARE(proxy.getNext(1), 2);
        QCOMPARE(proxy.getNext(4), -1);
        QCOMPARE(proxy.getNext(IntMax), -1);
        QCOMPARE(proxy.getPrevious(3), 2);
        QCOMPARE(proxy.getPrevious(0), -1);
        QCOMPARE(proxy.getSortOrder(), KestPlaylist::Unsorted);

        // A proxy changes nothing: every operation that would is refused.
        KestContent content(QStringLiteral("mine"));
        QFile file;
        QVERIFY(!proxy.removeItem(0));
        QVERIFY(!proxy.removeItems(0, 2));
        QVERIFY(!proxy.removeItem(&content));
        QVERIFY(!proxy.moveItem(0, 1));
        QVERIFY(!proxy.insertUri(0, QStringLiteral("file:///a")));
        QVERIFY(!proxy.appendUri(QStringLiteral("file:///a")));
        QVERIFY(!proxy.import(file));
        proxy.insertItem(0, &content);
        proxy.appendItem(&content);
        proxy.clear();
        proxy.shuffle();
        proxy.unShuffle();
        proxy.sort(0, KestPlaylist::Descending);
        proxy.sort(QStringLiteral("title"), KestPlaylist::Descending);
        proxy.setRepeat(KestPlaylist::RepeatAll);
        proxy.destroy();
        QTest::ignoreMessage(QtWarningMsg, "Playlist name con not be set by proxy.");
        proxy.setName(QStringLiteral("Renamed"));
        QCOMPARE(proxy.name(), QStringLiteral("Shared list"));
        QVERIFY(!proxy.isShuffled());
        QCOMPARE(proxy.repeatMode(), KestPlaylist::RepeatNone);
        QVERIFY(proxy.getColumnNames().isEmpty());
        QCOMPARE(proxy.getStartingIndex(), 0);
        QCOMPARE(peer.drive(QStringLiteral("Current")).toInt(), -1);

        QAbstractItemModel *model = proxy.model();
        QCOMPARE(proxy.model(), model);
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model->rowCount(), 5);
        QCOMPARE(model->columnCount(), 1);
        QCOMPARE(text(model, 0), QStringLiteral("Title 0"));
        QCOMPARE(text(model, 4), QStringLiteral("Title 4"));
        // Indexes cost no round trip, so one past the end is valid; the remote side refuses its cell.
        for (const QModelIndex &outside : {model->index(5, 0), model->index(0, 1)}) {
            QVERIFY(outside.isValid());
            QTest::ignoreMessage(QtDebugMsg, "KestProxyModel:data invalid data received.");
            QVERIFY(!model->data(outside).isValid());
        }
        QVERIFY(!model->index(-1, 0).isValid());
        QVERIFY(!model->index(0, -1).isValid());
        QVERIFY(!model->index(0, 0, model->index(0, 0)).isValid());
        QCOMPARE(model->rowCount(model->index(0, 0)), 0);
        QVERIFY(!model->data(model->index(0, 0), Qt::ToolTipRole).isValid());
        QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Title"));
        QVERIFY(!model->headerData(0, Qt::Vertical).isValid());
        QVERIFY(!model->headerData(0, Qt::Horizontal, Qt::EditRole).isValid());
        QTest::ignoreMessage(QtDebugMsg, "KestProxyModel:headerData invalid data received.");
        QVERIFY(!model->headerData(1, Qt::Horizontal).isValid());
        QTest::ignoreMessage(QtDebugMsg, "KestProxyModel:headerData invalid data received.");
        QVERIFY(!model->headerData(-1, Qt::Horizontal).isValid());
    }

    void followsRemoteChanges()
    {
        PlaylistPeer peer;
        QVERIFY(peer.publish(QStringLiteral("changing"), QStringLiteral("Changing"), 4));
        KestProxyPlaylist proxy(QStringLiteral("changing"), QStringLiteral("Changing"), 4, -1);
        QVERIFY(proxy.connectToPlaylistSignals());
        QAbstractItemModel *model = proxy.model();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy contents(&proxy, &KestPlaylist::contentsChanged);
        QSignalSpy updated(&proxy, &KestPlaylist::playlistUpdated);
        QSignalSpy repeat(&proxy, &KestPlaylist::repeatModeChanged);
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);

        QVERIFY(peer.drive(QStringLiteral("SetCurrent"), {2}).toBool()); // item2
        QTRY_COMPARE(updated.count(), 1);
        QCOMPARE(updated.last().at(0).value<KestPlaylist::KestPlaylistUpdate>(), KestPlaylist::CurrentIndexChanged);
        QCOMPARE(updated.last().at(1).toInt(), 2);
        QCOMPARE(proxy.getCurrentIndex(), 2);

        // [new, item0, item1, item2, item3]
        QVERIFY(peer.drive(QStringLiteral("Insert"), {0, QStringLiteral("new"), QStringLiteral("New")}).toBool());
        QTRY_COMPARE(inserted.count(), 1);
        QTRY_COMPARE(contents.count(), 1);
        QCOMPARE(contents.last(), (QList<QVariant>{0u, 0u, 1u}));
        QCOMPARE(inserted.last().at(1).toInt(), 0);
        QCOMPARE(inserted.last().at(2).toInt(), 0);
        QCOMPARE(proxy.size(), 5);
        QCOMPARE(proxy.getCurrentIndex(), 3);
        QCOMPARE(model->rowCount(), 5);
        QCOMPARE(text(model, 0), QStringLiteral("New"));

        // [new, item2, item3]
        QVERIFY(peer.drive(QStringLiteral("Remove"), {1, 2}).toBool());
        QTRY_COMPARE(removed.count(), 1);
        QTRY_COMPARE(contents.count(), 2);
        QCOMPARE(contents.last(), (QList<QVariant>{1u, 2u, 0u}));
        QCOMPARE(removed.last().at(1).toInt(), 1);
        QCOMPARE(removed.last().at(2).toInt(), 2);
        QCOMPARE(proxy.size(), 3);
        QCOMPARE(proxy.getCurrentIndex(), 1);
        QCOMPARE(text(model, 1), QStringLiteral("Title 2"));

        // A cell that went away before its notice arrived reads as nothing.
        const QModelIndex last = model->index(2, 0);
        QVERIFY(peer.drive(QStringLiteral("Remove"), {2, 1}).toBool()); // [new, item2]
        QTest::ignoreMessage(QtDebugMsg, "KestProxyModel:data invalid data received.");
        QVERIFY(!model->data(last).isValid());
        QTRY_COMPARE(removed.count(), 2);
        QCOMPARE(proxy.getCurrentIndex(), 1);

        // [x, new, item2]: the current item moves with the reorder.
        QVERIFY(peer.drive(QStringLiteral("Insert"), {2, QStringLiteral("x"), QStringLiteral("X")}).toBool());
        QVERIFY(peer.drive(QStringLiteral("Move"), {2, 0}).toBool());
        QTRY_COMPARE(reset.count(), 1);
        QTRY_COMPARE(updated.count(), 2);
        QCOMPARE(proxy.getCurrentIndex(), 2);
        QCOMPARE(proxy.getCurrentIndex(), peer.drive(QStringLiteral("Current")).toInt());
        QCOMPARE(text(model, 0), QStringLiteral("X"));

        QVERIFY(peer.drive(QStringLiteral("SetRepeat"), {int(KestPlaylist::RepeatAll)}).isNull());
        QTRY_COMPARE(repeat.count(), 1);
        QCOMPARE(proxy.repeatMode(), KestPlaylist::RepeatNone);

        peer.drive(QStringLiteral("Sort"), {int(KestPlaylist::Descending)});
        QTRY_COMPARE(reset.count(), 2);
        QTRY_VERIFY(updated.last().at(0).value<KestPlaylist::KestPlaylistUpdate>() == KestPlaylist::Sorted
                    || proxy.getCurrentIndex() == peer.drive(QStringLiteral("Current")).toInt());
        QTRY_COMPARE(proxy.getCurrentIndex(), peer.drive(QStringLiteral("Current")).toInt());
        QCOMPARE(proxy.getSortOrder(), KestPlaylist::Descending);
        QCOMPARE(text(model, 0), QStringLiteral("X"));

        const int contentsBefore = contents.count();
        peer.drive(QStringLiteral("Clear"));
        QTRY_COMPARE(contents.count(), contentsBefore + 1);
        QCOMPARE(contents.last(), (QList<QVariant>{0u, 3u, 0u}));
        QTRY_COMPARE(removed.count(), 3);
        QCOMPARE(proxy.size(), 0);
        QCOMPARE(proxy.getCurrentIndex(), -1);
        QCOMPARE(model->rowCount(), 0);
        QTest::ignoreMessage(QtDebugMsg, "KestProxyModel:data invalid data received.");
        QVERIFY(!model->data(model->index(0, 0)).isValid());
    }

    void ignoresOtherPlaylistsAndBadSignals()
    {
        KestTestPeer owner;
        const QString id = QStringLiteral("scripted");
        const QString path = KestBusNames::playlistPath(id);
        const QString modelPath = KestBusNames::playlistModelPath(id);
        const QString interface = KestBusNames::playlistInterface();
        const QString modelInterface = KestBusNames::playlistModelInterface();
        QVERIFY(owner.start({KestBusNames::playlistService(id)}, {path, modelPath}));
        KestTestPeer stranger;
        QVERIFY(stranger.start());
        PlaylistPeer other;
        QVERIFY(other.publish(QStringLiteral("other"), QStringLiteral("Other"), 2));

        KestProxyPlaylist proxy(id, QString(), 3, 1);
        QVERIFY(proxy.connectToPlaylistSignals());
        QVERIFY(owner.scriptReply(QStringLiteral("get_row_count"), {3u}));
        auto *model = proxy.model();
        QSignalSpy contents(&proxy, &KestPlaylist::contentsChanged);
        QSignalSpy updated(&proxy, &KestPlaylist::playlistUpdated);
        QSignalSpy repeat(&proxy, &KestPlaylist::repeatModeChanged);
        QSignalSpy inserted(model, &QAbstractItemModel::rowsInserted);
        QSignalSpy reset(model, &QAbstractItemModel::modelReset);

        // Another playlist's changes, a stranger speaking on this playlist's path, the owner
        // speaking for another id, on another path, or with the wrong types: none arrives.
        other.drive(QStringLiteral("Insert"), {0, QStringLiteral("o"), QStringLiteral("O")});
        other.drive(QStringLiteral("SetCurrent"), {0});
        other.drive(QStringLiteral("SetRepeat"), {1});
        QVERIFY(stranger.emitSignal(path, interface, QStringLiteral("contents_changed"), {id, 0u, 1u, 0u}));
        QVERIFY(stranger.emitSignal(path, interface, QStringLiteral("repeat_mode_changed"), {id}));
        QVERIFY(stranger.emitSignal(modelPath, modelInterface, QStringLiteral("model_reset")));
        QVERIFY(owner.emitSignal(path, interface, QStringLiteral("contents_changed"),
                                 {QStringLiteral("other"), 0u, 1u, 0u}));
        QVERIFY(owner.emitSignal(path, interface, QStringLiteral("playlist_updated"), {QStringLiteral("other"), 1, 0}));
        QVERIFY(owner.emitSignal(KestBusNames::playlistPath(QStringLiteral("other")), interface,
                                 QStringLiteral("repeat_mode_changed"), {id}));
        QVERIFY(owner.emitSignal(path, interface, QStringLiteral("contents_changed"), {id, 0, 1, 0}));
        // Unknown update kinds are refused rather than passed on as a value the type lacks.
        QTest::ignoreMessage(QtWarningMsg, "KestProxyPlaylist: unknown playlist update 99");
        QVERIFY(owner.emitSignal(path, interface, QStringLiteral("playlist_updated"), {id, 99, 0}));
        QVERIFY(owner.emitSignal(path, interface, QStringLiteral("repeat_mode_changed"), {id}));
        QTRY_COMPARE(repeat.count(), 1);
        QCOMPARE(contents.count(), 0);
        QCOMPARE(updated.count(), 0);
        QCOMPARE(reset.count(), 0);
        QCOMPARE(proxy.size(), 3);
        QCOMPARE(proxy.getCurrentIndex(), 1);

        // Numbers above the signed range: the size follows, the current index stays.
        QTest::ignoreMessage(QtWarningMsg, "KestProxyPlaylist invalid contentsChanged signal: -1 0 2");
        QVERIFY(owner.emitSignal(path, interface, QStringLiteral("contents_changed"), {id, 0xffffffffu, 0u, 2u}));
        QTRY_COMPARE(contents.count(), 1);
        QCOMPARE(contents.last(), (QList<QVariant>{0xffffffffu, 0u, 2u}));
        QCOMPARE(proxy.size(), 5);
        QCOMPARE(proxy.getCurrentIndex(), 1);
        QTest::ignoreMessage(QtWarningMsg, "KestProxyPlaylist invalid contentsChanged signal: 0 -2147483648 0");
        QVERIFY(owner.emitSignal(path, interface, QStringLiteral("contents_changed"), {id, 0u, 0x80000000u, 0u}));
        QTRY_COMPARE(contents.count(), 2);
        QCOMPARE(proxy.size(), 0); // never below empty
        QCOMPARE(proxy.getCurrentIndex(), 1);

        // Only the first two update kinds carry a new current index.
        QVERIFY(owner.emitSignal(path, interface, QStringLiteral("playlist_updated"), {id, 2, 7}));
        QTRY_COMPARE(updated.count(), 1);
        QCOMPARE(updated.last().at(0).value<KestPlaylist::KestPlaylistUpdate>(), KestPlaylist::Shuffled);
        QCOMPARE(updated.last().at(1).toInt(), 7);
        QCOMPARE(proxy.getCurrentIndex(), 1);
        QVERIFY(owner.emitSignal(path, interface, QStringLiteral("playlist_updated"), {id, 1, 7}));
        QTRY_COMPARE(updated.count(), 2);
        QCOMPARE(proxy.getCurrentIndex(), 7);

        // Row notices that cannot describe the remote model (3 rows) reset it instead.
        const QList<QPair<uint, uint>> badRanges = {{2u, 1u}, {0u, 0xffffffffu}, {0x80000000u, 0x80000000u}, {3u, 3u}};
        for (const auto &range : badRanges) {
            QTest::ignoreMessage(
                QtWarningMsg,
                qPrintable(QStringLiteral("KestProxyModel: rows %1 to %2 do not fit the remote model, resetting.")
                               .arg(range.first)
                               .arg(range.second)));
            QVERIFY(owner.emitSignal(modelPath, modelInterface, QStringLiteral("model_rows_inserted"),
                                     {range.first, range.second}));
        }
        QTest::ignoreMessage(QtWarningMsg, "KestProxyModel: rows 4 to 4 do not fit the remote model, resetting.");
        QVERIFY(owner.emitSignal(modelPath, modelInterface, QStringLiteral("model_rows_removed"), {4u, 4u}));
        QTRY_COMPARE(reset.count(), badRanges.size() + 1);
        QVERIFY(owner.emitSignal(modelPath, modelInterface, QStringLiteral("model_rows_inserted"), {1u, 2u}));
        QTRY_COMPARE(inserted.count(), 1);
        QCOMPARE(inserted.last().at(1).toInt(), 1);
        QCOMPARE(inserted.last().at(2).toInt(), 2);

        // Without a stored name every call asks again; once one is stored, none does.
        QTest::ignoreMessage(QtWarningMsg, "KestProxyPlaylist, invalid reply for method: \"get_name\"");
        QTest::ignoreMessage(QtWarningMsg, "Getting playlist name failed.");
        QCOMPARE(proxy.name(), QString());
        QVERIFY(owner.scriptReply(QStringLiteral("get_name"), {QStringLiteral("Scripted")}));
        QCOMPARE(proxy.name(), QStringLiteral("Scripted"));
        QCOMPARE(proxy.name(), QStringLiteral("Scripted"));
        QCOMPARE(owner.callsTo(QStringLiteral("get_name")).size(), 2);

        // Replies of the wrong kind.
        QVERIFY(owner.scriptReply(QStringLiteral("get_sort_order"), {77u}));
        QTest::ignoreMessage(QtWarningMsg, "KestProxyPlaylist: unknown sort order 77");
        QCOMPARE(proxy.getSortOrder(), KestPlaylist::Unsorted);
        QVERIFY(owner.scriptError(QStringLiteral("get_column_count"), QStringLiteral("broken")));
        QTest::ignoreMessage(QtWarningMsg, "KestProxyModel, invalid reply for method: \"get_column_count\"");
        QCOMPARE(model->columnCount(), 0);

        // A process that never answers: the daemon gives up, the model answers 0.
        QVERIFY(owner.scriptNoReply(QStringLiteral("get_row_count")));
        QTest::ignoreMessage(QtWarningMsg, "KestProxyModel, invalid reply for method: \"get_row_count\"");
        QCOMPARE(model->rowCount(), 0);
    }

    void exportingProcessGone()
    {
        PlaylistPeer peer;
        QVERIFY(peer.publish(QStringLiteral("gone"), QStringLiteral("Gone"), 3));
        KestProxyPlaylist proxy(QStringLiteral("gone"), QString(), 3, 0);
        QAbstractItemModel *model = proxy.model();
        const QModelIndex cell = model->index(1, 0);
        QVERIFY(cell.isValid());
        QVERIFY(peer.stop());

        const auto expectInvalidReply = [](const char *className, const char *method) {
            QTest::ignoreMessage(QtWarningMsg,
                                 qPrintable(QStringLiteral("%1, invalid reply for method: \"%2\"")
                                                .arg(QLatin1String(className), QLatin1String(method))));
        };
        expectInvalidReply("KestProxyModel", "get_row_count");
        QCOMPARE(model->rowCount(), 0);
        expectInvalidReply("KestProxyModel", "get_column_count");
        QCOMPARE(model->columnCount(), 0);
        expectInvalidReply("KestProxyModel", "get_data");
        QVERIFY(!model->data(cell).isValid());
        expectInvalidReply("KestProxyModel", "get_header_data");
        QVERIFY(!model->headerData(0, Qt::Horizontal).isValid());

        expectInvalidReply("KestProxyPlaylist", "get_name");
        QTest::ignoreMessage(QtWarningMsg, "Getting playlist name failed.");
        QCOMPARE(proxy.name(), QString());
        expectInvalidReply("KestProxyPlaylist", "get_item");
        QVERIFY(!std::unique_ptr<KestContent>(proxy.getItem(1)));
        expectInvalidReply("KestProxyPlaylist", "get_item_media_info");
        QCOMPARE(proxy.getItemMediaInfo(1).uuid(), QString());
        expectInvalidReply("KestProxyPlaylist", "get_next");
        QCOMPARE(proxy.getNext(0), -1);
        expectInvalidReply("KestProxyPlaylist", "get_prev");
        QCOMPARE(proxy.getPrevious(1), -1);
        expectInvalidReply("KestProxyPlaylist", "get_sort_order");
        QCOMPARE(proxy.getSortOrder(), KestPlaylist::Unsorted);
        QCOMPARE(proxy.getCurrentIndex(), 0);
        QCOMPARE(proxy.size(), 3);
    }

    void currentIndexFollowsContentsChanges_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("current");
        QTest::addColumn<uint>("from");
        QTest::addColumn<uint>("remove");
        QTest::addColumn<uint>("get");
        QTest::addColumn<int>("expected");

        QTest::newRow("nothing changed") << 10 << 5 << 0u << 0u << 0u << 5;
        QTest::newRow("removed before") << 10 << 5 << 2u << 1u << 0u << 4;
        QTest::newRow("added before") << 10 << 5 << 2u << 0u << 3u << 8;
        QTest::newRow("changed after") << 10 << 5 << 6u << 2u << 0u << 5;
        QTest::newRow("removed, list now shorter") << 7 << 5 << 4u << 3u << 0u << 3;
        QTest::newRow("removed, item in its place") << 10 << 5 << 4u << 3u << 0u << 4;
        QTest::newRow("whole list reordered") << 10 << 5 << 0u << 10u << 10u << 5;
        // One item before the current one replaced by three: it moves two places on.
        QTest::newRow("replaced before") << 10 << 5 << 2u << 1u << 3u << 7;
        QTest::newRow("no current, added") << 10 << -1 << 3u << 0u << 2u << -1;
        QTest::newRow("no current, replaced") << 10 << -1 << 3u << 1u << 2u << 0;
        QTest::newRow("no current, removed") << 12 << -1 << 3u << 2u << 0u << 3;
        QTest::newRow("last items removed") << 3 << 2 << 0u << 3u << 0u << -1;
        QTest::newRow("from above the signed range") << 10 << 5 << 0xffffffffu << 0u << 2u << 5;
    }

    void currentIndexFollowsContentsChanges()
    {
        QFETCH(int, size);
        QFETCH(int, current);
        QFETCH(uint, from);
        QFETCH(uint, remove);
        QFETCH(uint, get);
        QFETCH(int, expected);

        KestProxyPlaylist proxy(QStringLiteral("table"), QStringLiteral("Table"), size, current);
        QSignalSpy contents(&proxy, &KestPlaylist::contentsChanged);
        if (int(from) < 0)
            QTest::ignoreMessage(QtWarningMsg,
                                 qPrintable(QStringLiteral("KestProxyPlaylist invalid contentsChanged "
                                                           "signal: %1 %2 %3")
                                                .arg(int(from))
                                                .arg(int(remove))
                                                .arg(int(get))));
        proxy.catchContentsChangedSignal(QStringLiteral("table"), from, remove, get);
        QCOMPARE(proxy.getCurrentIndex(), expected);
        QCOMPARE(proxy.size(), size - int(remove) + int(get));
        QCOMPARE(contents.count(), 1);
        QCOMPARE(contents.last(), (QList<QVariant>{from, remove, get}));
    }
};

QTEST_GUILESS_MAIN(ProxyPlaylistTest)
#include "tst_proxyplaylist.moc"
