// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Catches: browse and query rows with wrong ids, indexes or counts, or taken after their request
// ended; starts without an id kept; dead receivers called, proxies dropped from
// a slot; metadata decoded wrongly (also from an independent encoder); property values not cached.

#include "dbusmessageutil.h"
#include "kestbusnames_p.h"
#include "kestproxysource.h"
#include "kestproxysourcepropertyrequest.h"
#include "kestreceiver.h"
#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <kestbrowseresultdbusstruct.h>
#include <kestqueryresultdbusstruct.h>

#include <kestshared.h>

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTest>

#include <climits>
#include <memory>
#include <utility>

namespace {

const QString Plugin = QStringLiteral("plug");

KestBrowseResultDBusStruct row(int remaining, uint index, const char *objectId, uint errorCode = 0,
                               const char *errorMessage = "", const QByteArray &metadata = QByteArray())
{
    return {remaining, index,     QString::fromLatin1(objectId),    metadata,
            QString(), errorCode, QString::fromLatin1(errorMessage)};
}

// The arguments of browse_result and query_result after the id.
// \a rows holds the rows separated by ';', each row's values separated by ','.
QVariantList queryBatch(int remaining, const char *rows, int errorCode = 0, const char *errorMessage = "",
                        uint firstIndex = 0)
{
    QList<KestQueryResultDBusStruct> results;
    const QStringList texts = QString::fromLatin1(rows).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString &text : texts)
        results.append(KestQueryResultDBusStruct{firstIndex++, text.split(QLatin1Char(','), Qt::SkipEmptyParts)});
    return {remaining, QVariant::fromValue(results), errorCode, QString::fromLatin1(errorMessage)};
}

} // namespace

// Places get-metadata requests of its own, as a derived source would.
class MetadataSource : public KestProxySource
{
public:
    using KestProxySource::KestProxySource;
    int replies = 0;

    void getMetadata(uint id, KestReceiver *receiver)
    {
        setGetMetaId(id);
        ongoingGetMetas().insert(id,
                                 new KestOngoingAction{receiver, SLOT(onMeta(uint, QStringList, QStringList)),
                                                       SLOT(onMetaError(uint, QString))});
        QDBusMessage call = QDBusMessage::createMethodCall(serviceName(), objectPath(), KestBusNames::sourceInterface(),
                                                           QStringLiteral("get_metadata"));
        auto *watcher = new QDBusPendingCallWatcher(
            QDBusConnection::sessionBus().asyncCall(call << QStringLiteral("a")), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
            finished->deleteLater();
            // An error message carries its text as the first argument.
            finished->isError() ? handleGetMetaError(finished->reply()) : handleGetMetaResult(finished->reply());
            ++replies;
        });
    }
};

class KestProxySourceTest : public QObject
{
    Q_OBJECT
private:
    QString m_uuid;
    int m_sources = 0;
    std::unique_ptr<KestTestPeer> m_peer;
    std::unique_ptr<KestProxySource> m_proxy;

    // The source calls the result receiver; the name of the error it answered, if any.
    QString push(uint id, const QVariantList &batch)
    {
        const int before = m_peer->callResults().size();
        m_peer->call(KestTestBus::uniqueName(), KestBusNames::proxySourcePath(m_uuid),
                     KestBusNames::proxySourceInterface(),
                     batch.size() == 1 ? QStringLiteral("browse_result") : QStringLiteral("query_result"),
                     QVariantList{id} + batch);
        return m_peer->waitForCallResults(before + 1)
            ? m_peer->callResults().at(before).value(QStringLiteral("errorName")).toString()
            : QStringLiteral("no answer");
    }

    QVariantList browseBatch(const QList<KestBrowseResultDBusStruct> &rows) { return {QVariant::fromValue(rows)}; }

    // A browse or query that the source answers with \a id; an empty \a id answers without one.
    uint start(bool browse, const QVariantList &id, QObject *receiver, const QStringList &keys = {QStringLiteral("k")})
    {
        m_peer->scriptReply(browse ? QStringLiteral("browse") : QStringLiteral("query"), id);
        return browse ? m_proxy->browse(QString(), QString(), keys, 0, 10, receiver, BROWSE_SLOTS)
                      : m_proxy->query(QStringLiteral("q"), receiver, QUERY_SLOTS);
    }
    uint startBrowse(uint id, QObject *receiver) { return start(true, {id}, receiver); }
    uint startQuery(uint id, QObject *receiver) { return start(false, {id}, receiver); }

    // Ends of browses and queries go into the receiver's record as well.
    void recordEnds(KestReceiver &receiver)
    {
        connect(m_proxy.get(), &KestSource::browseCompleted, &receiver,
                [&receiver] { receiver.events << QStringLiteral("completed"); });
        for (auto finished : {&KestProxySource::browseFinished, &KestProxySource::queryFinished})
            connect(m_proxy.get(), finished, &receiver,
                    [&receiver](uint id) { receiver.events << QStringLiteral("finished %1").arg(id); });
    }

    bool newProxy()
    {
        m_proxy = std::make_unique<KestProxySource>(nullptr, m_uuid, Plugin, QStringLiteral("Source"));
        return m_proxy->initDBusConnection();
    }

private Q_SLOTS:
    // A remote source of its own for every test, and a proxy that knows its name already.
    void init()
    {
        m_uuid = QStringLiteral("src%1").arg(++m_sources);
        m_peer = std::make_unique<KestTestPeer>();
        QVERIFY(m_peer->start({KestBusNames::sourceService(Plugin, m_uuid)}, {KestBusNames::sourcePath(m_uuid)}));
        QVERIFY(newProxy());
    }

    void properties()
    {
        KestReceiver receiver;
        QString volume = QStringLiteral("volume");
        QString empty;
        const QString get = QStringLiteral("get_extension_property");
        const auto value = [&](int number) { return QVariantList{volume, QVariant::fromValue(QDBusVariant(number))}; };
        // A value read is kept on the proxy too; a failed read reaches the receiver as an invalid
        // value. Without a name or a receiver nothing starts; a receiver that is gone or lacks the
        // slot is not called; every request ends.
        QVERIFY(m_peer->scriptReply(get, value(7)));
        QVERIFY(m_proxy->kestProperty(volume, &receiver, PROPERTY_SLOT));
        QTRY_COMPARE(receiver.all(), QStringLiteral("volume 7"));
        QCOMPARE(m_proxy->property("volume"), QVariant(7));
        QVERIFY(m_peer->scriptError(get, QStringLiteral("unknown")));
        QVERIFY(!m_proxy->kestProperty(volume, nullptr, PROPERTY_SLOT));
        QVERIFY(!m_proxy->kestProperty(empty, &receiver, PROPERTY_SLOT));
        QVERIFY(m_proxy->kestProperty(volume, std::make_unique<KestReceiver>().get(), PROPERTY_SLOT));
        QVERIFY(m_proxy->kestProperty(volume, &receiver, SLOT(noSuchSlot(QString, QVariant))));
        QVERIFY(m_proxy->kestProperty(volume, &receiver, PROPERTY_SLOT));
        QTRY_VERIFY(m_proxy->findChildren<KestProxySourcePropertyRequest *>().isEmpty());
        QCOMPARE(receiver.all(), QStringLiteral("volume 7|volume (invalid)"));

        // Setting is fire-and-forget: true even when the source refuses.
        QVERIFY(m_peer->scriptError(QStringLiteral("set_extension_property"), QStringLiteral("read-only")));
        QVERIFY(!m_proxy->setKestProperty(QString(), 9));
        QVERIFY(m_proxy->setKestProperty(volume, 9));

        // The remote property_changed becomes kestPropertyChanged; the cached value is left alone.
        const auto announce = [&] {
            QSignalSpy changed(m_proxy.get(), &KestSource::kestPropertyChanged);
            return m_peer->emitSignal(KestBusNames::sourcePath(m_uuid), KestBusNames::extensionInterface(),
                                      QStringLiteral("property_changed"), value(3))
                && changed.wait() && changed.at(0) == QVariantList{volume, 3};
        };
        QVERIFY(announce());
        QCOMPARE(m_proxy->property("volume"), QVariant(7));

        // A receiver that drops the proxy when the value arrives; the next proxy of the source
        // is the only one to hear its signals.
        QVERIFY(m_peer->scriptReply(get, value(3)));
        receiver.then = [this] { m_proxy.reset(); };
        QVERIFY(m_proxy->kestProperty(volume, &receiver, PROPERTY_SLOT));
        QTRY_VERIFY(!m_proxy);
        QVERIFY(newProxy());
        QVERIFY(announce());
    }

    void resultsReachTheReceiver_data()
    {
        QTest::addColumn<QVariantList>("batch");
        QTest::addColumn<QString>("events");
        const auto add = [](const char *name, const QVariantList &batch, const char *events) {
            QTest::newRow(name) << batch << QString::fromLatin1(events);
        };
        QByteArray song;
        DBusMessageUtil::encodeMetadataBlock({{QStringLiteral("title"), QStringLiteral("Song")}}, song);
        add("browse to its end", browseBatch({row(1, 10, "a", 0, "", song), row(0, 11, "b")}),
            "row 7 a 10 1 title=Song|row 7 b 11 0|completed|finished 7");
        add("browse left pending", browseBatch({row(2, 0, "a")}), "row 7 a 0 2|row 7 late 9 0|completed|finished 7");
        add("browse without rows", browseBatch({}), "completed|finished 7");
        add("browse ended by an error row", browseBatch({row(5, 0, "a"), row(4, 1, "", 0, "stopped"), row(3, 2, "c")}),
            "row 7 a 0 5|error 7 0 stopped");
        add("browse remote error", browseBatch({row(0, 0, "", 42, "gone")}), "error 7 42 gone");
        add("browse undecodable metadata", browseBatch({row(0, 0, "a", 0, "", "broken")}),
            "error 7 3 Error. Results contains invalid data.");
        add("browse negative count", browseBatch({row(-3, 0, "a")}), "row 7 a 0 0|completed|finished 7");
        add("browse error after its end", browseBatch({row(0, 0, "a"), row(0, 1, "", 1, "x")}),
            "row 7 a 0 0|completed|finished 7");
        // Each query row carries the number of rows after it, in this batch and in later ones.
        add("query counting down", queryBatch(5, "a;b;c"),
            "row 7 a 0 7|row 7 b 1 6|row 7 c 2 5|row 7 late 9 0|finished 7");
        add("query to its end", queryBatch(0, "d,e", 0, "", 3), "row 7 d,e 3 0|finished 7");
        add("query empty batch, rows to come", queryBatch(5, ""), "row 7 late 9 0|finished 7");
        add("query empty last batch", queryBatch(0, ""), "finished 7");
        add("query message without code", queryBatch(0, "x", 0, "odd"), "row 7 late 9 0|finished 7");
        add("query error", queryBatch(1, "b", 4, "bad"), "error 7 4 bad");
        add("query count at the top", queryBatch(INT_MAX - 1, "p;q;r"),
            "row 7 p 0 2147483647|row 7 q 1 2147483647|row 7 r 2 2147483646|row 7 late 9 0|finished 7");
        add("query negative count", queryBatch(-2, "a"), "row 7 a 0 0|finished 7");
    }

    // A batch, then a late row that reaches the receiver only if the request is still pending.
    void resultsReachTheReceiver()
    {
        QFETCH(QVariantList, batch);
        QFETCH(QString, events);
        KestReceiver receiver;
        recordEnds(receiver);
        const bool browse = batch.size() == 1;
        // A browse row that no pending browse takes is told.
        if (browse && !events.contains(QLatin1String("late")))
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("browse id not found")));
        QCOMPARE(browse ? startBrowse(7, &receiver) : startQuery(7, &receiver), 7u);
        QCOMPARE(push(7, batch), QString());
        QCOMPARE(push(7, browse ? browseBatch({row(0, 9, "late")}) : queryBatch(0, "late", 0, "", 9)), QString());
        QCOMPARE(receiver.all(), events);
    }

    void requestIds()
    {
        QVERIFY(m_peer->callsTo(QStringLiteral("get_name")).isEmpty());
        // A second proxy of the same source cannot export its receiver, and must not take the
        // first one's away when it goes.
        auto duplicate = std::make_unique<KestProxySource>(nullptr, m_uuid, Plugin, QStringLiteral("Radio"));
        QVERIFY(!duplicate->initDBusConnection());
        duplicate.reset();
        QCOMPARE(QDBusConnection::sessionBus().objectRegisteredAt(KestBusNames::proxySourcePath(m_uuid)),
                 static_cast<QObject *>(m_proxy.get()));
        // Nothing to browse for, or nobody to tell: nothing starts.
        KestReceiver receiver;
        QCOMPARE(start(true, {1u}, &receiver, {}), 0u);
        QCOMPARE(startBrowse(1, nullptr), 0u);
        QCOMPARE(startQuery(1, nullptr), 0u);
        QVERIFY(m_peer->calls().isEmpty());
        // A predicate alone is enough. A cancelled request stays until the source ends it.
        QVERIFY(m_peer->scriptReply(QStringLiteral("browse"), {8u}));
        QCOMPARE(m_proxy->browse(QString(), QStringLiteral("p"), {}, 0, 0, &receiver, BROWSE_SLOTS), 8u);
        QCOMPARE(startQuery(9, &receiver), 9u);
        m_proxy->cancelBrowse(8);
        m_proxy->cancelQuery(9);
        QCOMPARE(push(8, browseBatch({row(0, 0, "a")})), QString());
        QCOMPARE(push(9, queryBatch(0, "b")), QString());
        // A start answered without an id or with an error starts nothing, not even under id 0.
        QCOMPARE(start(true, {}, &receiver), 0u);
        QCOMPARE(start(false, {}, &receiver), 0u);
        QVERIFY(m_peer->scriptError(QStringLiteral("browse"), QStringLiteral("busy")));
        QCOMPARE(m_proxy->browse(QString(), QString(), {QStringLiteral("k")}, 0, 0, &receiver, BROWSE_SLOTS), 0u);
        QCOMPARE(push(0, browseBatch({row(0, 0, "c")})), QString());
        QCOMPARE(push(0, queryBatch(0, "d")), QString());
        // A repeated id replaces the pending request; its first receiver hears nothing more.
        KestReceiver replaced;
        QCOMPARE(startBrowse(21, &replaced), 21u);
        QCOMPARE(startBrowse(21, &receiver), 21u);
        QCOMPARE(startQuery(22, &replaced), 22u);
        QCOMPARE(startQuery(22, &receiver), 22u);
        QCOMPARE(push(21, browseBatch({row(0, 0, "e")})), QString());
        QCOMPARE(push(22, queryBatch(0, "f")), QString());
        QVERIFY(replaced.events.isEmpty());
        QCOMPARE(receiver.all(), QStringLiteral("row 8 a 0 0|row 9 b 0 0|row 21 e 0 0|row 22 f 0 0"));

        // A receiver without the slots still ends its browse.
        QObject deaf;
        QSignalSpy completed(m_proxy.get(), &KestSource::browseCompleted);
        QCOMPARE(startBrowse(24, &deaf), 24u);
        QCOMPARE(push(24, browseBatch({row(1, 0, "h"), row(0, 1, "i")})), QString());
        QCOMPARE(completed.size(), 1);
        // Once the source has left, nothing starts.
        m_peer->kill();
        QVERIFY(KestTestBus::waitForNoOwner(m_proxy->serviceName()));
        QCOMPARE(m_proxy->browse(QString(), QString(), {QStringLiteral("k")}, 0, 0, &receiver, BROWSE_SLOTS), 0u);
        QCOMPARE(m_proxy->query(QStringLiteral("q"), &receiver, QUERY_SLOTS), 0u);
    }

    // Starts that do not wait: the proxy's ids reach the receiver, also for rows that come before the answer to the
    // start, for failed and unanswered starts, and for cancels sent before the source's id is known.
    void asyncStarts()
    {
        KestReceiver receiver;
        recordEnds(receiver);
        const QString receiverPath = KestBusNames::proxySourcePath(m_uuid);
        QVERIFY(m_peer->scriptReply(QStringLiteral("browse"), {7u}));
        QVERIFY(m_peer->scriptBeforeReply(QStringLiteral("browse"), QString(), receiverPath,
                                          KestBusNames::proxySourceInterface(), QStringLiteral("browse_result"),
                                          QVariantList{7u} + browseBatch({row(1, 0, "a")})));
        const uint browseId = m_proxy->browseAsync(QString(), QString(), {QStringLiteral("k")}, 0, 0, &receiver,
                                                   BROWSE_SLOTS);
        QVERIFY(browseId != 0 && browseId != 7 && receiver.events.isEmpty());
        QVERIFY(m_peer->scriptReply(QStringLiteral("query"), {7u}));
        const uint queryId = m_proxy->queryAsync(QStringLiteral("q"), &receiver, QUERY_SLOTS);
        QVERIFY(queryId != 0 && queryId != browseId);
        QTRY_COMPARE(receiver.all(), QStringLiteral("row %1 a 0 1").arg(browseId));
        QCOMPARE(push(7, browseBatch({row(0, 1, "b")})), QString());
        QCOMPARE(push(7, queryBatch(0, "c")), QString());
        QCOMPARE(receiver.all(),
                 QStringLiteral("row %1 a 0 1|row %1 b 1 0|completed|finished %1|row %2 c 0 0|finished %2")
                     .arg(browseId)
                     .arg(queryId));

        // Cancelled before the source has answered: the cancel goes out under the source's id once it has.
        receiver.events.clear();
        QVERIFY(m_peer->scriptReply(QStringLiteral("browse"), {9u}));
        const uint cancelled = m_proxy->browseAsync(QString(), QString(), {QStringLiteral("k")}, 0, 0, &receiver,
                                                    BROWSE_SLOTS);
        m_proxy->cancelBrowse(cancelled);
        QVERIFY(m_peer->waitForCalls(QStringLiteral("cancel_browse")));
        m_proxy->cancelBrowse(cancelled);
        QVERIFY(m_peer->waitForCalls(QStringLiteral("cancel_browse"), 2));
        for (const KestRecordedCall &call : m_peer->callsTo(QStringLiteral("cancel_browse")))
            QCOMPARE(call.arguments, QVariantList{9u});

        // A start that fails, or that is not answered in time, reaches the error slot under the proxy's id.
        QVERIFY(m_peer->scriptError(QStringLiteral("browse"), QStringLiteral("busy")));
        const uint failed = m_proxy->browseAsync(QString(), QString(), {QStringLiteral("k")}, 0, 0, &receiver,
                                                 BROWSE_SLOTS);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("Starting browse %1 failed").arg(failed)));
        QTRY_COMPARE(receiver.all(), QStringLiteral("error %1 3 busy").arg(failed));
        KestShared::instance()->setReplyTimeout(300);
        const auto restore = qScopeGuard([] { KestShared::instance()->setReplyTimeout(25000); });
        QVERIFY(m_peer->scriptNoReply(QStringLiteral("query")));
        const uint unanswered = m_proxy->queryAsync(QStringLiteral("q"), &receiver, QUERY_SLOTS);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("did not answer \"query\"")));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("Starting query %1 failed").arg(unanswered)));
        QTRY_COMPARE(receiver.events.size(), 2);
        QVERIFY(receiver.events.last().startsWith(QStringLiteral("error %1 3 ").arg(unanswered)));
        // Nothing to browse for, or nobody to tell: nothing starts. Nothing of the starts is left behind.
        QCOMPARE(m_proxy->browseAsync(QString(), QString(), {}, 0, 0, &receiver, BROWSE_SLOTS), 0u);
        QCOMPARE(m_proxy->queryAsync(QStringLiteral("q"), nullptr, QUERY_SLOTS), 0u);
        QTRY_VERIFY(m_proxy->findChildren<QDBusPendingCallWatcher *>().isEmpty());
    }

    void deadReceiversAndMetadataReplies()
    {
        // Requests whose receiver is gone end silently, without browseCompleted.
        auto gone = std::make_unique<KestReceiver>();
        QSignalSpy completed(m_proxy.get(), &KestSource::browseCompleted);
        QCOMPARE(startBrowse(41, gone.get()), 41u);
        QCOMPARE(startQuery(42, gone.get()), 42u);
        gone.reset();
        QCOMPARE(push(41, browseBatch({row(1, 0, "a"), row(0, 1, "b")})), QString());
        QCOMPARE(push(42, queryBatch(0, "a")), QString());
        QCOMPARE(push(42, queryBatch(0, "", 1, "late")), QString());
        QCOMPARE(completed.size(), 0);

        // Proxies destroyed with work pending call nobody back; their receiver object is gone.
        KestReceiver receiver;
        QCOMPARE(startBrowse(51, &receiver), 51u);
        QCOMPARE(startQuery(52, &receiver), 52u);
        m_proxy.reset();
        auto source = std::make_unique<MetadataSource>(nullptr, m_uuid, Plugin, QStringLiteral("Source"));
        QVERIFY(source->initDBusConnection());
        // Get-metadata replies: malformed blocks and errors outside the source's domain end the
        // request without a call.
        KestReceiver told;
        QByteArray block;
        DBusMessageUtil::appendMetadataEntry(block, QStringLiteral("artist"), QStringLiteral("Nina"));
        DBusMessageUtil::appendMetadataEntry(block, QStringLiteral("year"), 1958);
        DBusMessageUtil::appendMetadataEntry(block, QStringLiteral("artist"), QStringLiteral("Simone"));
        const QVariantList replies{block, QByteArray("broken"), QStringLiteral("other.domain"),
                                   KestError::KEST_SOURCE_ERROR_QUARK};
        const QString member = QStringLiteral("get_metadata");
        for (int i = 0; i < replies.size(); ++i) {
            const QVariant reply = replies.at(i);
            QVERIFY(reply.userType() == QMetaType::QByteArray ? m_peer->scriptReply(member, {reply})
                                                              : m_peer->scriptError(member, reply.toString()));
            source->getMetadata(61 + i, &told);
            QTRY_COMPARE(source->replies, i + 1);
        }
        QCOMPARE(told.all(),
                 QStringLiteral("meta 61 artist,year,artist Nina,1958,Simone|meta error 64 ")
                     + KestError::KEST_SOURCE_ERROR_QUARK);
        QVERIFY(m_peer->scriptNoReply(member));
        source->getMetadata(53, &receiver);
        QVERIFY(m_peer->waitForCalls(member, replies.size() + 1));
        source.reset();
        QVERIFY(!push(51, browseBatch({row(0, 0, "a")})).isEmpty());
        QVERIFY(receiver.events.isEmpty());

        QVERIFY(newProxy());
        // The last row has ended the browse before the slot runs, so a follow-up browse that the
        // source gives the same id stays pending.
        KestReceiver actor;
        QCOMPARE(startBrowse(91, &actor), 91u);
        bool followUp = true;
        actor.then = [&] {
            if (std::exchange(followUp, false))
                QCOMPARE(startBrowse(91, &actor), 91u);
        };
        QCOMPARE(push(91, browseBatch({row(0, 0, "a")})), QString());
        QCOMPARE(push(91, browseBatch({row(0, 0, "b")})), QString());
        // A receiver that drops the proxy in the middle of a batch ends the batch there.
        QCOMPARE(startBrowse(92, &actor), 92u);
        actor.then = [this] { m_proxy.reset(); };
        QCOMPARE(push(92, browseBatch({row(1, 0, "c"), row(0, 1, "d")})), QString());
        QVERIFY(!m_proxy);
        QCOMPARE(actor.all(), QStringLiteral("row 91 a 0 0|row 91 b 0 0|row 92 c 0 1"));
    }

    void decodesBlocksFromAnIndependentEncoder()
    {
        // A source written with python3-dbus, whose metadata blocks are packed with struct.pack.
        m_proxy.reset();
        m_uuid = QStringLiteral("src%1").arg(++m_sources);
        const QString service = KestBusNames::sourceService(Plugin, m_uuid);
        QProcess python;
        python.setProcessChannelMode(QProcess::ForwardedChannels);
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(KEST_PYTHON_PEER), QStringLiteral("source"), service,
                      KestBusNames::sourcePath(m_uuid), KestBusNames::proxySourcePath(m_uuid)});
        QVERIFY(python.waitForStarted());
        QVERIFY(KestTestBus::waitForOwner(service));
        QVERIFY(newProxy());
        KestReceiver receiver;
        QCOMPARE(m_proxy->browse(QString(), QStringLiteral("p"), {}, 0, 0, &receiver, BROWSE_SLOTS), 61u);
        QCOMPARE(m_proxy->query(QStringLiteral("genre"), &receiver, QUERY_SLOTS), 62u);
        QTRY_COMPARE(receiver.all(),
                     QStringLiteral("row 61 first 0 1 bool=true char=-1 double=0.1 empty= int=-123456 "
                                    "int64=-5000000000 title=Caf\u00e9 uint=4000000000 uint64=18000000000000000000|"
                                    "row 61 last 1 0|row 62 genre,b 5 1|row 62  6 0"));
    }
};

QTEST_GUILESS_MAIN(KestProxySourceTest)
#include "tst_kestproxysource.moc"
