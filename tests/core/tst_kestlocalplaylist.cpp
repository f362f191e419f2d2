// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestlocalplaylist.h"
#include "kestlocalplaylistmodel.h"

#include <QAbstractItemModelTester>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <climits>
#include <memory>

namespace {

KestContent item(const QString &uuid, const QString &title = QString())
{
    KestContent content(uuid);
    if (!title.isEmpty())
        content.setMetaData(Metamap{{QStringLiteral("title"), title}});
    return content;
}

QStringList uuids(KestLocalPlaylist &playlist)
{
    QStringList result;
    for (int i = 0; i < playlist.size(); ++i) {
        std::unique_ptr<KestContent> content(playlist.getItem(i));
        result << content->uuid();
    }
    return result;
}

} // namespace

class LocalPlaylistTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void generatedIdsCanStandOnTheBus()
    {
        const QRegularExpression element(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
        KestLocalPlaylist a(QStringLiteral("A"));
        KestLocalPlaylist b(QStringLiteral("B"));
        QVERIFY(element.match(a.id()).hasMatch());
        QVERIFY(a.id() != b.id());
        QCOMPARE(a.name(), QStringLiteral("A"));
    }

    void everyIndexIsChecked_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("negative") << -1;
        QTest::newRow("very negative") << INT_MIN;
        QTest::newRow("one past the end") << 3;
        QTest::newRow("huge") << INT_MAX;
    }

    void everyIndexIsChecked()
    {
        QFETCH(int, index);
        KestLocalPlaylist playlist(QStringLiteral("p1"), QStringLiteral("P"), nullptr);
        for (const QString &uuid : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")})
            playlist.appendItem(item(uuid));
        QSignalSpy changed(&playlist, &KestPlaylist::contentsChanged);

        QCOMPARE(playlist.getItem(index), nullptr);
        QVERIFY(!playlist.getItemMediaInfo(index).isValid());
        QCOMPARE(playlist.getNext(index), -1);
        QCOMPARE(playlist.getPrevious(index), -1);
        QVERIFY(!playlist.removeItem(index));
        QVERIFY(!playlist.removeItems(index, 1));
        if (index != 3) // removing all three is allowed
            QVERIFY(!playlist.removeItems(1, index));
        QVERIFY(!playlist.removeItems(1, 3));
        QVERIFY(!playlist.moveItem(index, 0));
        QVERIFY(!playlist.moveItem(0, index));
        if (index != -1) // -1 means "no current item"
            QVERIFY(!playlist.setCurrentIndex(index));
        if (index != 3) // inserting at the end is allowed
            QVERIFY(!playlist.insertItem(index, item(QStringLiteral("x"))));
        QCOMPARE(changed.count(), 0);
        QVERIFY(!playlist.model()->data(playlist.model()->index(index, 0)).isValid());
    }

    void navigationFollowsTheRepeatMode()
    {
        KestLocalPlaylist playlist(QStringLiteral("p2"), QStringLiteral("P"), nullptr);
        for (const QString &uuid : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")})
            playlist.appendItem(item(uuid));
        QCOMPARE(playlist.getNext(1), 2);
        QCOMPARE(playlist.getNext(2), -1);
        QCOMPARE(playlist.getPrevious(0), -1);

        QSignalSpy repeat(&playlist, &KestPlaylist::repeatModeChanged);
        playlist.setRepeat(KestPlaylist::RepeatAll);
        QCOMPARE(playlist.getNext(2), 0);
        QCOMPARE(playlist.getPrevious(0), 2);
        playlist.setRepeat(KestPlaylist::RepeatOne);
        QCOMPARE(playlist.getNext(1), 1);
        QCOMPARE(repeat.count(), 2);

        // A mode that came as a number from elsewhere and names no mode is refused.
        QTest::ignoreMessage(QtWarningMsg, "KestLocalPlaylist::setRepeat: unknown repeat mode 3");
        playlist.setRepeat(static_cast<KestPlaylist::KestRepeatMode>(3));
        QCOMPARE(playlist.repeatMode(), KestPlaylist::RepeatOne);
        QCOMPARE(repeat.count(), 2);
    }

    void changesAreReportedAndTheCurrentItemFollows()
    {
        KestLocalPlaylist playlist(QStringLiteral("p3"), QStringLiteral("P"), nullptr);
        QAbstractItemModelTester tester(playlist.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changed(&playlist, &KestPlaylist::contentsChanged);
        QSignalSpy updated(&playlist, &KestPlaylist::playlistUpdated);
        for (const QString &uuid : {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")})
            playlist.appendItem(item(uuid, uuid.toUpper()));
        QCOMPARE(changed.count(), 4);
        QCOMPARE(changed.last(), (QList<QVariant>{3u, 0u, 1u}));
        QCOMPARE(playlist.getCurrentIndex(), -1);

        QVERIFY(playlist.setCurrentIndex(2)); // "c"
        QCOMPARE(updated.last().at(1).toInt(), 2);
        QVERIFY(playlist.insertItem(0, item(QStringLiteral("z"))));
        QCOMPARE(playlist.getCurrentIndex(), 3);
        QVERIFY(playlist.removeItems(0, 2));
        QCOMPARE(changed.last(), (QList<QVariant>{0u, 2u, 0u}));
        QCOMPARE(playlist.getCurrentIndex(), 1);
        QVERIFY(playlist.moveItem(1, 2));
        QCOMPARE(uuids(playlist), (QStringList{QStringLiteral("b"), QStringLiteral("d"), QStringLiteral("c")}));
        QCOMPARE(playlist.getCurrentIndex(), 2);

        // Removing the current item makes the item now in its place current.
        QVERIFY(playlist.removeItem(2));
        QCOMPARE(playlist.getCurrentIndex(), 1);
        QCOMPARE(playlist.model()->data(playlist.model()->index(1, 0)).toString(), QStringLiteral("D"));
        playlist.clear();
        QCOMPARE(playlist.size(), 0);
        QCOMPARE(playlist.getCurrentIndex(), -1);
    }

    void shuffleAndSortKeepTheCurrentItem()
    {
        KestLocalPlaylist playlist(QStringLiteral("p4"), QStringLiteral("P"), nullptr);
        QAbstractItemModelTester tester(playlist.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QStringList order{QStringLiteral("c"), QStringLiteral("a"), QStringLiteral("d"), QStringLiteral("b")};
        for (const QString &uuid : order)
            playlist.appendItem(item(uuid, uuid));
        QVERIFY(playlist.setCurrentIndex(2)); // "d"
        QSignalSpy changed(&playlist, &KestPlaylist::contentsChanged);

        playlist.shuffle();
        QVERIFY(playlist.isShuffled());
        QCOMPARE(changed.last(), (QList<QVariant>{0u, 4u, 4u}));
        std::unique_ptr<KestContent> current(playlist.getItem(playlist.getCurrentIndex()));
        QCOMPARE(current->uuid(), QStringLiteral("d"));
        playlist.unShuffle();
        QVERIFY(!playlist.isShuffled());
        QCOMPARE(uuids(playlist), order);
        QCOMPARE(playlist.getCurrentIndex(), 2);

        playlist.sort(0, KestPlaylist::Descending);
        QCOMPARE(uuids(playlist),
                 (QStringList{QStringLiteral("d"), QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}));
        QCOMPARE(playlist.getSortOrder(), KestPlaylist::Descending);
        QCOMPARE(playlist.getCurrentIndex(), 0);
    }

    void mediaInfoCarriesTheMetadata()
    {
        KestLocalPlaylist playlist(QStringLiteral("p5"), QStringLiteral("P"), nullptr);
        playlist.appendItem(item(QStringLiteral("a"), QStringLiteral("Song")));
        const KestMediaInfo info = playlist.getItemMediaInfo(0);
        QVERIFY(info.isValid());
        QCOMPARE(info.uuid(), QStringLiteral("a"));
        QCOMPARE(info.metaData().value(QStringLiteral("title")), QList<QVariant>{QStringLiteral("Song")});
        QCOMPARE(playlist.getColumnNames(), QStringList{QStringLiteral("Title")});
    }
};

QTEST_GUILESS_MAIN(LocalPlaylistTest)
#include "tst_kestlocalplaylist.moc"
