// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Catches: browse and query rows with wrong ids, indexes or remaining counts, or delivered after
// their request has ended; starts without an id kept as requests; results taken from a process that
// does not own the source; dead receivers called, and receivers that drop the proxy from their slot;
// metadata blocks decoded wrongly, also from an independent encoder; property values not cached.

#include "kestbusnames_p.h"
#include "kestmetadataencoder.h"
#include "kestproxysource.h"
#include "kestproxysourcepropertyrequest.h"
#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <kestbrowseresultdbusstruct.h>
#include <kesterror.h>
#include <kestqueryresultdbusstruct.h>

#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <climits>
#include <functional>
#include <memory>
#include <utility>

namespace {

const QString Plugin = QStringLiteral("plug");

using Rows = QList<KestBrowseResultDBusStruct>;

KestBrowseResultDBusStruct row(int remaining, uint index, const QString &objectId, uint errorCode = 0,
                               const QString &errorMessage = QString(), const QByteArray &metadata = QByteArray())
{
    return {remaining, index, objectId, metadata, QString(), errorCode, errorMessage};
}

// The arguments of browse_result and query_result after the id.
QVariantList browseBatch(const Rows &rows)
{
    return {QVariant::fromValue(rows)};
}

QVariantList queryBatch(int remaining, const QList<QStringList> &rows, int errorCode = 0,
                        const QString &errorMessage = QString(), uint firstIndex = 0)
{
    QList<KestQueryResultDBusStruct> results;
    for (const QStringList &values : rows)
        results.append(KestQueryResultDBusStruct{firstIndex++, values});
    return {remaining, QVariant::fromValue(results), errorCode, errorMessage};
}

QString nextUuid()
{
    static int counter = 0;
    return QStringLiteral("src%1").arg(++counter);
}

} // namespace

// Records every callback as one line of text.
class Receiver : public QObject
{
    Q_OBJECT
public:
    QStringList events;
    std::function<void()> then; // run after each callback

public Q_SLOTS:
    void onBrowseRow(uint id, const QString &objectId, const Metamap &metadata, uint index, int remaining)
    {
        QString line = QStringLiteral("row %1 %2 %3 %4").arg(id).arg(objectId).arg(index).arg(remaining);
        for (auto it = metadata.cbegin(); it != metadata.cend(); ++it)
            line += QLatin1Char(' ') + it.key() + QLatin1Char('=') + it.value().toString();
        add(line);
    }
    void onQueryRow(uint id, const QStringList &row, uint index, int remaining)
    {
        add(QStringLiteral("row %1 %2 %3 %4").arg(id).arg(row.join(QLatin1Char(','))).arg(index).arg(remaining));
    }
    void onBrowseError(uint id, uint code, const QString &message)
    {
        add(QStringLiteral("error %1 %2 %3").arg(id).arg(code).arg(message));
    }
    void onQueryError(uint id, int code, const QString &message)
    {
        add(QStringLiteral("error %1 %2 %3").arg(id).arg(code).arg(message));
    }
    void onProperty(const QString &name, const QVariant &value)
    {
        add(name + QLatin1Char(' ') + (value.isValid() ? value.toString() : QStringLiteral("(invalid)")));
    }
    void onMeta(uint id, const QStringList &keys, const QStringList &values)
    {
        add(QStringLiteral("meta %1 %2 %3").arg(id).arg(keys.join(QLatin1Char(',')), values.join(QLatin1Char(','))));
    }
    void onMetaError(uint id, const QString &message) { add(QStringLiteral("meta error %1 %2").arg(id).arg(message)); }

private:
    void add(const QString &line)
    {
        events << line;
        if (then)
            then();
    }
};

#define BROWSE_SLOTS SLOT(onBrowseRow(uint, QString, Metamap, uint, int)), SLOT(onBrowseError(uint, uint, QString))
#define QUERY_SLOTS SLOT(onQueryRow(uint, QStringList, uint, int)), SLOT(onQueryError(uint, int, QString))

// Places get-metadata requests of its own, as a derived source would.
class MetadataSource : public KestProxySource
{
public:
    using KestProxySource::KestProxySource;
    int replies = 0;

    void getMetadata(uint id, Receiver *receiver)
    {
        setGetMetaId(id);
        ongoingGetMetas().insert(id,
                                 new KestOngoingAction{receiver, SLOT(onMeta(uint, QStringList, QStringList)),
                                                       SLOT(onMetaError(uint, QString))});
        QDBusMessage call = QDBusMessage::createMethodCall(serviceName(), objectPath(), KestBusNames::sourceInterface(),
                                                           QStringLiteral("get_metadata"));
        call << QStringLiteral("a");
        auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
            finished->deleteLater();
            // An error message carries its text as the first argument.
            if (finished->isError())
                handleGetMetaError(finished->reply());
            else
                handleGetMetaResult(finished->reply());
            ++replies;
        });
    }
};

class KestProxySourceTest : public QObject
{
    Q_OBJECT
private:
    QString m_uuid;
    std::unique_ptr<KestTestPeer> m_peer;
    std::unique_ptr<KestProxySource> m_proxy;

    // \a from calls the proxy's result receiver; the name of the error it answered, if any.
    QString push(KestTestPeer &from, const QString &member, uint id, const QVariantList &batch)
    {
        const int before = from.callResults().size();
        from.call(KestTestBus::uniqueName(), KestBusNames::proxySourcePath(m_uuid),
                  KestBusNames::proxySourceInterface(), member, QVariantList{id} + batch);
        if (!from.waitForCallResults(before + 1))
            return QStringLiteral("no answer");
        return from.callResults().at(before).value(QStringLiteral("errorName")).toString();
    }
    QString push(uint id, const QVariantList &batch)
    {
        return push(*m_peer, batch.size() == 1 ? QStringLiteral("browse_result") : QStringLiteral("query_result"), id,
                    batch);
    }

    uint startBrowse(uint scriptedId, QObject *receiver)
    {
        m_peer->scriptReply(QStringLiteral("browse"), {scriptedId});
        return m_proxy->browse(QStringLiteral("music"), QString(), {QStringLiteral("title")}, 0, 10, receiver,
                               BROWSE_SLOTS);
    }

    uint startQuery(uint scriptedId, QObject *receiver)
    {
        m_peer->scriptReply(QStringLiteral("query"), {scriptedId});
        return m_proxy->query(QStringLiteral("genre:jazz"), receiver, QUERY_SLOTS);
    }

    bool newProxy()
    {
        m_proxy = std::make_unique<KestProxySource>(nullptr, m_uuid, Plugin, QStringLiteral("Source"));
        return m_proxy->initDBusConnection();
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The test plays the remote source's side of the wire too.
        qDBusRegisterMetaType<KestBrowseResultDBusStruct>();
        qDBusRegisterMetaType<Rows>();
        qDBusRegisterMetaType<KestQueryResultDBusStruct>();
        qDBusRegisterMetaType<QList<KestQueryResultDBusStruct>>();
    }

    // A remote source of its own for every test, and a proxy that knows its name already.
    void init()
    {
        m_uuid = nextUuid();
        m_peer = std::make_unique<KestTestPeer>();
        QVERIFY(m_peer->start({KestBusNames::sourceService(Plugin, m_uuid)}, {KestBusNames::sourcePath(m_uuid)}));
        QVERIFY(newProxy());
    }

    void cleanup()
    {
        m_proxy.reset();
        m_peer.reset();
    }

    void oneResultReceiverPerSource()
    {
        QVERIFY(m_peer->callsTo(QStringLiteral("get_name")).isEmpty());
        // A second proxy of the same source cannot export its receiver, and must not take the
        // first one's away when it goes.
        auto duplicate = std::make_unique<KestProxySource>(nullptr, m_uuid, Plugin, QStringLiteral("Radio"));
        QVERIFY(!duplicate->initDBusConnection());
        duplicate.reset();
        QCOMPARE(QDBusConnection::sessionBus().objectRegisteredAt(KestBusNames::proxySourcePath(m_uuid)),
                 static_cast<QObject *>(m_proxy.get()));
    }

    void properties()
    {
        Receiver receiver;
        QString volume = QStringLiteral("volume");
        const char *onProperty = SLOT(onProperty(QString, QVariant));
        // A value read is kept on the proxy too; a failed read reaches the receiver as an invalid value.
        QVERIFY(m_peer->scriptReply(QStringLiteral("get_extension_property"),
                                    {volume, QVariant::fromValue(QDBusVariant(7))}));
        QVERIFY(m_proxy->kestProperty(volume, &receiver, onProperty));
        QTRY_COMPARE(receiver.events, QStringList{QStringLiteral("volume 7")});
        QCOMPARE(m_proxy->property("volume"), QVariant(7));
        QVERIFY(m_peer->scriptError(QStringLiteral("get_extension_property"), QStringLiteral("unknown")));
        QVERIFY(m_proxy->kestProperty(volume, &receiver, onProperty));
        QTRY_COMPARE(receiver.events.size(), 2);
        QCOMPARE(receiver.events.last(), QStringLiteral("volume (invalid)"));

        // Without a name or a receiver nothing starts; a receiver that is gone or lacks the slot
        // is not called, and every request ends.
        QString empty;
        QVERIFY(!m_proxy->kestProperty(volume, nullptr, onProperty));
        QVERIFY(!m_proxy->kestProperty(empty, &receiver, onProperty));
        QVERIFY(m_proxy->kestProperty(volume, std::make_unique<Receiver>().get(), onProperty));
        QVERIFY(m_proxy->kestProperty(volume, &receiver, SLOT(noSuchSlot(QString, QVariant))));
        QTRY_VERIFY(m_proxy->findChildren<KestProxySourcePropertyRequest *>().isEmpty());
        QCOMPARE(receiver.events.size(), 2);

        // Setting is fire-and-forget: true even when the source refuses.
        QVERIFY(m_peer->scriptError(QStringLiteral("set_extension_property"), QStringLiteral("read-only")));
        QVERIFY(!m_proxy->setKestProperty(QString(), 9));
        QVERIFY(m_proxy->setKestProperty(volume, 9));
        QVERIFY(m_peer->waitForCalls(QStringLiteral("set_extension_property")));
        const KestRecordedCall set = m_peer->callsTo(QStringLiteral("set_extension_property")).constFirst();
        QCOMPARE(set.arguments.at(0), QVariant(volume));
        QCOMPARE(set.arguments.at(1).value<QDBusVariant>().variant(), QVariant(9));

        // The remote property_changed becomes kestPropertyChanged; the cached value is left alone.
        const auto announce = [this, &volume] {
            return m_peer->emitSignal(KestBusNames::sourcePath(m_uuid), KestBusNames::extensionInterface(),
                                      QStringLiteral("property_changed"),
                                      {volume, QVariant::fromValue(QDBusVariant(3))});
        };
        QSignalSpy changed(m_proxy.get(), &KestSource::kestPropertyChanged);
        QVERIFY(announce());
        QVERIFY(changed.wait());
        QCOMPARE(changed.at(0), (QVariantList{volume, 3}));
        QCOMPARE(m_proxy->property("volume"), QVariant(7));

        // A receiver that drops the proxy when the value arrives; the next proxy of the source
        // is the only one to hear its signals.
        QVERIFY(m_peer->scriptReply(QStringLiteral("get_extension_property"),
                                    {volume, QVariant::fromValue(QDBusVariant(3))}));
        receiver.then = [this] { m_proxy.reset(); };
        QVERIFY(m_proxy->kestProperty(volume, &receiver, onProperty));
        QTRY_VERIFY(!m_proxy);
        QCOMPARE(receiver.events.size(), 3);
        QVERIFY(newProxy());
        QSignalSpy again(m_proxy.get(), &KestSource::kestPropertyChanged);
        QVERIFY(announce());
        QVERIFY(again.wait());
    }

    void resultsReachTheReceiver_data()
    {
        QTest::addColumn<QVariantList>("batch");
        QTest::addColumn<QStringList>("events");
        const auto add = [](const char *name, const QVariantList &batch, const QStringList &events) {
            QTest::newRow(name) << batch << events;
        };
        const QString late = QStringLiteral("row 7 late 9 0");
        const QString completed = QStringLiteral("completed");
        const QByteArray song =
            KestMetadataEncoder().addString(QStringLiteral("title"), QStringLiteral("Song")).block();
        add("browse to its end",
            browseBatch({row(1, 10, QStringLiteral("a"), 0, QString(), song), row(0, 11, QStringLiteral("b"))}),
            {QStringLiteral("row 7 a 10 1 title=Song"), QStringLiteral("row 7 b 11 0"), completed});
        add("browse left pending", browseBatch({row(2, 0, QStringLiteral("a"))}),
            {QStringLiteral("row 7 a 0 2"), late, completed});
        add("browse ended by an error row",
            browseBatch({row(5, 0, QStringLiteral("a")), row(4, 1, QString(), 0, QStringLiteral("stopped")),
                         row(3, 2, QStringLiteral("c"))}),
            {QStringLiteral("row 7 a 0 5"), QStringLiteral("error 7 0 stopped")});
        add("browse remote error", browseBatch({row(0, 0, QString(), 42, QStringLiteral("gone"))}),
            {QStringLiteral("error 7 42 gone")});
        add("browse undecodable metadata", browseBatch({row(0, 0, QStringLiteral("a"), 0, QString(), "broken")}),
            {QStringLiteral("error 7 3 Error. Results contains invalid data.")});
        add("browse negative count", browseBatch({row(-3, 0, QStringLiteral("a"))}),
            {QStringLiteral("row 7 a 0 0"), completed});
        add("browse error after the end",
            browseBatch({row(0, 0, QStringLiteral("a")), row(0, 1, QString(), 1, QStringLiteral("x"))}),
            {QStringLiteral("row 7 a 0 0"), completed});
        // Each query row carries the number of rows after it, in this batch and in later ones.
        add("query counting down", queryBatch(5, {{QStringLiteral("a")}, {QStringLiteral("b")}, {QStringLiteral("c")}}),
            {QStringLiteral("row 7 a 0 7"), QStringLiteral("row 7 b 1 6"), QStringLiteral("row 7 c 2 5"), late});
        add("query to its end", queryBatch(0, {{QStringLiteral("d"), QStringLiteral("e")}}, 0, QString(), 3),
            {QStringLiteral("row 7 d,e 3 0")});
        add("query empty batch", queryBatch(5, {}), {late});
        add("query message without code", queryBatch(0, {{QStringLiteral("x")}}, 0, QStringLiteral("odd")), {late});
        add("query error", queryBatch(1, {{QStringLiteral("b")}}, 4, QStringLiteral("bad")),
            {QStringLiteral("error 7 4 bad")});
        add("query count at the top",
            queryBatch(INT_MAX - 1, {{QStringLiteral("p")}, {QStringLiteral("q")}, {QStringLiteral("r")}}),
            {QStringLiteral("row 7 p 0 2147483647"), QStringLiteral("row 7 q 1 2147483647"),
             QStringLiteral("row 7 r 2 2147483646"), late});
        add("query negative count", queryBatch(-2, {{QStringLiteral("a")}}), {QStringLiteral("row 7 a 0 0")});
    }

    // A batch, then a late row that reaches the receiver only if the request is still pending.
    void resultsReachTheReceiver()
    {
        QFETCH(QVariantList, batch);
        QFETCH(QStringList, events);
        Receiver receiver;
        connect(m_proxy.get(), &KestSource::browseCompleted, &receiver,
                [&receiver] { receiver.events << QStringLiteral("completed"); });
        const bool browse = batch.size() == 1;
        QCOMPARE(browse ? startBrowse(7, &receiver) : startQuery(7, &receiver), 7u);
        QCOMPARE(push(7, batch), QString());
        QCOMPARE(push(7,
                      browse ? browseBatch({row(0, 9, QStringLiteral("late"))})
                             : queryBatch(0, {{QStringLiteral("late")}}, 0, QString(), 9)),
                 QString());
        QCOMPARE(receiver.events, events);
    }

    void requestIds()
    {
        Receiver receiver;
        // Nothing to browse for, or nobody to tell: nothing starts.
        QCOMPARE(m_proxy->browse(QStringLiteral("m"), QString(), {}, 0, 0, &receiver, BROWSE_SLOTS), 0u);
        QCOMPARE(m_proxy->browse(QStringLiteral("m"), QString(), {QStringLiteral("k")}, 0, 0, nullptr, BROWSE_SLOTS),
                 0u);
        QCOMPARE(m_proxy->query(QStringLiteral("q"), nullptr, QUERY_SLOTS), 0u);
        QVERIFY(m_peer->calls().isEmpty());

        // A predicate alone is enough, from the source's root object. A cancelled request stays
        // until the source ends it.
        QVERIFY(m_peer->scriptReply(QStringLiteral("browse"), {8u}));
        QCOMPARE(m_proxy->browse(QString(), QStringLiteral("p"), {}, 3, 4, &receiver, BROWSE_SLOTS), 8u);
        QCOMPARE(m_peer->callsTo(QStringLiteral("browse")).value(0).arguments,
                 (QVariantList{m_uuid + QStringLiteral("::"), QStringLiteral("p"), QStringList(), 3u, 4u}));
        QCOMPARE(startQuery(9, &receiver), 9u);
        QCOMPARE(m_peer->callsTo(QStringLiteral("query")).value(0).arguments,
                 QVariantList{QStringLiteral("genre:jazz")});
        m_proxy->cancelBrowse(8);
        m_proxy->cancelQuery(9);
        QVERIFY(m_peer->waitForCalls(QStringLiteral("cancel_query")));
        QCOMPARE(m_peer->callsTo(QStringLiteral("cancel_browse")).value(0).arguments, QVariantList{8u});
        QCOMPARE(m_peer->callsTo(QStringLiteral("cancel_query")).value(0).arguments, QVariantList{9u});
        QCOMPARE(push(8, browseBatch({row(0, 0, QStringLiteral("a"))})), QString());
        QCOMPARE(push(9, queryBatch(0, {{QStringLiteral("b")}})), QString());

        // A start answered without an id or with an error starts nothing, not even under id 0.
        QVERIFY(m_peer->scriptReply(QStringLiteral("browse")));
        QCOMPARE(m_proxy->browse(QStringLiteral("m"), QString(), {QStringLiteral("k")}, 0, 0, &receiver, BROWSE_SLOTS),
                 0u);
        QVERIFY(m_peer->scriptReply(QStringLiteral("query")));
        QCOMPARE(m_proxy->query(QStringLiteral("q"), &receiver, QUERY_SLOTS), 0u);
        QVERIFY(m_peer->scriptError(QStringLiteral("browse"), QStringLiteral("busy")));
        QCOMPARE(m_proxy->browse(QStringLiteral("m"), QString(), {QStringLiteral("k")}, 0, 0, &receiver, BROWSE_SLOTS),
                 0u);
        QCOMPARE(push(0, browseBatch({row(0, 0, QStringLiteral("c"))})), QString());
        QCOMPARE(push(0, queryBatch(0, {{QStringLiteral("d")}})), QString());

        // A repeated id replaces the pending request; its first receiver hears nothing more.
        Receiver replaced;
        QCOMPARE(startBrowse(21, &replaced), 21u);
        QCOMPARE(startBrowse(21, &receiver), 21u);
        QCOMPARE(startQuery(22, &replaced), 22u);
        QCOMPARE(startQuery(22, &receiver), 22u);
        QCOMPARE(push(21, browseBatch({row(0, 0, QStringLiteral("e"))})), QString());
        QCOMPARE(push(22, queryBatch(0, {{QStringLiteral("f")}})), QString());
        QVERIFY(replaced.events.isEmpty());

        // Only the source's owner may deliver results: guessed ids from elsewhere are refused.
        KestTestPeer stranger;
        QVERIFY(stranger.start());
        QCOMPARE(startBrowse(23, &receiver), 23u);
        QCOMPARE(push(stranger, QStringLiteral("browse_result"), 23,
                      browseBatch({row(0, 0, QStringLiteral("forged"))})),
                 QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
        QCOMPARE(push(23, browseBatch({row(0, 0, QStringLiteral("g"))})), QString());
        QCOMPARE(receiver.events,
                 (QStringList{QStringLiteral("row 8 a 0 0"), QStringLiteral("row 9 b 0 0"),
                              QStringLiteral("row 21 e 0 0"), QStringLiteral("row 22 f 0 0"),
                              QStringLiteral("row 23 g 0 0")}));

        // A receiver without the slots still ends its browse.
        QObject deaf;
        QSignalSpy completed(m_proxy.get(), &KestSource::browseCompleted);
        QCOMPARE(startBrowse(24, &deaf), 24u);
        QCOMPARE(push(24, browseBatch({row(1, 0, QStringLiteral("h")), row(0, 1, QStringLiteral("i"))})), QString());
        QCOMPARE(completed.size(), 1);
    }

    void receiversDestroyedMidway()
    {
        auto receiver = std::make_unique<Receiver>();
        QSignalSpy completed(m_proxy.get(), &KestSource::browseCompleted);
        QCOMPARE(startBrowse(41, receiver.get()), 41u);
        QCOMPARE(startQuery(42, receiver.get()), 42u);
        receiver.reset();
        QCOMPARE(push(41, browseBatch({row(1, 0, QStringLiteral("a")), row(0, 1, QStringLiteral("b"))})), QString());
        QCOMPARE(push(42, queryBatch(0, {{QStringLiteral("a")}})), QString());
        QCOMPARE(push(42, queryBatch(0, {}, 1, QStringLiteral("late"))), QString());
        QCOMPARE(completed.size(), 0);
    }

    void receiverActsFromItsSlot()
    {
        // The last row has ended the browse before the slot runs, so a follow-up browse that the
        // source gives the same id stays pending.
        Receiver receiver;
        QSignalSpy completed(m_proxy.get(), &KestSource::browseCompleted);
        QCOMPARE(startBrowse(91, &receiver), 91u);
        bool followUp = true;
        receiver.then = [&] {
            if (std::exchange(followUp, false))
                QCOMPARE(startBrowse(91, &receiver), 91u);
        };
        QCOMPARE(push(91, browseBatch({row(0, 0, QStringLiteral("a"))})), QString());
        QCOMPARE(completed.size(), 1);
        QCOMPARE(push(91, browseBatch({row(0, 0, QStringLiteral("b"))})), QString());
        QCOMPARE(receiver.events.size(), 2);
        QCOMPARE(completed.size(), 2);

        // A receiver that drops the proxy in the middle of a batch ends the batch there.
        QCOMPARE(startBrowse(92, &receiver), 92u);
        receiver.then = [this] { m_proxy.reset(); };
        QCOMPARE(push(92, browseBatch({row(1, 0, QStringLiteral("c")), row(0, 1, QStringLiteral("d"))})), QString());
        QVERIFY(!m_proxy);
        QCOMPARE(receiver.events.size(), 3);
    }

    void proxyDestroyedWithPendingWork()
    {
        Receiver receiver;
        QCOMPARE(startBrowse(51, &receiver), 51u);
        QCOMPARE(startBrowse(52, &receiver), 52u);
        QCOMPARE(startQuery(53, &receiver), 53u);
        m_proxy.reset();
        auto source = std::make_unique<MetadataSource>(nullptr, m_uuid, Plugin, QStringLiteral("Source"));
        QVERIFY(source->initDBusConnection());
        QVERIFY(m_peer->scriptNoReply(QStringLiteral("get_metadata")));
        source->getMetadata(54, &receiver);
        QVERIFY(m_peer->waitForCalls(QStringLiteral("get_metadata")));
        source.reset();

        // The receiver object has left the bus with its proxy; nobody is called back.
        QVERIFY(!push(51, browseBatch({row(0, 0, QStringLiteral("a"))})).isEmpty());
        QVERIFY(receiver.events.isEmpty());
    }

    void getMetadataReplies()
    {
        m_proxy.reset();
        MetadataSource source(nullptr, m_uuid, Plugin, QStringLiteral("Source"));
        QVERIFY(source.initDBusConnection());
        Receiver receiver;
        const QByteArray block = KestMetadataEncoder()
                                     .addString(QStringLiteral("artist"), QStringLiteral("Nina"))
                                     .addInt(QStringLiteral("year"), 1958)
                                     .addString(QStringLiteral("artist"), QStringLiteral("Simone"))
                                     .block();
        // Malformed blocks and errors outside the source's domain end the request without a call.
        const QList<QPair<uint, QVariant>> replies = {{61, block},
                                                      {62, QByteArray("broken")},
                                                      {63, QStringLiteral("other.domain")},
                                                      {64, KestError::KEST_SOURCE_ERROR_QUARK}};
        for (const auto &reply : replies) {
            if (reply.second.userType() == QMetaType::QByteArray)
                QVERIFY(m_peer->scriptReply(QStringLiteral("get_metadata"), {reply.second}));
            else
                QVERIFY(m_peer->scriptError(QStringLiteral("get_metadata"), reply.second.toString()));
            source.getMetadata(reply.first, &receiver);
            QTRY_COMPARE(source.replies, int(reply.first) - 60);
        }
        QCOMPARE(receiver.events,
                 (QStringList{QStringLiteral("meta 61 artist,year,artist Nina,1958,Simone"),
                              QStringLiteral("meta error 64 ") + KestError::KEST_SOURCE_ERROR_QUARK}));
    }

    void sourceLeavesMidBrowse()
    {
        Receiver receiver;
        QSignalSpy completed(m_proxy.get(), &KestSource::browseCompleted);
        QCOMPARE(startBrowse(81, &receiver), 81u);
        m_peer->kill();
        QVERIFY(KestTestBus::waitForNoOwner(m_proxy->serviceName()));
        // Nothing starts any more, and the pending browse just waits for the proxy's end.
        QCOMPARE(m_proxy->browse(QString(), QString(), {QStringLiteral("k")}, 0, 4, &receiver, BROWSE_SLOTS), 0u);
        QCOMPARE(m_proxy->query(QStringLiteral("q"), &receiver, QUERY_SLOTS), 0u);
        m_proxy->cancelBrowse(81);
        QVERIFY(receiver.events.isEmpty());
        QCOMPARE(completed.size(), 0);
    }

    void decodesBlocksFromAnIndependentEncoder()
    {
        // A source written with python3-dbus, whose metadata blocks are packed with struct.pack.
        m_proxy.reset();
        const QString uuid = nextUuid();
        const QString service = KestBusNames::sourceService(Plugin, uuid);
        QProcess python;
        python.setProcessChannelMode(QProcess::ForwardedChannels);
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(KEST_PYTHON_PEER), QStringLiteral("source"), service,
                      KestBusNames::sourcePath(uuid), KestBusNames::proxySourcePath(uuid)});
        QVERIFY(python.waitForStarted());
        QVERIFY(KestTestBus::waitForOwner(service));
        KestProxySource proxy(nullptr, uuid, Plugin, QStringLiteral("Python"));
        QVERIFY(proxy.initDBusConnection());
        Receiver receiver;
        QCOMPARE(proxy.browse(QString(), QStringLiteral("pred"), {QStringLiteral("title"), QStringLiteral("size")}, 3,
                              4, &receiver, BROWSE_SLOTS),
                 61u);
        QCOMPARE(proxy.query(QStringLiteral("genre"), &receiver, QUERY_SLOTS), 62u);
        QTRY_COMPARE(receiver.events.size(), 4);
        // The first row's object id echoes what python received of the browse call.
        QCOMPARE(receiver.events,
                 (QStringList{QStringLiteral("row 61 %1:: pred title,size 3 4 0 1 bool=true char=-1 double=0.1 empty= "
                                             "int=-123456 int64=-5000000000 title=Caf\u00e9 uint=4000000000 "
                                             "uint64=18000000000000000000")
                                  .arg(uuid),
                              QStringLiteral("row 61 last 1 0"), QStringLiteral("row 62 genre,b 5 1"),
                              QStringLiteral("row 62  6 0")}));
        python.kill();
        python.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(KestProxySourceTest)
#include "tst_kestproxysource.moc"
