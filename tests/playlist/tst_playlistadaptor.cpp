// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The publishing side. Catches: a reply sent twice; missing items, cells and headers not answered with ""
// and the error structure; a model asked for cells it lacks; a bad repeat mode applied; a name claimed for
// an id that cannot be one or that is owned, or taken from its owner; changes relayed from a refused publication.

#include "kestbusclient.h"
#include "kesttestbus.h"

#include "kestbusnames_p.h"
#include <kestlocalplaylist.h>
#include <kestplaylistadaptor.h>
#include <kestplaylistmodeladaptor.h>

#include <QAbstractListModel>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QTest>

#include <limits>

namespace {

const int IntMax = std::numeric_limits<int>::max();
const int IntMin = std::numeric_limits<int>::min();

// A model that trusts its indexes, as many do: it answers every cell (row, column) and header (-1, section)
// that it is asked for, and records them.
class TrustingModel : public QAbstractListModel
{
public:
    int rowCount(const QModelIndex &parent) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex &index, int) const override
    {
        asked.append({index.row(), index.column()});
        return QStringLiteral("cell %1").arg(index.row());
    }
    QVariant headerData(int section, Qt::Orientation, int) const override
    {
        asked.append({-1, section});
        return QStringLiteral("Name");
    }

    mutable QList<QPair<int, int>> asked;
};

} // namespace

class PlaylistAdaptorTest : public QObject
{
    Q_OBJECT

public Q_SLOTS:
    void relay(const QDBusMessage &message)
    {
        QStringList words{message.member()};
        for (const QVariant &argument : message.arguments())
            words << argument.toString();
        m_relayed << words.join(QLatin1Char(' '));
    }

private Q_SLOTS:
    // Asked by a client that does not use Qt, which also counts the replies.
    void answersOtherProcesses()
    {
        if (!KestBusClient::isAvailable())
            QSKIP("No independent D-Bus client (/usr/bin/python3 with GLib's gi) on this machine");
        KestLocalPlaylist playlist(QStringLiteral("wire"), QStringLiteral("Wire list"), nullptr);
        for (int i = 0; i < 3; ++i)
            playlist.appendItem(KestContent(QStringLiteral("item%1").arg(i)));
        QVERIFY(playlist.setCurrentIndex(1));
        auto *adaptor = new KestPlaylistAdaptor(playlist);
        TrustingModel model;
        auto *modelAdaptor = new KestPlaylistModelAdaptor(model);

        const QString id = playlist.id();
        const QString modelPath = KestBusNames::playlistModelPath(id);
        const QString modelInterface = KestBusNames::playlistModelInterface();
        const QString i = QStringLiteral("i");
        KestBusClient client(KestBusNames::playlistService(id), KestBusNames::playlistPath(id),
                             KestBusNames::playlistInterface());
        for (int index : {2, 99, -1})
            client.call(QStringLiteral("get_item"), i, {index});
        for (int index : {0, IntMax})
            client.call(QStringLiteral("get_item_media_info"), i, {index});
        for (int mode : {-1, 3})
            client.call(QStringLiteral("set_repeat"), i, {mode});
        client.call(QStringLiteral("get_repeat"));
        client.call(QStringLiteral("set_repeat"), i, {2});
        for (const auto &cell : QList<QPair<int, int>>{{1, 0}, {2, 0}, {-1, 0}, {0, 1}, {0, -1}, {IntMin, IntMax}})
            client.callAt(modelPath, modelInterface, QStringLiteral("get_data"), QStringLiteral("ii"),
                          {cell.first, cell.second});
        for (int section : {0, 1, -1, IntMax})
            client.callAt(modelPath, modelInterface, QStringLiteral("get_header_data"), i, {section});
        QVERIFY(adaptor->init() && modelAdaptor->init(id));
        QTest::ignoreMessage(QtWarningMsg, "KestPlaylistAdaptor::set_repeat bad mode -1");
        QTest::ignoreMessage(QtWarningMsg, "KestPlaylistAdaptor::set_repeat bad mode 3");
        QVERIFY(client.start() && client.finish());

        // Each answer as "type [type inside the variant] value"; get_item and get_item_media_info send a
        // reply of their own, and only that one; (i) is the error structure.
        QStringList answers;
        for (int call = 0; call < 19; ++call) {
            const KestBusClient::Reply reply = client.reply(call);
            answers << QStringList{reply.type, reply.inner, reply.value.toString()}.join(QLatin1Char(' ')).simplified();
            QCOMPARE(reply.count, 1);
        }
        QCOMPARE(answers.join(QLatin1String(", ")),
                 QStringLiteral("(s) item2, (s), (s), (s) item0, (s), (), (), (i) 0, (), (v) s cell 1, (v) (i), "
                                "(v) (i), (v) (i), (v) (i), (v) (i), (v) s Name, (v) (i), (v) (i), (v) (i)"));
        QCOMPARE(playlist.repeatMode(), KestPlaylist::RepeatAll);
        QCOMPARE(model.asked, (QList<QPair<int, int>>{{1, 0}, {-1, 0}}));
    }

    // None of these claims a name, takes another's name or object, or relays a change.
    void refusedPublications()
    {
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(bus.connect(QString(), QString(), KestBusNames::playlistInterface(), QStringLiteral("contents_changed"),
                            this, SLOT(relay(QDBusMessage))));
        QVERIFY(bus.connect(QString(), QString(), KestBusNames::playlistModelInterface(),
                            QStringLiteral("model_rows_inserted"), this, SLOT(relay(QDBusMessage))));

        // "a.b" would read as playlist "b" to everyone listing the bus.
        for (const QString &id : {QStringLiteral("1abc"), QStringLiteral("a-b"), QStringLiteral("a.b"), QString()}) {
            KestLocalPlaylist playlist(id, QString(), nullptr);
            QVERIFY2(!(new KestPlaylistAdaptor(playlist))->init(), qPrintable(id));
            playlist.appendItem(KestContent(QStringLiteral("refused")));
            QVERIFY(!KestTestBus::hasOwner(KestBusNames::playlistService(id)));
            QVERIFY(!KestTestBus::hasOwner(KestBusNames::playlistService(QStringLiteral("b"))));
            QVERIFY(!bus.objectRegisteredAt(KestBusNames::playlistPath(id)));
            QVERIFY(!id.isEmpty() || !(new KestPlaylistModelAdaptor(*playlist.model()))->init(id));
        }

        // Another object on the path: the name claimed on the way goes with the adaptor.
        QObject squatter;
        const QString squatted = KestBusNames::playlistPath(QStringLiteral("squatted"));
        QVERIFY(bus.registerObject(squatted, &squatter));
        {
            KestLocalPlaylist playlist(QStringLiteral("squatted"), QString(), nullptr);
            QVERIFY(!(new KestPlaylistAdaptor(playlist))->init());
            playlist.appendItem(KestContent(QStringLiteral("refused")));
        }
        QVERIFY(KestTestBus::waitForNoOwner(KestBusNames::playlistService(QStringLiteral("squatted"))));
        QCOMPARE(bus.objectRegisteredAt(squatted), &squatter);

        // One id published twice in this process: the second fails and, going, leaves the first alone.
        KestLocalPlaylist first(QStringLiteral("twice"), QString(), nullptr);
        first.appendItem(KestContent(QStringLiteral("before")));
        QVERIFY((new KestPlaylistAdaptor(first))->init());
        auto *firstModel = new KestPlaylistModelAdaptor(*first.model());
        QVERIFY(firstModel->init(first.id()) && firstModel->init(first.id()));
        {
            KestLocalPlaylist second(QStringLiteral("twice"), QString(), nullptr);
            QVERIFY(!(new KestPlaylistAdaptor(second))->init());
            QVERIFY(!(new KestPlaylistModelAdaptor(*second.model()))->init(second.id()));
            second.appendItem(KestContent(QStringLiteral("refused")));
        }
        QVERIFY(KestTestBus::hasOwner(KestBusNames::playlistService(QStringLiteral("twice"))));
        QCOMPARE(bus.objectRegisteredAt(KestBusNames::playlistPath(QStringLiteral("twice"))), &first);
        QCOMPARE(bus.objectRegisteredAt(KestBusNames::playlistModelPath(QStringLiteral("twice"))), first.model());

        // Signals come back in the order sent: whatever was relayed before this change is in by then.
        first.appendItem(KestContent(QStringLiteral("after")));
        QTRY_VERIFY(m_relayed.contains(QStringLiteral("contents_changed twice 1 0 1")));
        QCOMPARE(
            m_relayed,
            (QStringList{QStringLiteral("model_rows_inserted 1 1"), QStringLiteral("contents_changed twice 1 0 1")}));
    }

private:
    QStringList m_relayed;
};

QTEST_GUILESS_MAIN(PlaylistAdaptorTest)
#include "tst_playlistadaptor.moc"
