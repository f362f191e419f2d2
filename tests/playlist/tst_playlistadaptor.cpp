// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The publishing side: a playlist and its model exported from this process, read by an
// independent D-Bus client in another process, which also checks the wire types.

#include "kestbusclient.h"
#include "kesttestbus.h"
#include "kesttestpeer.h"

#include "kestbusnames_p.h"
#include <kestlocalplaylist.h>
#include <kestplaylistadaptor.h>
#include <kestplaylistmodeladaptor.h>

#include <QAbstractListModel>
#include <QDBusConnection>
#include <QTest>

#include <limits>

namespace {

KestContent makeItem(int i)
{
    KestContent content(QStringLiteral("item%1").arg(i));
    content.setMetaData({{QStringLiteral("title"), QStringLiteral("Title %1").arg(i)}});
    return content;
}

// A model that trusts its indexes, as many do: it records every row and column it is asked
// for, and reading a cell it does not have would run past its storage.
class TrustingModel : public QAbstractListModel
{
public:
    int rowCount(const QModelIndex &parent = QModelIndex()) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex &index, int) const override
    {
        asked.append({index.row(), index.column()});
        return m_rows[index.row()];
    }
    QVariant headerData(int section, Qt::Orientation, int) const override
    {
        askedSections.append(section);
        return m_headers[section];
    }

    mutable QList<QPair<int, int>> asked;
    mutable QList<int> askedSections;

private:
    const QString m_rows[2] = {QStringLiteral("first"), QStringLiteral("second")};
    const QString m_headers[1] = {QStringLiteral("Name")};
};

const int IntMax = std::numeric_limits<int>::max();
const int IntMin = std::numeric_limits<int>::min();

} // namespace

class PlaylistAdaptorTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (!KestBusClient::isAvailable())
            QSKIP("No independent D-Bus client (/usr/bin/python3 with GLib's gi) on this machine");
    }

    void independentClientReadsThePlaylist()
    {
        KestLocalPlaylist playlist(QStringLiteral("wire"), QStringLiteral("Wire list"), nullptr);
        for (int i = 0; i < 3; ++i)
            playlist.appendItem(makeItem(i));
        QVERIFY(playlist.setCurrentIndex(1));
        auto *adaptor = new KestPlaylistAdaptor(playlist);
        auto *modelAdaptor = new KestPlaylistModelAdaptor(*playlist.model());

        const QString id = playlist.id();
        KestBusClient client(KestBusNames::playlistService(id), KestBusNames::playlistPath(id),
                             KestBusNames::playlistInterface());
        const QString modelPath = KestBusNames::playlistModelPath(id);
        const QString modelInterface = KestBusNames::playlistModelInterface();
        client.watch(KestBusNames::playlistInterface());
        client.watch(modelInterface);
        client.waitFor(QStringLiteral("playlist_created"));
        client.call(QStringLiteral("get_name"));
        client.call(QStringLiteral("id"));
        client.call(QStringLiteral("get_size"));
        client.call(QStringLiteral("get_current"));
        client.call(QStringLiteral("get_item"), QStringLiteral("i"), {2});
        client.call(QStringLiteral("get_item"), QStringLiteral("i"), {99});
        client.call(QStringLiteral("get_item"), QStringLiteral("i"), {-1});
        client.call(QStringLiteral("get_item_media_info"), QStringLiteral("i"), {0});
        client.call(QStringLiteral("get_item_media_info"), QStringLiteral("i"), {IntMax});
        client.call(QStringLiteral("get_next"), QStringLiteral("i"), {0});
        client.call(QStringLiteral("get_next"), QStringLiteral("i"), {IntMax});
        client.call(QStringLiteral("get_prev"), QStringLiteral("i"), {0});
        client.call(QStringLiteral("get_prev"), QStringLiteral("i"), {IntMin});
        client.call(QStringLiteral("set_repeat"), QStringLiteral("i"), {-1});
        client.call(QStringLiteral("set_repeat"), QStringLiteral("i"), {3});
        client.call(QStringLiteral("get_repeat"));
        client.call(QStringLiteral("set_repeat"), QStringLiteral("i"), {2});
        client.call(QStringLiteral("get_repeat"));
        client.call(QStringLiteral("is_shuffled"));
        client.call(QStringLiteral("get_sort_order"));
        client.call(QStringLiteral("increment_use_count"));
        client.call(QStringLiteral("increment_use_count"));
        client.call(QStringLiteral("decrement_use_count"));
        client.call(QStringLiteral("shuffle"));
        client.call(QStringLiteral("is_shuffled"));
        client.callAt(modelPath, modelInterface, QStringLiteral("get_row_count"));
        client.callAt(modelPath, modelInterface, QStringLiteral("get_column_count"));
        client.callAt(modelPath, modelInterface, QStringLiteral("get_data"), QStringLiteral("ii"), {0, 0});
        client.callAt(modelPath, modelInterface, QStringLiteral("get_data"), QStringLiteral("ii"), {3, 0});
        client.callAt(modelPath, modelInterface, QStringLiteral("get_header_data"), QStringLiteral("i"), {0});
        client.callAt(modelPath, modelInterface, QStringLiteral("get_header_data"), QStringLiteral("i"), {1});

        QVERIFY(client.start());
        QTest::ignoreMessage(QtWarningMsg, "KestPlaylistAdaptor::set_repeat bad mode -1");
        QTest::ignoreMessage(QtWarningMsg, "KestPlaylistAdaptor::set_repeat bad mode 3");
        QVERIFY(adaptor->init());
        QVERIFY(modelAdaptor->init(id));
        QVERIFY(client.finish());

        // Announced once, on the path without the id, with the playlist as it is.
        const QList<QVariantMap> created = client.signalsNamed(QStringLiteral("playlist_created"));
        QCOMPARE(created.size(), 1);
        QCOMPARE(created.at(0).value(QStringLiteral("path")).toString(), KestBusNames::playlistRootPath());
        QCOMPARE(created.at(0).value(QStringLiteral("type")).toString(), QStringLiteral("(ssii)"));
        QCOMPARE(created.at(0).value(QStringLiteral("value")).toList(),
                 (QVariantList{id, QStringLiteral("Wire list"), 3, 1}));

        QCOMPARE(client.reply(0), (KestBusClient::Reply{QStringLiteral("(s)"), QStringLiteral("Wire list")}));
        QCOMPARE(client.reply(1), (KestBusClient::Reply{QStringLiteral("(s)"), id}));
        QCOMPARE(client.reply(2), (KestBusClient::Reply{QStringLiteral("(u)"), 3}));
        QCOMPARE(client.reply(3), (KestBusClient::Reply{QStringLiteral("(i)"), 1}));
        // get_item and get_item_media_info answer with a reply of their own, and only that one.
        QCOMPARE(client.reply(4), (KestBusClient::Reply{QStringLiteral("(s)"), QStringLiteral("item2")}));
        QCOMPARE(client.reply(5), (KestBusClient::Reply{QStringLiteral("(s)"), QString()}));
        QCOMPARE(client.reply(6), (KestBusClient::Reply{QStringLiteral("(s)"), QString()}));
        QCOMPARE(client.reply(7), (KestBusClient::Reply{QStringLiteral("(s)"), QStringLiteral("item0")}));
        QCOMPARE(client.reply(8), (KestBusClient::Reply{QStringLiteral("(s)"), QString()}));
        for (int call = 4; call <= 8; ++call)
            QCOMPARE(client.replyCount(call), 1);
        QCOMPARE(client.reply(9), (KestBusClient::Reply{QStringLiteral("(i)"), 1}));
        QCOMPARE(client.reply(10), (KestBusClient::Reply{QStringLiteral("(i)"), -1}));
        QCOMPARE(client.reply(11), (KestBusClient::Reply{QStringLiteral("(i)"), -1}));
        QCOMPARE(client.reply(12), (KestBusClient::Reply{QStringLiteral("(i)"), -1}));
        // Bad repeat modes change nothing; 2 reaches the playlist.
        QCOMPARE(client.reply(13).type, QStringLiteral("()"));
        QCOMPARE(client.reply(15), (KestBusClient::Reply{QStringLiteral("(i)"), 0}));
        QCOMPARE(client.reply(17), (KestBusClient::Reply{QStringLiteral("(i)"), 2}));
        QCOMPARE(playlist.repeatMode(), KestPlaylist::RepeatAll);
        QCOMPARE(client.reply(18), (KestBusClient::Reply{QStringLiteral("(b)"), false}));
        QCOMPARE(client.reply(19), (KestBusClient::Reply{QStringLiteral("(u)"), 0}));
        for (int call = 20; call <= 22; ++call) {
            QCOMPARE(client.reply(call).type, QStringLiteral("()"));
            QCOMPARE(client.replyCount(call), 1);
        }
        QCOMPARE(client.reply(24), (KestBusClient::Reply{QStringLiteral("(b)"), true}));
        QCOMPARE(client.reply(25), (KestBusClient::Reply{QStringLiteral("(u)"), 3}));
        QCOMPARE(client.reply(26), (KestBusClient::Reply{QStringLiteral("(u)"), 1}));
        QCOMPARE(client.reply(27).type, QStringLiteral("(v)"));
        QCOMPARE(client.innerType(27), QStringLiteral("s"));
        QCOMPARE(client.innerType(28), QStringLiteral("(i)"));
        QCOMPARE(client.reply(29), (KestBusClient::Reply{QStringLiteral("(v)"), QStringLiteral("Title")}));
        QCOMPARE(client.innerType(30), QStringLiteral("(i)"));
        QVERIFY(!client.hasErrors());

        // The change signals go out on the path with the id.
        const QString path = KestBusNames::playlistPath(id);
        const QList<QVariantMap> repeat = client.signalsNamed(QStringLiteral("repeat_mode_changed"));
        QCOMPARE(repeat.size(), 1);
        QCOMPARE(repeat.at(0).value(QStringLiteral("path")).toString(), path);
        QCOMPARE(repeat.at(0).value(QStringLiteral("type")).toString(), QStringLiteral("(s)"));
        const QList<QVariantMap> contents = client.signalsNamed(QStringLiteral("contents_changed"));
        QCOMPARE(contents.size(), 1);
        QCOMPARE(contents.at(0).value(QStringLiteral("path")).toString(), path);
        QCOMPARE(contents.at(0).value(QStringLiteral("type")).toString(), QStringLiteral("(suuu)"));
        QCOMPARE(contents.at(0).value(QStringLiteral("value")).toList(), (QVariantList{id, 0, 3, 3}));
        const QList<QVariantMap> updated = client.signalsNamed(QStringLiteral("playlist_updated"));
        QVERIFY(!updated.isEmpty());
        QCOMPARE(updated.at(0).value(QStringLiteral("type")).toString(), QStringLiteral("(sii)"));
        QCOMPARE(updated.at(0).value(QStringLiteral("value")).toList().at(1).toInt(), int(KestPlaylist::Shuffled));
        const QList<QVariantMap> reset = client.signalsNamed(QStringLiteral("model_reset"));
        QCOMPARE(reset.size(), 1);
        QCOMPARE(reset.at(0).value(QStringLiteral("path")).toString(), modelPath);
        QCOMPARE(reset.at(0).value(QStringLiteral("type")).toString(), QStringLiteral("()"));
        QVERIFY(client.signalsNamed(QStringLiteral("item_moved")).isEmpty());
    }

    // Rows, columns and sections arrive from other processes: a model that does not check its
    // own indexes is asked only for what it has.
    void modelIsAskedOnlyForCellsItHas()
    {
        KestPlaylist playlist(QStringLiteral("trusting"), QStringLiteral("Trusting"));
        auto *adaptor = new KestPlaylistAdaptor(playlist);
        TrustingModel model;
        auto *modelAdaptor = new KestPlaylistModelAdaptor(model);
        QVERIFY(adaptor->init());
        QVERIFY(modelAdaptor->init(playlist.id()));

        const QString modelPath = KestBusNames::playlistModelPath(playlist.id());
        KestBusClient client(KestBusNames::playlistService(playlist.id()), modelPath,
                             KestBusNames::playlistModelInterface());
        const QList<QPair<int, int>> cells = {{1, 0}, {2, 0}, {-1, 0}, {0, 1}, {0, -1}, {IntMax, 0}, {IntMin, IntMax}};
        for (const auto &cell : cells)
            client.call(QStringLiteral("get_data"), QStringLiteral("ii"), {cell.first, cell.second});
        for (int section : {0, 1, -1, IntMax})
            client.call(QStringLiteral("get_header_data"), QStringLiteral("i"), {section});
        QVERIFY(client.start());
        QVERIFY(client.finish());

        QCOMPARE(client.reply(0), (KestBusClient::Reply{QStringLiteral("(v)"), QStringLiteral("second")}));
        for (int call = 1; call < cells.size(); ++call)
            QCOMPARE(client.innerType(call), QStringLiteral("(i)"));
        QCOMPARE(client.reply(7), (KestBusClient::Reply{QStringLiteral("(v)"), QStringLiteral("Name")}));
        for (int call = 8; call <= 10; ++call)
            QCOMPARE(client.innerType(call), QStringLiteral("(i)"));
        QVERIFY(!client.hasErrors());
        QCOMPARE(model.asked, (QList<QPair<int, int>>{{1, 0}}));
        QCOMPARE(model.askedSections, QList<int>{0});
    }

    void refusesTakenNamesAndPaths()
    {
        // A bus name that another process owns.
        KestTestPeer peer;
        QVERIFY(peer.start({KestBusNames::playlistService(QStringLiteral("taken"))}));
        {
            KestPlaylist playlist(QStringLiteral("taken"), QString());
            auto *adaptor = new KestPlaylistAdaptor(playlist);
            QTest::ignoreMessage(
                QtWarningMsg,
                "KestPlaylistAdaptor: init failed (path=\"\", service=\"com.zorvo.kest.playlist.taken\")");
            QVERIFY(!adaptor->init());
        }
        QVERIFY(KestTestBus::hasOwner(KestBusNames::playlistService(QStringLiteral("taken"))));

        // A path that is taken: the name claimed on the way stays owned until the adaptor goes.
        QObject squatter;
        const QString path = KestBusNames::playlistPath(QStringLiteral("squatted"));
        const QString service = KestBusNames::playlistService(QStringLiteral("squatted"));
        QVERIFY(QDBusConnection::sessionBus().registerObject(path, &squatter));
        {
            KestPlaylist playlist(QStringLiteral("squatted"), QString());
            auto *adaptor = new KestPlaylistAdaptor(playlist);
            QTest::ignoreMessage(QtWarningMsg,
                                 qPrintable(
                                     QStringLiteral("KestPlaylistAdaptor: init failed (path=\"%1\", service=\"%2\")")
                                         .arg(path, service)));
            QVERIFY(!adaptor->init());
            QVERIFY(KestTestBus::hasOwner(service));
        }
        QVERIFY(KestTestBus::waitForNoOwner(service));
        QCOMPARE(QDBusConnection::sessionBus().objectRegisteredAt(path), &squatter);
        QDBusConnection::sessionBus().unregisterObject(path);

        // The same id published twice in one process: the second adaptor fails and, when it
        // goes, leaves the first one's name and object alone.
        KestPlaylist first(QStringLiteral("twice"), QString());
        auto *firstAdaptor = new KestPlaylistAdaptor(first);
        QVERIFY(firstAdaptor->init());
        {
            KestPlaylist second(QStringLiteral("twice"), QString());
            auto *secondAdaptor = new KestPlaylistAdaptor(second);
            QTest::ignoreMessage(
                QtWarningMsg,
                "KestPlaylistAdaptor: init failed (path=\"\", service=\"com.zorvo.kest.playlist.twice\")");
            QVERIFY(!secondAdaptor->init());
        }
        QVERIFY(KestTestBus::hasOwner(KestBusNames::playlistService(QStringLiteral("twice"))));
        QCOMPARE(QDBusConnection::sessionBus().objectRegisteredAt(KestBusNames::playlistPath(QStringLiteral("twice"))),
                 &first);
    }

    void refusesIdsThatCannotBeBusNames()
    {
        for (const QString &id : {QStringLiteral("1abc"), QStringLiteral("a-b"), QStringLiteral("a.b"), QString()}) {
            KestPlaylist playlist(id, QString());
            auto *adaptor = new KestPlaylistAdaptor(playlist);
            QTest::ignoreMessage(QtWarningMsg,
                                 qPrintable(
                                     QStringLiteral("KestPlaylistAdaptor: init failed (path=\"\", service=\"%1\")")
                                         .arg(KestBusNames::playlistService(id))));
            QVERIFY2(!adaptor->init(), qPrintable(id));
            QVERIFY2(!KestTestBus::hasOwner(KestBusNames::playlistService(id)), qPrintable(id));
            // "a.b" would otherwise read as playlist "b" to everyone listing the bus.
            QVERIFY(!KestTestBus::hasOwner(KestBusNames::playlistService(QStringLiteral("b"))));
            QVERIFY(!QDBusConnection::sessionBus().objectRegisteredAt(KestBusNames::playlistPath(id)));
        }
    }

    void modelAdaptorRegistration()
    {
        KestLocalPlaylist playlist(QStringLiteral("models"), QString(), nullptr);
        auto *adaptor = new KestPlaylistModelAdaptor(*playlist.model());
        // Nothing is relayed before init(), and nothing fails: the path may be another process's.
        playlist.appendItem(makeItem(0));

        QTest::ignoreMessage(QtWarningMsg, "KestPlaylistModelAdaptor: Playlist id cannot be empty");
        QVERIFY(!adaptor->init(QString()));
        QVERIFY(adaptor->init(playlist.id()));
        QVERIFY(adaptor->init(playlist.id()));
        const QString path = KestBusNames::playlistModelPath(playlist.id());
        QCOMPARE(QDBusConnection::sessionBus().objectRegisteredAt(path), playlist.model());

        // A second model for the same path fails, and going away takes nothing with it.
        {
            KestLocalPlaylist other(QStringLiteral("models"), QString(), nullptr);
            auto *otherAdaptor = new KestPlaylistModelAdaptor(*other.model());
            QVERIFY(!otherAdaptor->init(other.id()));
        }
        QCOMPARE(QDBusConnection::sessionBus().objectRegisteredAt(path), playlist.model());
    }
};

QTEST_GUILESS_MAIN(PlaylistAdaptorTest)
#include "tst_playlistadaptor.moc"
