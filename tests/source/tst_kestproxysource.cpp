// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The source proxy against a remote source in another process: a scripted peer answers the
// proxy's calls and pushes browse and query results back to the proxy's result receiver.

#include "dbusadaptor.h"
#include "kestbusnames_p.h"
#include "kestmessagerecorder.h"
#include "kestmetadataencoder.h"
#include "kestproxysource.h"
#include "kestproxysourcenamerequest.h"
#include "kestproxysourcepropertyrequest.h"
#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <kestcontent.h>
#include <kesterror.h>

#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <climits>
#include <functional>
#include <memory>
#include <utility>

namespace {

const int Wait = 20000;
const QString Plugin = QStringLiteral("plug");
const char *const UnknownBrowseRow =
    "void KestProxySource::handlePredicateBrowseResult(uint, KestContent*, uint, int)  browse id not found!";
const char *const UnknownBrowseError =
    "void KestProxySource::handlePredicateBrowseError(uint, uint, QString)  : browse id not found!";

QString nextUuid()
{
    static int counter = 0;
    return QStringLiteral("src%1").arg(++counter);
}

KestBrowseResultDBusStruct row(int remainingCount, uint index, const QString &objectId,
                               const QByteArray &metadata = QByteArray(), uint errorCode = 0,
                               const QString &errorMessage = QString())
{
    KestBrowseResultDBusStruct result;
    result.remainingCount = remainingCount;
    result.index = index;
    result.objectId = objectId;
    result.metadata = metadata;
    result.errorDomain = errorCode ? KestError::KEST_SOURCE_ERROR_QUARK : QString();
    result.errorCode = errorCode;
    result.errorMessage = errorMessage;
    return result;
}

QVariantList browseBatch(uint browseId, const QList<KestBrowseResultDBusStruct> &rows)
{
    return {browseId, QVariant::fromValue(rows)};
}

QVariantList queryBatch(uint queryId, int remainingCount, const QList<QStringList> &rows, int errorCode = 0,
                        const QString &errorMessage = QString(), uint firstIndex = 0)
{
    QList<KestQueryResultDBusStruct> results;
    for (const QStringList &values : rows)
        results.append(KestQueryResultDBusStruct{firstIndex++, values});
    return {queryId, remainingCount, QVariant::fromValue(results), errorCode, errorMessage};
}

} // namespace

// Records every callback the proxy makes.
class Receiver : public QObject
{
    Q_OBJECT
public:
    QList<QVariantList> browseRows, browseErrors, queryRows, queryErrors, properties, metas, metaErrors;
    std::function<void()> afterBrowseRow;
    std::function<void()> afterProperty;

public Q_SLOTS:
    void onBrowseRow(uint id, const QString &objectId, const Metamap &metadata, uint index, int remaining)
    {
        browseRows.append({id, objectId, metadata, index, remaining});
        if (afterBrowseRow)
            afterBrowseRow();
    }
    void onBrowseError(uint id, uint code, const QString &message) { browseErrors.append({id, code, message}); }
    void onQueryRow(uint id, const QStringList &row, uint index, int remaining)
    {
        queryRows.append({id, row, index, remaining});
    }
    void onQueryError(uint id, int code, const QString &message) { queryErrors.append({id, code, message}); }
    void onProperty(const QString &name, const QVariant &value)
    {
        properties.append({name, value});
        if (afterProperty)
            afterProperty();
    }
    void onMeta(uint id, const QStringList &keys, const QStringList &values) { metas.append({id, keys, values}); }
    void onMetaError(uint id, const QString &message) { metaErrors.append({id, message}); }
};

#define BROWSE_SLOTS SLOT(onBrowseRow(uint, QString, Metamap, uint, int)), SLOT(onBrowseError(uint, uint, QString))
#define QUERY_SLOTS SLOT(onQueryRow(uint, QStringList, uint, int)), SLOT(onQueryError(uint, int, QString))

// A proxy that places get-metadata requests of its own, as a derived source would.
class MetadataSource : public KestProxySource
{
public:
    using KestProxySource::KestProxySource;

    void getMetadata(uint id, const QString &objectId, Receiver *receiver)
    {
        setGetMetaId(id);
        ongoingGetMetas().insert(id,
                                 new KestOngoingAction{receiver, SLOT(onMeta(uint, QStringList, QStringList)),
                                                       SLOT(onMetaError(uint, QString))});
        QDBusMessage call = QDBusMessage::createMethodCall(serviceName(), objectPath(), KestBusNames::sourceInterface(),
                                                           QStringLiteral("get_metadata"));
        call << objectId;
        auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
            finished->deleteLater();
            // An error message carries its text as the first argument.
            if (finished->isError())
                handleGetMetaError(finished->reply());
            else
                handleGetMetaResult(finished->reply());
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

    // A remote source on the bus, and a proxy for it that knows its name already.
    bool startSource(const QString &name = QStringLiteral("Source"))
    {
        m_uuid = nextUuid();
        m_peer = std::make_unique<KestTestPeer>();
        if (!m_peer->start({KestBusNames::sourceService(Plugin, m_uuid)}, {KestBusNames::sourcePath(m_uuid)}))
            return false;
        m_proxy = std::make_unique<KestProxySource>(nullptr, m_uuid, Plugin, name);
        return m_proxy->initDBusConnection();
    }

    // The peer calls the proxy's result receiver; returns once the proxy has answered.
    QVariantMap push(const QString &member, const QVariantList &arguments)
    {
        const int before = m_peer->callResults().size();
        m_peer->call(KestTestBus::uniqueName(), KestBusNames::proxySourcePath(m_uuid),
                     KestBusNames::proxySourceInterface(), member, arguments);
        if (!m_peer->waitForCallResults(before + 1, Wait))
            return {{QStringLiteral("errorName"), QStringLiteral("no answer")}};
        return m_peer->callResults().at(before);
    }

    uint startBrowse(uint scriptedId, Receiver *receiver)
    {
        m_peer->scriptReply(QStringLiteral("browse"), {scriptedId});
        return m_proxy->browse(QStringLiteral("music"), QString(), {QStringLiteral("title")}, 0, 10, receiver,
                               BROWSE_SLOTS);
    }

    uint startQuery(uint scriptedId, Receiver *receiver)
    {
        m_peer->scriptReply(QStringLiteral("query"), {scriptedId});
        return m_proxy->query(QStringLiteral("genre:jazz"), receiver, QUERY_SLOTS);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // The test plays the remote source's side of the wire too.
        qDBusRegisterMetaType<KestBrowseResultDBusStruct>();
        qDBusRegisterMetaType<QList<KestBrowseResultDBusStruct>>();
        qDBusRegisterMetaType<KestQueryResultDBusStruct>();
        qDBusRegisterMetaType<QList<KestQueryResultDBusStruct>>();
    }

    void cleanup()
    {
        m_proxy.reset();
        m_peer.reset();
    }

    void startsUpAndFetchesTheName()
    {
        QVERIFY(startSource());
        QCOMPARE(m_proxy->serviceName(), QStringLiteral("com.zorvo.kest.source.plug.") + m_uuid);
        QCOMPARE(m_proxy->objectPath(), QStringLiteral("/com/zorvo/kest/source/") + m_uuid);
        QVERIFY(m_peer->callsTo(QStringLiteral("get_name")).isEmpty()); // the name was known

        // A proxy without a name asks for it; the request is gone once answered.
        m_proxy.reset();
        QVERIFY(m_peer->scriptReply(QStringLiteral("get_name"), {QStringLiteral("Radio")}));
        m_proxy = std::make_unique<KestProxySource>(nullptr, m_uuid, Plugin, QString());
        QVERIFY(m_proxy->initDBusConnection());
        QTRY_COMPARE_WITH_TIMEOUT(m_proxy->name(), QStringLiteral("Radio"), Wait);
        QVERIFY(m_proxy->findChildren<KestProxySourceNameRequest *>().isEmpty());
        const KestRecordedCall getName = m_peer->callsTo(QStringLiteral("get_name")).constFirst();
        QCOMPARE(getName.interface, KestBusNames::extensionInterface());
        QCOMPARE(getName.path, KestBusNames::sourcePath(m_uuid));
        QCOMPARE(getName.signature, QString());

        // A second proxy of the same source cannot export its receiver, and must not take the
        // first one's away when it goes.
        QTest::ignoreMessage(QtWarningMsg, "Couldn't get name of the source!");
        auto duplicate = std::make_unique<KestProxySource>(nullptr, m_uuid, Plugin, QStringLiteral("Radio"));
        QVERIFY(!duplicate->initDBusConnection());
        duplicate.reset();
        QCOMPARE(QDBusConnection::sessionBus().objectRegisteredAt(KestBusNames::proxySourcePath(m_uuid)),
                 static_cast<QObject *>(m_proxy.get()));

        // A failing get_name is only logged; the name stays empty.
        m_proxy.reset();
        QVERIFY(m_peer->scriptError(QStringLiteral("get_name"), QStringLiteral("no name")));
        KestMessageRecorder recorder;
        m_proxy = std::make_unique<KestProxySource>(nullptr, m_uuid, Plugin, QString());
        QVERIFY(m_proxy->initDBusConnection());
        QTRY_COMPARE_WITH_TIMEOUT(recorder.messages().size(), 2, Wait);
        QCOMPARE(recorder.messages().at(0), QStringLiteral("Invoking method  \"get_name\"  failed!"));
        QVERIFY(recorder.messages().at(1).startsWith(QStringLiteral("Cause: QDBusError(")));
        QVERIFY(recorder.messages().at(1).contains(QStringLiteral("no name")));
        QCOMPARE(m_proxy->name(), QString());
        QCOMPARE(m_peer->callsTo(QStringLiteral("get_name")).size(), 2);
    }

    void readsAndWritesProperties()
    {
        QVERIFY(startSource());
        Receiver receiver;
        QString volume = QStringLiteral("volume");
        QVERIFY(m_peer->scriptReply(QStringLiteral("get_extension_property"),
                                    {volume, QVariant::fromValue(QDBusVariant(7))}));
        QVERIFY(m_proxy->kestProperty(volume, &receiver, SLOT(onProperty(QString, QVariant))));
        QTRY_COMPARE_WITH_TIMEOUT(receiver.properties.size(), 1, Wait);
        QCOMPARE(receiver.properties.at(0), (QVariantList{volume, 7}));
        QCOMPARE(m_proxy->property("volume"), QVariant(7));
        QTRY_VERIFY(m_proxy->findChildren<KestProxySourcePropertyRequest *>().isEmpty());
        const KestRecordedCall get = m_peer->callsTo(QStringLiteral("get_extension_property")).constFirst();
        QCOMPARE(get.signature, QStringLiteral("s"));
        QCOMPARE(get.arguments, QVariantList{volume});

        // A failure reaches the receiver once, as an invalid value.
        QVERIFY(m_peer->scriptError(QStringLiteral("get_extension_property"), QStringLiteral("unknown")));
        QTest::ignoreMessage(QtWarningMsg, "KestProxySourcePropertyRequest::handleError");
        QVERIFY(m_proxy->kestProperty(volume, &receiver, SLOT(onProperty(QString, QVariant))));
        QTRY_COMPARE_WITH_TIMEOUT(receiver.properties.size(), 2, Wait);
        QCOMPARE(receiver.properties.at(1), (QVariantList{volume, QVariant()}));

        // A receiver without that slot.
        QVERIFY(m_peer->scriptReply(QStringLiteral("get_extension_property"),
                                    {volume, QVariant::fromValue(QDBusVariant(1))}));
        QTest::ignoreMessage(QtCriticalMsg,
                             QRegularExpression(QStringLiteral(
                                 "^KestProxySourcePropertyRequest: Callback slot invocation failed! .*noSuchSlot")));
        QVERIFY(m_proxy->kestProperty(volume, &receiver, SLOT(noSuchSlot(QString, QVariant))));
        QTRY_VERIFY_WITH_TIMEOUT(m_proxy->findChildren<KestProxySourcePropertyRequest *>().isEmpty(), Wait);

        // A receiver that is gone before the value arrives is not called.
        auto gone = std::make_unique<Receiver>();
        QVERIFY(m_proxy->kestProperty(volume, gone.get(), SLOT(onProperty(QString, QVariant))));
        gone.reset();
        QTest::ignoreMessage(QtWarningMsg, "KestProxySourcePropertyRequest: receiver object is DESTROYED!");
        QTRY_VERIFY_WITH_TIMEOUT(m_proxy->findChildren<KestProxySourcePropertyRequest *>().isEmpty(), Wait);

        const char *incomplete =
            "Not starting kestProperty call, because missing or incomplete parameters. Please check your input.";
        QTest::ignoreMessage(QtWarningMsg, incomplete);
        QVERIFY(!m_proxy->kestProperty(volume, nullptr, SLOT(onProperty(QString, QVariant))));
        QString empty;
        QTest::ignoreMessage(QtWarningMsg, incomplete);
        QVERIFY(!m_proxy->kestProperty(empty, &receiver, SLOT(onProperty(QString, QVariant))));

        // Setting is fire-and-forget: true even when the source refuses.
        QVERIFY(m_peer->scriptError(QStringLiteral("set_extension_property"), QStringLiteral("read-only")));
        QVERIFY(m_proxy->setKestProperty(volume, 9));
        QTest::ignoreMessage(
            QtWarningMsg,
            "Not starting setKestProperty call, because missing or incomplete parameters. Please check your input.");
        QVERIFY(!m_proxy->setKestProperty(QString(), 9));
        QVERIFY(m_peer->waitForCalls(QStringLiteral("set_extension_property"), 1, Wait));
        const QList<KestRecordedCall> sets = m_peer->callsTo(QStringLiteral("set_extension_property"));
        QCOMPARE(sets.size(), 1);
        QCOMPARE(sets.at(0).signature, QStringLiteral("sv"));
        QCOMPARE(sets.at(0).arguments.at(1).value<QDBusVariant>().variant(), QVariant(9));
        QCOMPARE(m_peer->callsTo(QStringLiteral("get_extension_property")).size(), 4);

        // The remote property_changed signal becomes kestPropertyChanged.
        QSignalSpy changed(m_proxy.get(), &KestSource::kestPropertyChanged);
        QVERIFY(m_peer->emitSignal(KestBusNames::sourcePath(m_uuid), KestBusNames::extensionInterface(),
                                   QStringLiteral("property_changed"), {volume, QVariant::fromValue(QDBusVariant(7))}));
        QTRY_COMPARE_WITH_TIMEOUT(changed.size(), 1, Wait);
        QCOMPARE(changed.at(0), (QVariantList{volume, 7}));
        QCOMPARE(m_proxy->property("volume"), QVariant(1)); // the cached value is left alone
    }

    void browsesEndToEnd()
    {
        QVERIFY(startSource());
        const QByteArray first = KestMetadataEncoder()
                                     .addString(QStringLiteral("title"), QStringLiteral("Song"))
                                     .addInt(QStringLiteral("track"), 3)
                                     .addChar(QStringLiteral("rating"), -1)
                                     .addUInt64(QStringLiteral("size"), 1ull << 40)
                                     .block();
        QVERIFY(m_peer->scriptReply(QStringLiteral("browse"), {uint(7)}));
        QVERIFY(m_peer->scriptAfterCall(
            QStringLiteral("browse"), QString(), KestBusNames::proxySourcePath(m_uuid),
            KestBusNames::proxySourceInterface(), QStringLiteral("browse_result"),
            browseBatch(7, {row(1, 10, QStringLiteral("a"), first), row(0, 11, QStringLiteral("b"))})));
        Receiver receiver;
        QSignalSpy completed(m_proxy.get(), &KestSource::browseCompleted);
        QCOMPARE(m_proxy->browse(QString(), QString(), {QStringLiteral("title")}, 10, 20, &receiver, BROWSE_SLOTS), 7u);

        const KestRecordedCall browse = m_peer->callsTo(QStringLiteral("browse")).constFirst();
        QCOMPARE(browse.interface, KestBusNames::sourceInterface());
        QCOMPARE(browse.signature, QStringLiteral("ssasuu"));
        QCOMPARE(
            browse.arguments,
            (QVariantList{m_uuid + QStringLiteral("::"), QString(), QStringList{QStringLiteral("title")}, 10u, 20u}));

        QTRY_COMPARE_WITH_TIMEOUT(completed.size(), 1, Wait);
        QCOMPARE(receiver.browseRows.size(), 2);
        const Metamap metadata{{QStringLiteral("title"), QStringLiteral("Song")},
                               {QStringLiteral("track"), 3},
                               {QStringLiteral("rating"), -1},
                               {QStringLiteral("size"), QVariant(qulonglong(1) << 40)}};
        QCOMPARE(receiver.browseRows.at(0), (QVariantList{7u, QStringLiteral("a"), metadata, 10u, 1}));
        QCOMPARE(receiver.browseRows.at(1), (QVariantList{7u, QStringLiteral("b"), Metamap(), 11u, 0}));
        QCOMPARE(receiver.browseRows.at(0).at(2).toMap().value(QStringLiteral("size")).userType(),
                 int(QMetaType::ULongLong));

        // The browse is over: a third row finds nothing.
        QTest::ignoreMessage(QtCriticalMsg, UnknownBrowseRow);
        QCOMPARE(push(QStringLiteral("browse_result"), browseBatch(7, {row(0, 12, QStringLiteral("c"))}))
                     .value(QStringLiteral("errorName"))
                     .toString(),
                 QString());
        QCOMPARE(receiver.browseRows.size(), 2);
        QCOMPARE(completed.size(), 1);

        // A predicate alone is enough, and so are keys alone.
        QVERIFY(m_peer->reset());
        QVERIFY(m_peer->scriptReply(QStringLiteral("browse"), {uint(8)}));
        QCOMPARE(m_proxy->browse(QStringLiteral("x"), QStringLiteral("p"), {}, 0, 0, &receiver, BROWSE_SLOTS), 8u);

        // Cancelling is sent, and the browse stays pending until the source ends it.
        m_proxy->cancelBrowse(8);
        QVERIFY(m_peer->waitForCalls(QStringLiteral("cancel_browse"), 1, Wait));
        const KestRecordedCall cancel = m_peer->callsTo(QStringLiteral("cancel_browse")).constFirst();
        QCOMPARE(cancel.signature, QStringLiteral("u"));
        QCOMPARE(cancel.arguments, QVariantList{8u});
        push(QStringLiteral("browse_result"), browseBatch(8, {row(0, 0, QStringLiteral("last"))}));
        QCOMPARE(receiver.browseRows.size(), 3);
        QCOMPARE(completed.size(), 2);
    }

    void browseRowsWithFaults()
    {
        QVERIFY(startSource());
        Receiver receiver;
        QSignalSpy completed(m_proxy.get(), &KestSource::browseCompleted);

        // An error row ends the browse; the rows after it belong to no browse.
        QCOMPARE(startBrowse(11, &receiver), 11u);
        QTest::ignoreMessage(QtWarningMsg, "Browse result contains an error. Error code:  0");
        QTest::ignoreMessage(QtCriticalMsg, UnknownBrowseRow);
        push(QStringLiteral("browse_result"),
             browseBatch(11,
                         {row(5, 0, QStringLiteral("a")), row(4, 1, QString(), {}, 0, QStringLiteral("stopped")),
                          row(3, 2, QStringLiteral("c"))}));
        QCOMPARE(receiver.browseRows.size(), 1);
        QCOMPARE(receiver.browseErrors, (QList<QVariantList>{{11u, 0u, QStringLiteral("stopped")}}));

        // Undecodable metadata becomes an error with code 3.
        QCOMPARE(startBrowse(12, &receiver), 12u);
        QTest::ignoreMessage(QtWarningMsg, "WARNING, unsupported data type");
        QTest::ignoreMessage(QtWarningMsg, "Parsing error!");
        QTest::ignoreMessage(QtCriticalMsg, "Error. Results contains invalid data.");
        const QByteArray unsupported = KestMetadataEncoder().addHeader(QStringLiteral("f"), 56).addWord(0).block();
        push(QStringLiteral("browse_result"), browseBatch(12, {row(0, 0, QStringLiteral("a"), unsupported)}));
        QCOMPARE(receiver.browseErrors.last(),
                 (QVariantList{12u, 3u, QStringLiteral("Error. Results contains invalid data.")}));

        // A remote error code and message pass unchanged.
        QCOMPARE(startBrowse(13, &receiver), 13u);
        QTest::ignoreMessage(QtWarningMsg, "Browse result contains an error. Error code:  42");
        push(QStringLiteral("browse_result"), browseBatch(13, {row(0, 0, QString(), {}, 42, QStringLiteral("gone"))}));
        QCOMPARE(receiver.browseErrors.last(), (QVariantList{13u, 42u, QStringLiteral("gone")}));

        // Rows and errors for ids nobody asked for.
        QTest::ignoreMessage(QtCriticalMsg, UnknownBrowseRow);
        push(QStringLiteral("browse_result"), browseBatch(99, {row(0, 0, QStringLiteral("a"))}));
        QTest::ignoreMessage(QtWarningMsg, "Browse result contains an error. Error code:  1");
        QTest::ignoreMessage(QtCriticalMsg, UnknownBrowseError);
        push(QStringLiteral("browse_result"), browseBatch(99, {row(0, 0, QString(), {}, 1, QStringLiteral("x"))}));

        // A receiver without the slots is reported for every row, and the browse still ends.
        QObject deaf;
        m_peer->scriptReply(QStringLiteral("browse"), {uint(14)});
        QCOMPARE(m_proxy->browse(QStringLiteral("m"), QString(), {QStringLiteral("k")}, 0, 0, &deaf, BROWSE_SLOTS),
                 14u);
        {
            KestMessageRecorder recorder;
            push(QStringLiteral("browse_result"),
                 browseBatch(14, {row(1, 0, QStringLiteral("a")), row(0, 1, QStringLiteral("b"))}));
            const QString failed = QStringLiteral("void KestProxySource::handlePredicateBrowseResult(uint, "
                                                  "KestContent*, uint, int)  slot invocation failed!");
            QCOMPARE(recorder.take(), (QStringList{failed, failed}));
            m_peer->scriptReply(QStringLiteral("browse"), {uint(15)});
            QCOMPARE(m_proxy->browse(QStringLiteral("m"), QString(), {QStringLiteral("k")}, 0, 0, &deaf, BROWSE_SLOTS),
                     15u);
            push(QStringLiteral("browse_result"), browseBatch(15, {row(0, 0, QString(), {}, 5, QStringLiteral("x"))}));
            QCOMPARE(
                recorder.take(),
                (QStringList{QStringLiteral("Browse result contains an error. Error code:  5"),
                             QStringLiteral("KestProxySource::handlePredicateBrowseError: slot invocation failed!")}));
        }
        QTest::ignoreMessage(QtCriticalMsg, UnknownBrowseRow);
        push(QStringLiteral("browse_result"), browseBatch(14, {row(0, 0, QStringLiteral("a"))}));

        QCOMPARE(receiver.browseRows.size(), 1);
        QCOMPARE(receiver.browseErrors.size(), 3);
        QCOMPARE(completed.size(), 1); // the deaf receiver's first browse
    }

    void browseStartFaults()
    {
        QVERIFY(startSource());
        Receiver receiver;
        const char *cannot = "Error: Cannot initate browse! Invalid arguments or result receiver is NULL!";

        QTest::ignoreMessage(QtWarningMsg, "Metadata keys for browse has not been set!");
        QTest::ignoreMessage(QtWarningMsg, cannot);
        QCOMPARE(m_proxy->browse(QStringLiteral("m"), QString(), {}, 0, 0, &receiver, BROWSE_SLOTS), 0u);
        QTest::ignoreMessage(QtWarningMsg, cannot);
        QCOMPARE(m_proxy->browse(QStringLiteral("m"), QString(), {QStringLiteral("k")}, 0, 0, nullptr, BROWSE_SLOTS),
                 0u);
        QVERIFY(m_peer->callsTo(QStringLiteral("browse")).isEmpty());

        // A start reply without an id starts nothing: rows for id 0 find no browse.
        QVERIFY(m_peer->scriptReply(QStringLiteral("browse")));
        QCOMPARE(m_proxy->browse(QStringLiteral("m"), QString(), {QStringLiteral("k")}, 0, 0, &receiver, BROWSE_SLOTS),
                 0u);
        QCOMPARE(m_peer->callsTo(QStringLiteral("browse")).size(), 1);
        QTest::ignoreMessage(QtCriticalMsg, UnknownBrowseRow);
        push(QStringLiteral("browse_result"), browseBatch(0, {row(0, 0, QStringLiteral("a"))}));
        QVERIFY(receiver.browseRows.isEmpty());

        // An error reply starts nothing either.
        QVERIFY(m_peer->scriptError(QStringLiteral("browse"), QStringLiteral("busy")));
        QCOMPARE(m_proxy->browse(QStringLiteral("m"), QString(), {QStringLiteral("k")}, 0, 0, &receiver, BROWSE_SLOTS),
                 0u);

        // A repeated id replaces the pending browse; its first receiver is never called again.
        Receiver replaced;
        QCOMPARE(startBrowse(21, &replaced), 21u);
        QTest::ignoreMessage(QtWarningMsg,
                             "KestProxySource::browse. There was ongoing browse with same id, replacing it.");
        QCOMPARE(startBrowse(21, &receiver), 21u);
        push(QStringLiteral("browse_result"), browseBatch(21, {row(0, 0, QStringLiteral("a"))}));
        QVERIFY(replaced.browseRows.isEmpty());
        QCOMPARE(receiver.browseRows.size(), 1);
    }

    void browseStartTimesOut()
    {
        QVERIFY(startSource());
        Receiver receiver;
        QVERIFY(m_peer->scriptNoReply(QStringLiteral("browse")));
        QCOMPARE(m_proxy->browse(QStringLiteral("m"), QString(), {QStringLiteral("k")}, 0, 0, &receiver, BROWSE_SLOTS),
                 0u);
        // Nothing was recorded, not even under id 0.
        QTest::ignoreMessage(QtCriticalMsg, UnknownBrowseRow);
        push(QStringLiteral("browse_result"), browseBatch(0, {row(0, 0, QStringLiteral("a"))}));
        QVERIFY(receiver.browseRows.isEmpty());
    }

    void queriesInSeveralBatches()
    {
        QVERIFY(startSource());
        Receiver receiver;
        QCOMPARE(startQuery(31, &receiver), 31u);
        const KestRecordedCall query = m_peer->callsTo(QStringLiteral("query")).constFirst();
        QCOMPARE(query.interface, KestBusNames::sourceInterface());
        QCOMPARE(query.signature, QStringLiteral("s"));
        QCOMPARE(query.arguments, QVariantList{QStringLiteral("genre:jazz")});

        // Each row carries the number of rows after it, this batch's and the later ones.
        push(QStringLiteral("query_result"),
             queryBatch(31, 5, {{QStringLiteral("a")}, {QStringLiteral("b")}, {QStringLiteral("c")}}));
        QCOMPARE(receiver.queryRows,
                 (QList<QVariantList>{{31u, QStringList{QStringLiteral("a")}, 0u, 7},
                                      {31u, QStringList{QStringLiteral("b")}, 1u, 6},
                                      {31u, QStringList{QStringLiteral("c")}, 2u, 5}}));
        // Empty batches and batches with only a message deliver nothing and end nothing.
        push(QStringLiteral("query_result"), queryBatch(31, 5, {}));
        push(QStringLiteral("query_result"), queryBatch(31, 0, {{QStringLiteral("x")}}, 0, QStringLiteral("odd")));
        QCOMPARE(receiver.queryRows.size(), 3);

        m_proxy->cancelQuery(31);
        QVERIFY(m_peer->waitForCalls(QStringLiteral("cancel_query"), 1, Wait));
        QCOMPARE(m_peer->callsTo(QStringLiteral("cancel_query")).constFirst().arguments, QVariantList{31u});

        push(QStringLiteral("query_result"),
             queryBatch(31, 0, {{QStringLiteral("d"), QStringLiteral("e")}}, 0, QString(), 3));
        QCOMPARE(receiver.queryRows.last(),
                 (QVariantList{31u, QStringList{QStringLiteral("d"), QStringLiteral("e")}, 3u, 0}));
        push(QStringLiteral("query_result"), queryBatch(31, 0, {{QStringLiteral("late")}}));
        QCOMPARE(receiver.queryRows.size(), 4); // over: later batches find nothing

        // An error batch delivers only the error, with the remote code and message.
        QCOMPARE(startQuery(32, &receiver), 32u);
        push(QStringLiteral("query_result"), queryBatch(32, 2, {{QStringLiteral("a")}}));
        push(QStringLiteral("query_result"), queryBatch(32, 1, {{QStringLiteral("b")}}, 4, QStringLiteral("bad")));
        QCOMPARE(receiver.queryErrors, (QList<QVariantList>{{32u, 4, QStringLiteral("bad")}}));
        QCOMPARE(receiver.queryRows.size(), 5);
        push(QStringLiteral("query_result"), queryBatch(32, 0, {}, 4, QStringLiteral("again")));
        QCOMPARE(receiver.queryErrors.size(), 1);

        // A repeated id replaces; a null receiver or a reply without an id starts nothing.
        Receiver replaced;
        QCOMPARE(startQuery(33, &replaced), 33u);
        QTest::ignoreMessage(QtWarningMsg,
                             "KestProxySource::query. There was ongoing query with same id, replacing it.");
        QCOMPARE(startQuery(33, &receiver), 33u);
        push(QStringLiteral("query_result"), queryBatch(33, 0, {{QStringLiteral("z")}}));
        QVERIFY(replaced.queryRows.isEmpty());
        QCOMPARE(receiver.queryRows.size(), 6);

        QTest::ignoreMessage(QtWarningMsg, "Not starting query, because no receiver given.");
        QCOMPARE(m_proxy->query(QStringLiteral("q"), nullptr, QUERY_SLOTS), 0u);
        QVERIFY(m_peer->scriptReply(QStringLiteral("query")));
        QCOMPARE(m_proxy->query(QStringLiteral("q"), &receiver, QUERY_SLOTS), 0u);
        push(QStringLiteral("query_result"), queryBatch(0, 0, {{QStringLiteral("none")}}));
        QCOMPARE(receiver.queryRows.size(), 6);

        // A remaining count near the top of the range does not overflow for the rows before the last.
        QCOMPARE(startQuery(34, &receiver), 34u);
        push(QStringLiteral("query_result"),
             queryBatch(34, INT_MAX - 1, {{QStringLiteral("p")}, {QStringLiteral("q")}, {QStringLiteral("r")}}));
        QCOMPARE(receiver.queryRows.size(), 9);
        QCOMPARE(receiver.queryRows.at(6).at(3).toInt(), INT_MAX);
        QCOMPARE(receiver.queryRows.at(8).at(3).toInt(), INT_MAX - 1);

        // A receiver without the slots is reported for every row.
        QObject deaf;
        QVERIFY(m_peer->scriptReply(QStringLiteral("query"), {35u}));
        QCOMPARE(m_proxy->query(QStringLiteral("q"), &deaf, QUERY_SLOTS), 35u);
        KestMessageRecorder recorder;
        push(QStringLiteral("query_result"), queryBatch(35, 0, {{QStringLiteral("a")}, {QStringLiteral("b")}}));
        const QString failed = QStringLiteral("KestProxySource::handleQueryResult: slot invocation failed!");
        QCOMPARE(recorder.take(), (QStringList{failed, failed}));
    }

    void receiversDestroyedMidway()
    {
        QVERIFY(startSource());
        auto receiver = std::make_unique<Receiver>();
        QSignalSpy completed(m_proxy.get(), &KestSource::browseCompleted);
        QCOMPARE(startBrowse(41, receiver.get()), 41u);
        QCOMPARE(startQuery(42, receiver.get()), 42u);
        push(QStringLiteral("browse_result"), browseBatch(41, {row(2, 0, QStringLiteral("a"))}));
        QCOMPARE(receiver->browseRows.size(), 1);
        receiver.reset();

        const char *gone = "KestProxySource::handlePredicateBrowseResult: receiver object is DESTROYED!";
        QTest::ignoreMessage(QtWarningMsg, gone);
        QTest::ignoreMessage(QtWarningMsg, gone);
        push(QStringLiteral("browse_result"),
             browseBatch(41, {row(1, 1, QStringLiteral("b")), row(0, 2, QStringLiteral("c"))}));
        QCOMPARE(completed.size(), 0);
        QTest::ignoreMessage(QtCriticalMsg, UnknownBrowseRow); // dropped with its last row
        push(QStringLiteral("browse_result"), browseBatch(41, {row(0, 3, QStringLiteral("d"))}));

        QTest::ignoreMessage(QtWarningMsg, "KestProxySource::handleQueryResult: receiver object is DESTROYED!");
        push(QStringLiteral("query_result"), queryBatch(42, 0, {{QStringLiteral("a")}}));
        push(QStringLiteral("query_result"), queryBatch(42, 0, {{QStringLiteral("b")}})); // gone: silent
    }

    void receiverActsFromItsSlot()
    {
        // A receiver that drops the proxy when a property arrives.
        QVERIFY(startSource());
        Receiver receiver;
        QString volume = QStringLiteral("volume");
        QVERIFY(m_peer->scriptReply(QStringLiteral("get_extension_property"),
                                    {volume, QVariant::fromValue(QDBusVariant(3))}));
        receiver.afterProperty = [this] { m_proxy.reset(); };
        QVERIFY(m_proxy->kestProperty(volume, &receiver, SLOT(onProperty(QString, QVariant))));
        QTRY_VERIFY_WITH_TIMEOUT(!m_proxy, Wait);
        QCOMPARE(receiver.properties.size(), 1);
        receiver.afterProperty = nullptr;

        QVERIFY(startSource());
        QSignalSpy completed(m_proxy.get(), &KestSource::browseCompleted);

        // The last row has ended the browse before the slot runs, so a follow-up browse that
        // the source gives the same id stays pending.
        QCOMPARE(startBrowse(91, &receiver), 91u);
        bool followUp = true;
        receiver.afterBrowseRow = [&] {
            if (std::exchange(followUp, false))
                QCOMPARE(startBrowse(91, &receiver), 91u);
        };
        push(QStringLiteral("browse_result"), browseBatch(91, {row(0, 0, QStringLiteral("a"))}));
        QCOMPARE(completed.size(), 1);
        push(QStringLiteral("browse_result"), browseBatch(91, {row(0, 0, QStringLiteral("b"))}));
        QCOMPARE(receiver.browseRows.size(), 2);
        QCOMPARE(completed.size(), 2);

        // A receiver that drops the proxy in the middle of a batch ends the batch there.
        QCOMPARE(startBrowse(92, &receiver), 92u);
        receiver.afterBrowseRow = [this] { m_proxy.reset(); };
        push(QStringLiteral("browse_result"),
             browseBatch(92, {row(1, 0, QStringLiteral("a")), row(0, 1, QStringLiteral("b"))}));
        QVERIFY(!m_proxy);
        QCOMPARE(receiver.browseRows.size(), 3);
    }

    void proxyDestroyedWithPendingWork()
    {
        QVERIFY(startSource());
        Receiver receiver;
        QCOMPARE(startBrowse(51, &receiver), 51u);
        QCOMPARE(startBrowse(52, &receiver), 52u);
        QCOMPARE(startQuery(53, &receiver), 53u);
        m_proxy.reset();

        auto source = std::make_unique<MetadataSource>(nullptr, m_uuid, Plugin, QStringLiteral("Source"));
        QVERIFY(source->initDBusConnection());
        QVERIFY(m_peer->scriptNoReply(QStringLiteral("get_metadata")));
        source->getMetadata(54, QStringLiteral("a"), &receiver);
        QVERIFY(m_peer->waitForCalls(QStringLiteral("get_metadata"), 1, Wait));
        source.reset();

        // The receiver object has left the bus with its proxy; nobody is called back.
        const QVariantMap answer = push(QStringLiteral("browse_result"),
                                        browseBatch(51, {row(0, 0, QStringLiteral("a"))}));
        QVERIFY(!answer.value(QStringLiteral("errorName")).toString().isEmpty());
        QVERIFY(receiver.browseRows.isEmpty() && receiver.browseErrors.isEmpty());
        QVERIFY(receiver.queryRows.isEmpty() && receiver.metas.isEmpty() && receiver.metaErrors.isEmpty());
    }

    void getMetadataReplies()
    {
        QVERIFY(startSource());
        m_proxy.reset();
        MetadataSource source(nullptr, m_uuid, Plugin, QStringLiteral("Source"));
        QVERIFY(source.initDBusConnection());
        Receiver receiver;

        const QByteArray block = KestMetadataEncoder()
                                     .addString(QStringLiteral("artist"), QStringLiteral("Nina"))
                                     .addInt(QStringLiteral("year"), 1958)
                                     .addString(QStringLiteral("artist"), QStringLiteral("Simone"))
                                     .block();
        QVERIFY(m_peer->scriptReply(QStringLiteral("get_metadata"), {block}));
        source.getMetadata(61, QStringLiteral("a"), &receiver);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.metas.size(), 1, Wait);
        QCOMPARE(receiver.metas.at(0),
                 (QVariantList{61u,
                               QStringList{QStringLiteral("artist"), QStringLiteral("year"), QStringLiteral("artist")},
                               QStringList{QStringLiteral("Nina"), QStringLiteral("1958"), QStringLiteral("Simone")}}));

        // A malformed block ends the request without a call.
        KestMessageRecorder recorder;
        QVERIFY(m_peer->scriptReply(QStringLiteral("get_metadata"), {QByteArray("broken")}));
        source.getMetadata(62, QStringLiteral("a"), &receiver);
        QTRY_VERIFY_WITH_TIMEOUT(
            recorder.messages().contains(QStringLiteral("KestProxySource could not parse get meta results!")), Wait);
        QCOMPARE(recorder.take().first(), QStringLiteral("String can not be extracted."));

        // Errors in the source's domain reach the error slot; others are refused.
        QVERIFY(m_peer->scriptError(QStringLiteral("get_metadata"), KestError::KEST_SOURCE_ERROR_QUARK));
        source.getMetadata(63, QStringLiteral("a"), &receiver);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.metaErrors.size(), 1, Wait);
        QCOMPARE(receiver.metaErrors.at(0), (QVariantList{63u, KestError::KEST_SOURCE_ERROR_QUARK}));
        QVERIFY(m_peer->scriptError(QStringLiteral("get_metadata"), QStringLiteral("other.domain")));
        source.getMetadata(64, QStringLiteral("a"), &receiver);
        QTRY_COMPARE_WITH_TIMEOUT(recorder.messages(),
                                  QStringList{QStringLiteral("Invalid quark received in ProxySource")}, Wait);
        QCOMPARE(receiver.metas.size(), 1);
        QCOMPARE(receiver.metaErrors.size(), 1);
    }

    void refusesResultsWithTheWrongSignature()
    {
        QVERIFY(startSource());
        Receiver receiver;
        QCOMPARE(startBrowse(71, &receiver), 71u);
        QCOMPARE(startQuery(72, &receiver), 72u);
        QVERIFY(!push(QStringLiteral("browse_result"), {71u, QStringLiteral("junk")})
                     .value(QStringLiteral("errorName"))
                     .toString()
                     .isEmpty());
        QVERIFY(!push(QStringLiteral("browse_result"), {71u}).value(QStringLiteral("errorName")).toString().isEmpty());
        QVERIFY(!push(QStringLiteral("query_result"), {72u, 0, QStringList()})
                     .value(QStringLiteral("errorName"))
                     .toString()
                     .isEmpty());
        QVERIFY(receiver.browseRows.isEmpty() && receiver.browseErrors.isEmpty() && receiver.queryRows.isEmpty());

        // Both requests are still pending.
        push(QStringLiteral("browse_result"), browseBatch(71, {row(0, 0, QStringLiteral("a"))}));
        push(QStringLiteral("query_result"), queryBatch(72, 0, {{QStringLiteral("a")}}));
        QCOMPARE(receiver.browseRows.size(), 1);
        QCOMPARE(receiver.queryRows.size(), 1);
    }

    void sourceExitsMidBrowse()
    {
        QVERIFY(startSource());
        Receiver receiver;
        QSignalSpy completed(m_proxy.get(), &KestSource::browseCompleted);
        QVERIFY(m_peer->scriptReply(QStringLiteral("browse"), {uint(81)}));
        QVERIFY(m_peer->scriptAfterCall(QStringLiteral("browse"), QString(), KestBusNames::proxySourcePath(m_uuid),
                                        KestBusNames::proxySourceInterface(), QStringLiteral("browse_result"),
                                        browseBatch(81, {row(3, 0, QStringLiteral("a"))})));
        QCOMPARE(m_proxy->browse(QString(), QString(), {QStringLiteral("k")}, 0, 4, &receiver, BROWSE_SLOTS), 81u);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.browseRows.size(), 1, Wait);

        m_peer->kill();
        QVERIFY(KestTestBus::waitForNoOwner(m_proxy->serviceName()));
        // The source is gone: nothing starts, and the pending browse just waits for the proxy's end.
        QCOMPARE(m_proxy->browse(QString(), QString(), {QStringLiteral("k")}, 0, 4, &receiver, BROWSE_SLOTS), 0u);
        QCOMPARE(m_proxy->query(QStringLiteral("q"), &receiver, QUERY_SLOTS), 0u);
        m_proxy->cancelBrowse(81);
        QCOMPARE(receiver.browseRows.size(), 1);
        QVERIFY(receiver.browseErrors.isEmpty());
        QCOMPARE(completed.size(), 0);
    }

    void decodesBlocksFromAnIndependentEncoder()
    {
        // A remote source written with python3-dbus, whose blocks are packed with struct.pack.
        m_uuid = nextUuid();
        const QString service = KestBusNames::sourceService(Plugin, m_uuid);
        QProcess python;
        python.setProcessChannelMode(QProcess::ForwardedChannels);
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(KEST_SOURCE_TEST_DIR "/kestpythonsource.py"), service,
                      KestBusNames::sourcePath(m_uuid), KestBusNames::proxySourcePath(m_uuid)});
        QVERIFY(python.waitForStarted());
        QVERIFY(KestTestBus::waitForOwner(service));

        m_proxy = std::make_unique<KestProxySource>(nullptr, m_uuid, Plugin, QStringLiteral("Python"));
        QVERIFY(m_proxy->initDBusConnection());
        Receiver receiver;
        QSignalSpy completed(m_proxy.get(), &KestSource::browseCompleted);
        QCOMPARE(m_proxy->browse(QString(), QStringLiteral("pred"), {QStringLiteral("title"), QStringLiteral("size")},
                                 3, 4, &receiver, BROWSE_SLOTS),
                 61u);
        QTRY_COMPARE_WITH_TIMEOUT(completed.size(), 1, Wait);
        QCOMPARE(receiver.browseRows.size(), 2);

        // The row's object id echoes what python received of the browse call.
        const QVariantList first = receiver.browseRows.at(0);
        QCOMPARE(first.at(1).toString(), m_uuid + QStringLiteral(":: pred title,size 3 4"));
        const Metamap metadata = first.at(2).toMap();
        const Metamap expected{{QStringLiteral("char"), -1},
                               {QStringLiteral("bool"), true},
                               {QStringLiteral("int"), -123456},
                               {QStringLiteral("uint"), 4000000000u},
                               {QStringLiteral("int64"), qlonglong(-5000000000ll)},
                               {QStringLiteral("uint64"), qulonglong(18000000000000000000ull)},
                               {QStringLiteral("double"), 0.1},
                               {QStringLiteral("title"), QStringLiteral("Caf\u00e9")},
                               {QStringLiteral("empty"), QString()}};
        QCOMPARE(metadata, expected);
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(metadata.value(it.key()).userType(), it.value().userType());
        QCOMPARE(receiver.browseRows.at(1), (QVariantList{61u, QStringLiteral("last"), Metamap(), 1u, 0}));

        QCOMPARE(m_proxy->query(QStringLiteral("genre"), &receiver, QUERY_SLOTS), 62u);
        QTRY_COMPARE_WITH_TIMEOUT(receiver.queryRows.size(), 2, Wait);
        QCOMPARE(receiver.queryRows.at(0),
                 (QVariantList{62u, QStringList{QStringLiteral("genre"), QStringLiteral("b")}, 5u, 1}));
        QCOMPARE(receiver.queryRows.at(1), (QVariantList{62u, QStringList(), 6u, 0}));

        python.kill();
        python.waitForFinished();
    }
};

QTEST_GUILESS_MAIN(KestProxySourceTest)
#include "tst_kestproxysource.moc"
