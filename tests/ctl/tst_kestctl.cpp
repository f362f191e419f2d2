// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// kest-ctl run as a program against peer processes on the test bus.
//
// Faults to catch: a usage error that touches the bus or ends with the wrong status; text or JSON
// output that loses, misnames or mistypes a value; arguments that reach a component changed; a
// remote error, a silent component or one that leaves that is not told apart (1, 4, 3); a silent
// component that costs more than --timeout; an interrupted or timed-out browse that is not
// cancelled on the source; monitor events that are missed, misnamed or not flushed at once.

#include "kestmetadataencoder.h"
#include "kesttestbus.h"
#include "kesttestpeer.h"

#include "kestbusnames_p.h"
#include <qkest-shared/kestbrowseresultdbusstruct.h>
#include <qkest-shared/kestmediainfodbus.h>
#include <qkest-shared/kestqueryresultdbusstruct.h>

#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <functional>
#include <memory>

using Script = std::function<bool(KestTestPeer &)>;
Q_DECLARE_METATYPE(Script)

namespace {

const QString Plugin = QStringLiteral("p1");

struct Run
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

QProcessEnvironment ctlEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The tests switch the library's traces on; in kest-ctl they would fill standard error.
    environment.remove(QStringLiteral("QT_LOGGING_RULES"));
    return environment;
}

void startCtl(QProcess &process, const QStringList &arguments,
              const QProcessEnvironment &environment = ctlEnvironment())
{
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(KEST_CTL_PROGRAM), arguments);
}

Run runCtl(const QStringList &arguments, const QProcessEnvironment &environment = ctlEnvironment())
{
    QProcess process;
    startCtl(process, arguments, environment);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return Run();
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// A JSON document, or JSON Lines as the array of their records.
QJsonValue parseJson(const QByteArray &output)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(output, &error);
    if (error.error == QJsonParseError::NoError)
        return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    QJsonArray records;
    const QList<QByteArray> lines = output.split('\n');
    for (const QByteArray &line : lines) {
        const QJsonDocument record = QJsonDocument::fromJson(line, &error);
        if (!line.isEmpty() && (error.error != QJsonParseError::NoError || !record.isObject()))
            return QJsonValue(QJsonValue::Undefined);
        if (!line.isEmpty())
            records.append(record.object());
    }
    return records;
}

// What a peer was asked, as "member signature", leaving out the proxies' requests for names.
QStringList callsOf(const KestTestPeer &peer)
{
    QStringList calls;
    const QList<KestRecordedCall> recorded = peer.calls();
    for (const KestRecordedCall &call : recorded) {
        if (call.member != QLatin1String("get_name"))
            calls << call.member + QLatin1Char(' ') + call.signature;
    }
    return calls;
}

bool startComponent(KestTestPeer &peer, const QString &service, const QString &path, const QString &name)
{
    return peer.start({service}, {path}) && peer.scriptReply(QStringLiteral("get_name"), {name});
}

Script none()
{
    return [](KestTestPeer &) { return true; };
}

Script reply(const QString &member, const QVariantList &arguments)
{
    return [=](KestTestPeer &peer) { return peer.scriptReply(member, arguments); };
}

Script error(const QString &member, const QString &text)
{
    return [=](KestTestPeer &peer) { return peer.scriptError(member, text); };
}

Script silent(const QString &member)
{
    return [=](KestTestPeer &peer) { return peer.scriptNoReply(member); };
}

Script leave(const QString &member)
{
    return [=](KestTestPeer &peer) { return peer.scriptExit(member); };
}

// The source answers \a member with \a id and then delivers \a results to the caller's proxy.
Script results(const QString &member, uint id, const QString &resultMember, const QVariantList &results)
{
    return [=](KestTestPeer &peer) {
        return peer.scriptReply(member, {id})
            && peer.scriptAfterCall(member, QString(), KestBusNames::proxySourcePath(QStringLiteral("s1")),
                                    KestBusNames::proxySourceInterface(), resultMember, results);
    };
}

QVariantList browseBatch(uint browseId, const QList<KestBrowseResultDBusStruct> &rows)
{
    return {browseId, QVariant::fromValue(rows)};
}

KestBrowseResultDBusStruct row(int remainingCount, uint index, const QString &objectId, const QString &title,
                               uint errorCode = 0, const QString &errorMessage = QString())
{
    KestBrowseResultDBusStruct result;
    result.remainingCount = remainingCount;
    result.index = index;
    result.objectId = objectId;
    if (!title.isEmpty())
        result.metadata = KestMetadataEncoder()
                              .addString(QStringLiteral("title"), title)
                              .addUInt(QStringLiteral("track"), index + 1)
                              .block();
    result.errorCode = errorCode;
    result.errorMessage = errorMessage;
    return result;
}

QVariantList queryBatch(uint queryId, const QList<QStringList> &rows, int errorCode = 0,
                        const QString &errorMessage = QString())
{
    QList<KestQueryResultDBusStruct> results;
    for (const QStringList &values : rows)
        results.append(KestQueryResultDBusStruct{uint(results.size()), values});
    return {queryId, 0, QVariant::fromValue(results), errorCode, errorMessage};
}

QVariant mediaInfo()
{
    KestMediaInfo info(QStringLiteral("m1"));
    info.setMetaData({{QStringLiteral("title"), {QStringLiteral("Tide")}},
                      {QStringLiteral("artist"), {QStringLiteral("A"), QStringLiteral("B")}}});
    return QVariant::fromValue(info);
}

QVariant variant(const QVariant &value)
{
    return QVariant::fromValue(QDBusVariant(value));
}

} // namespace

class KestCtlTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        qDBusRegisterMetaType<KestBrowseResultDBusStruct>();
        qDBusRegisterMetaType<QList<KestBrowseResultDBusStruct>>();
        qDBusRegisterMetaType<KestQueryResultDBusStruct>();
        qDBusRegisterMetaType<QList<KestQueryResultDBusStruct>>();
        qDBusRegisterMetaType<KestMediaInfo>();
        QVERIFY(m_publisher.start());
    }

    void usage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");

        QTest::newRow("no command") << QStringList() << QStringLiteral("no command given");
        QTest::newRow("unknown command") << QStringList{QStringLiteral("start")} << QStringLiteral("unknown command");
        QTest::newRow("unknown option") << QStringList{QStringLiteral("list"), QStringLiteral("--fast")}
                                        << QStringLiteral("fast");
        QTest::newRow("timeout not a number")
            << QStringList{QStringLiteral("--timeout"), QStringLiteral("soon"), QStringLiteral("list")}
            << QStringLiteral("--timeout");
        QTest::newRow("unknown kind") << QStringList{QStringLiteral("list"), QStringLiteral("things")}
                                      << QStringLiteral("not \"things\"");
        QTest::newRow("uuid with a dot") << QStringList{QStringLiteral("renderer"), QStringLiteral("a.b"),
                                                        QStringLiteral("status")}
                                         << QStringLiteral("\"a.b\" is not a valid bus name element");
        QTest::newRow("position not a number") << QStringList{QStringLiteral("renderer"), QStringLiteral("r1"),
                                                              QStringLiteral("seek"), QStringLiteral("later")}
                                               << QStringLiteral("position \"later\" is not a number");
        QTest::newRow("negative index") << QStringList{QStringLiteral("renderer"), QStringLiteral("r1"),
                                                       QStringLiteral("goto"), QStringLiteral("-1")}
                                        << QStringLiteral("index \"-1\" is not a number of 0 or more");
        QTest::newRow("unknown seek mode")
            << QStringList{QStringLiteral("renderer"), QStringLiteral("r1"), QStringLiteral("seek"),
                           QStringLiteral("5"), QStringLiteral("sideways")}
            << QStringLiteral("none of absolute, relative");
        QTest::newRow("too many arguments") << QStringList{QStringLiteral("renderer"), QStringLiteral("r1"),
                                                           QStringLiteral("stop"), QStringLiteral("now")}
                                            << QStringLiteral("wrong number of arguments for renderer stop");
        QTest::newRow("option of another command")
            << QStringList{QStringLiteral("renderer"), QStringLiteral("r1"), QStringLiteral("status"),
                           QStringLiteral("--keys"), QStringLiteral("a")}
            << QStringLiteral("--keys does not apply here");
        QTest::newRow("browse for nothing") << QStringList{QStringLiteral("source"), QStringLiteral("s1"),
                                                           QStringLiteral("browse"), QStringLiteral("o")}
                                            << QStringLiteral("needs --keys or --predicate");
        QTest::newRow("no events") << QStringList{QStringLiteral("monitor"), QStringLiteral("--count"),
                                                  QStringLiteral("0")}
                                   << QStringLiteral("--count");
        QTest::newRow("unknown playlist command")
            << QStringList{QStringLiteral("playlist"), QStringLiteral("p1"), QStringLiteral("clear")}
            << QStringLiteral("playlist ID show");
    }

    void usage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        // Were the bus touched first, this address would end it with another status.
        QProcessEnvironment noBus = ctlEnvironment();
        noBus.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent/bus"));
        const Run run = runCtl(arguments, noBus);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(message.toUtf8()), run.err);
        QVERIFY(run.err.contains("Try 'kest-ctl --help'"));
        QCOMPARE(run.out, QByteArray());
    }

    void helpAndVersion()
    {
        const Run help = runCtl({QStringLiteral("--help")});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains("renderer UUID play [URL [POSITION]]"));
        const Run version = runCtl({QStringLiteral("--version")});
        QCOMPARE(version.status, 0);
        QVERIFY2(version.out.startsWith("kest-ctl 0."), version.out);
    }

    void absentComponents_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");

        QTest::newRow("renderer") << QStringList{QStringLiteral("renderer"), QStringLiteral("r9"),
                                                 QStringLiteral("stop")}
                                  << QStringLiteral("renderer r9: not on the bus");
        QTest::newRow("source") << QStringList{QStringLiteral("source"), QStringLiteral("s9"), QStringLiteral("query"),
                                               QStringLiteral("q")}
                                << QStringLiteral("source s9: not on the bus");
        QTest::newRow("playlist") << QStringList{QStringLiteral("playlist"), QStringLiteral("p9"),
                                                 QStringLiteral("show")}
                                  << QStringLiteral("playlist p9: not on the bus");
        QTest::newRow("plugin") << QStringList{QStringLiteral("plugin"), QStringLiteral("p9"),
                                               QStringLiteral("activate")}
                                << QStringLiteral("plugin p9: neither on the bus nor activatable");
    }

    void absentComponents()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run run = runCtl(arguments);
        QCOMPARE(run.status, 3);
        QCOMPARE(QString::fromUtf8(run.err), QStringLiteral("kest-ctl: ") + message + QLatin1Char('\n'));
    }

    void renderer_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Script>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QVariantList>("sent");

        const QString getProperty = QStringLiteral("get_extension_property");
        QTest::newRow("play from a position")
            << QStringList{QStringLiteral("play"), QStringLiteral("file:///music/a.ogg"), QStringLiteral("5")} << none()
            << 0 << QString() << QString() << QByteArray() << QStringList{QStringLiteral("play_uri su")}
            << QVariantList{QStringLiteral("file:///music/a.ogg"), 5u};
        QTest::newRow("play a file from the start")
            << QStringList{QStringLiteral("play"), QStringLiteral("/music/b c.ogg")} << none() << 0 << QString()
            << QString() << QByteArray() << QStringList{QStringLiteral("play_uri su")}
            << QVariantList{QStringLiteral("file:///music/b%20c.ogg"), 0u};
        QTest::newRow("seek back") << QStringList{QStringLiteral("seek"), QStringLiteral("-1500"),
                                                  QStringLiteral("relative")}
                                   << none() << 0 << QString() << QString() << QByteArray()
                                   << QStringList{QStringLiteral("set_position ii")} << QVariantList{-1500, 1};
        QTest::newRow("seek in the first mode")
            << QStringList{QStringLiteral("seek"), QStringLiteral("200")} << none() << 0 << QString() << QString()
            << QByteArray() << QStringList{QStringLiteral("set_position ii")} << QVariantList{200, 0};
        QTest::newRow("goto") << QStringList{QStringLiteral("goto"), QStringLiteral("3")} << none() << 0 << QString()
                              << QString() << QByteArray() << QStringList{QStringLiteral("goto_index u")}
                              << QVariantList{3u};
        QTest::newRow("refused") << QStringList{QStringLiteral("pause")}
                                 << error(QStringLiteral("pause"), QStringLiteral("7:no media loaded")) << 1
                                 << QString() << QStringLiteral("renderer r1: pause failed: 7:no media loaded")
                                 << QByteArray() << QStringList{QStringLiteral("pause ")} << QVariantList();
        // An error whose text starts like the library's success notice is still an error.
        QTest::newRow("refused with code 0")
            << QStringList{QStringLiteral("stop")} << error(QStringLiteral("stop"), QStringLiteral("0:busy")) << 1
            << QString() << QStringLiteral("renderer r1: stop failed: 0:busy") << QByteArray()
            << QStringList{QStringLiteral("stop ")} << QVariantList();
        QTest::newRow("status")
            << QStringList{QStringLiteral("status")}
            << reply(QStringLiteral("get_status"), {QStringLiteral("pl1"), 2u, 2, QStringLiteral("song9")}) << 0
            << QStringLiteral("state     paused\nindex     2\nobjectId  song9\nplaylist  pl1\n") << QString()
            << QByteArray(R"({"state":2,"stateName":"paused","index":2,"objectId":"song9","playlistId":"pl1"})")
            << QStringList{QStringLiteral("get_status ")} << QVariantList();
        QTest::newRow("unknown state")
            << QStringList{QStringLiteral("status")}
            << reply(QStringLiteral("get_status"), {QString(), 0u, 42, QString()}) << 0
            << QStringLiteral("state     unknown\nindex     0\nobjectId\nplaylist\n") << QString()
            << QByteArray(R"({"state":42,"stateName":"unknown","index":0,"objectId":"","playlistId":""})")
            << QStringList{QStringLiteral("get_status ")} << QVariantList();
        QTest::newRow("position") << QStringList{QStringLiteral("position")}
                                  << reply(QStringLiteral("get_position"), {1234u}) << 0 << QStringLiteral("1234\n")
                                  << QString() << QByteArray(R"({"position":1234})")
                                  << QStringList{QStringLiteral("get_position ")} << QVariantList();
        QTest::newRow("property") << QStringList{QStringLiteral("property"), QStringLiteral("volume")}
                                  << reply(getProperty, {QStringLiteral("volume"), variant(0.5)}) << 0
                                  << QStringLiteral("0.5\n") << QString()
                                  << QByteArray(R"({"name":"volume","value":0.5})")
                                  << QStringList{QStringLiteral("get_extension_property s")}
                                  << QVariantList{QStringLiteral("volume")};
        QTest::newRow("set a property")
            << QStringList{QStringLiteral("property"), QStringLiteral("mode"), QStringLiteral("shuffle")}
            << reply(getProperty, {QStringLiteral("mode"), variant(QStringLiteral("shuffle"))}) << 0
            << QStringLiteral("shuffle\n") << QString() << QByteArray()
            << QStringList{QStringLiteral("set_extension_property sv"), QStringLiteral("get_extension_property s")}
            << QVariantList{QStringLiteral("mode")};
        QTest::newRow("property refused")
            << QStringList{QStringLiteral("property"), QStringLiteral("volume")}
            << error(getProperty, QStringLiteral("denied")) << 1 << QString()
            << QStringLiteral("renderer r1: get_extension_property failed: denied") << QByteArray()
            << QStringList{QStringLiteral("get_extension_property s")} << QVariantList{QStringLiteral("volume")};
        QTest::newRow("media info") << QStringList{QStringLiteral("media-info")}
                                    << reply(QStringLiteral("get_current_media_info"), {mediaInfo()}) << 0
                                    << QStringLiteral("uuid    m1\nartist  A\nartist  B\ntitle   Tide\n") << QString()
                                    << QByteArray(R"({"uuid":"m1","metadata":{"artist":["A","B"],"title":["Tide"]}})")
                                    << QStringList{QStringLiteral("get_current_media_info s")}
                                    << QVariantList{QString()};
        QTest::newRow("media info of one key")
            << QStringList{QStringLiteral("media-info"), QStringLiteral("title")}
            << reply(QStringLiteral("get_current_media_info"), {mediaInfo()}) << 0
            << QStringLiteral("uuid   m1\ntitle  Tide\n") << QString() << QByteArray()
            << QStringList{QStringLiteral("get_current_media_info s")} << QVariantList{QStringLiteral("title")};
        // Options may follow the command.
        QTest::newRow("silent") << QStringList{QStringLiteral("status"), QStringLiteral("--timeout"),
                                               QStringLiteral("1")}
                                << silent(QStringLiteral("get_status")) << 4 << QString()
                                << QStringLiteral("renderer r1: no answer to get_status within 1 s") << QByteArray()
                                << QStringList{QStringLiteral("get_status ")} << QVariantList();
        QTest::newRow("gone") << QStringList{QStringLiteral("position")} << leave(QStringLiteral("get_position")) << 3
                              << QString() << QStringLiteral("renderer r1: has left the bus") << QByteArray()
                              << QStringList() << QVariantList();
    }

    void renderer()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Script, script);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QByteArray, json);
        QFETCH(QStringList, calls);
        QFETCH(QVariantList, sent);

        const QString service = KestBusNames::rendererService(Plugin, QStringLiteral("r1"));
        const QString path = KestBusNames::rendererPath(QStringLiteral("r1"));
        {
            KestTestPeer peer;
            QVERIFY(startComponent(peer, service, path, QStringLiteral("Kitchen")) && script(peer));
            const Run run = runCtl(QStringList{QStringLiteral("renderer"), QStringLiteral("r1")} + arguments);
            QCOMPARE(run.status, status);
            QCOMPARE(QString::fromUtf8(run.out), out);
            QCOMPARE(QString::fromUtf8(run.err),
                     err.isEmpty() ? err : QStringLiteral("kest-ctl: ") + err + QLatin1Char('\n'));
            if (peer.isRunning()) {
                QCOMPARE(callsOf(peer), calls);
                if (!sent.isEmpty())
                    QCOMPARE(peer.calls().constLast().arguments, sent);
            }
        }
        if (!json.isEmpty()) {
            KestTestPeer peer;
            QVERIFY(startComponent(peer, service, path, QStringLiteral("Kitchen")) && script(peer));
            const Run run = runCtl(
                QStringList{QStringLiteral("--json"), QStringLiteral("renderer"), QStringLiteral("r1")} + arguments);
            QCOMPARE(run.status, status);
            QCOMPARE(parseJson(run.out), parseJson(json));
        }
    }

    void source_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Script>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("calls");

        const QString browse = QStringLiteral("browse");
        const QString browseResult = QStringLiteral("browse_result");
        const QStringList browseArguments{browse,
                                          QStringLiteral("obj1"),
                                          QStringLiteral("--keys"),
                                          QStringLiteral("track,title"),
                                          QStringLiteral("--offset"),
                                          QStringLiteral("2"),
                                          QStringLiteral("--count"),
                                          QStringLiteral("10")};
        QTest::newRow("browse") << browseArguments
                                << results(browse, 7, browseResult,
                                           browseBatch(7,
                                                       {row(1, 0, QStringLiteral("a"), QStringLiteral("Tide")),
                                                        row(0, 1, QStringLiteral("b"), QStringLiteral("Copper Wire"))}))
                                << 0 << QStringLiteral("a\ttrack=1\ttitle=Tide\nb\ttrack=2\ttitle=Copper Wire\n")
                                << QString()
                                << QByteArray(
                                       R"({"index":0,"objectId":"a","metadata":{"title":"Tide","track":1},"remaining":1}
                             {"index":1,"objectId":"b","metadata":{"title":"Copper Wire","track":2},"remaining":0})")
                                << QStringList{QStringLiteral("browse ssasuu")};
        QTest::newRow("browse error row")
            << browseArguments
            << results(browse, 8, browseResult,
                       browseBatch(8, {row(0, 0, QString(), QString(), 5, QStringLiteral("broken"))}))
            << 1 << QString() << QStringLiteral("source s1: browse of \"obj1\" failed: 5: broken") << QByteArray()
            << QStringList{QStringLiteral("browse ssasuu")};
        QTest::newRow("browse refused") << browseArguments << error(browse, QStringLiteral("9:busy")) << 1 << QString()
                                        << QStringLiteral("source s1: the source did not start the browse")
                                        << QByteArray() << QStringList{QStringLiteral("browse ssasuu")};
        // The wait for the next row is bounded too, and the source is told to stop.
        QTest::newRow("rows stop coming")
            << (browseArguments + QStringList{QStringLiteral("--timeout"), QStringLiteral("1")})
            << results(browse, 9, browseResult,
                       browseBatch(9, {row(3, 0, QStringLiteral("a"), QStringLiteral("Tide"))}))
            << 4 << QStringLiteral("a\ttrack=1\ttitle=Tide\n")
            << QStringLiteral("source s1: no browse result within 1 s") << QByteArray()
            << QStringList{QStringLiteral("browse ssasuu"), QStringLiteral("cancel_browse u")};
        QTest::newRow("query") << QStringList{QStringLiteral("query"), QStringLiteral("q1")}
                               << results(QStringLiteral("query"), 3, QStringLiteral("query_result"),
                                          queryBatch(
                                              3, {{QStringLiteral("x"), QStringLiteral("y")}, {QStringLiteral("z")}}))
                               << 0 << QStringLiteral("x\ty\nz\n") << QString()
                               << QByteArray(R"({"index":0,"values":["x","y"],"remaining":1}
                                                {"index":1,"values":["z"],"remaining":0})")
                               << QStringList{QStringLiteral("query s")};
        QTest::newRow("query error") << QStringList{QStringLiteral("query"), QStringLiteral("q1")}
                                     << results(QStringLiteral("query"), 4, QStringLiteral("query_result"),
                                                queryBatch(4, {}, 6, QStringLiteral("bad query")))
                                     << 1 << QString() << QStringLiteral("source s1: query \"q1\" failed: 6: bad query")
                                     << QByteArray() << QStringList{QStringLiteral("query s")};
        QTest::newRow("property") << QStringList{QStringLiteral("property"), QStringLiteral("tags")}
                                  << reply(QStringLiteral("get_extension_property"),
                                           {QStringLiteral("tags"),
                                            variant(QStringList{QStringLiteral("a"), QStringLiteral("b")})})
                                  << 0 << QStringLiteral("[\"a\",\"b\"]\n") << QString()
                                  << QByteArray(R"({"name":"tags","value":["a","b"]})")
                                  << QStringList{QStringLiteral("get_extension_property s")};
        QTest::newRow("property refused") << QStringList{QStringLiteral("property"), QStringLiteral("tags")}
                                          << error(QStringLiteral("get_extension_property"), QStringLiteral("no")) << 1
                                          << QString() << QStringLiteral("source s1: property tags could not be read")
                                          << QByteArray() << QStringList{QStringLiteral("get_extension_property s")};
        QTest::newRow("silent source") << (browseArguments
                                           + QStringList{QStringLiteral("--timeout"), QStringLiteral("1")})
                                       << silent(QStringLiteral("get_name")) << 4 << QString()
                                       << QStringLiteral("source s1: no answer to get_name within 1 s") << QByteArray()
                                       << QStringList();
        // It answers the first question, then not the blocking one.
        QTest::newRow("silent browse") << (browseArguments
                                           + QStringList{QStringLiteral("--timeout"), QStringLiteral("1")})
                                       << silent(browse) << 4 << QString()
                                       << QStringLiteral("source s1: no answer to browse within 1 s") << QByteArray()
                                       << QStringList{QStringLiteral("browse ssasuu")};
        QTest::newRow("gone") << QStringList{QStringLiteral("query"), QStringLiteral("q1")}
                              << leave(QStringLiteral("query")) << 3 << QString()
                              << QStringLiteral("source s1: has left the bus") << QByteArray() << QStringList();
    }

    void source()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Script, script);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QByteArray, json);
        QFETCH(QStringList, calls);

        const QString service = KestBusNames::sourceService(Plugin, QStringLiteral("s1"));
        const QString path = KestBusNames::sourcePath(QStringLiteral("s1"));
        {
            KestTestPeer peer;
            QVERIFY(startComponent(peer, service, path, QStringLiteral("Shelf")) && script(peer));
            const Run run = runCtl(QStringList{QStringLiteral("source"), QStringLiteral("s1")} + arguments);
            QCOMPARE(run.status, status);
            QCOMPARE(QString::fromUtf8(run.out), out);
            QCOMPARE(QString::fromUtf8(run.err),
                     err.isEmpty() ? err : QStringLiteral("kest-ctl: ") + err + QLatin1Char('\n'));
            if (peer.isRunning())
                QCOMPARE(callsOf(peer), calls);
            if (calls.value(0) == QLatin1String("browse ssasuu")) {
                QCOMPARE(peer.callsTo(QStringLiteral("browse")).value(0).arguments,
                         (QVariantList{QStringLiteral("obj1"), QString(),
                                       QStringList{QStringLiteral("track"), QStringLiteral("title")}, 2u, 10u}));
            }
        }
        if (!json.isEmpty()) {
            KestTestPeer peer;
            QVERIFY(startComponent(peer, service, path, QStringLiteral("Shelf")) && script(peer));
            const Run run = runCtl(QStringList{QStringLiteral("--json"), QStringLiteral("source"), QStringLiteral("s1")}
                                   + arguments);
            QCOMPARE(run.status, status);
            QCOMPARE(parseJson(run.out), parseJson(json));
        }
    }

    void interruptedBrowseIsCancelled()
    {
        KestTestPeer peer;
        QVERIFY(startComponent(peer, KestBusNames::sourceService(Plugin, QStringLiteral("s1")),
                               KestBusNames::sourcePath(QStringLiteral("s1")), QStringLiteral("Shelf")));
        QVERIFY(results(QStringLiteral("browse"), 12, QStringLiteral("browse_result"),
                        browseBatch(12, {row(40, 0, QStringLiteral("a"), QStringLiteral("Tide"))}))(peer));
        QProcess ctl;
        startCtl(ctl,
                 {QStringLiteral("source"), QStringLiteral("s1"), QStringLiteral("browse"), QString(),
                  QStringLiteral("--keys"), QStringLiteral("title")});
        // The first row shows while the browse goes on: output is not held back.
        QTRY_VERIFY_WITH_TIMEOUT(ctl.canReadLine(), 20000);
        QCOMPARE(ctl.readLine(), QByteArray("a\ttitle=Tide\ttrack=1\n"));
        ::kill(pid_t(ctl.processId()), SIGINT);
        QVERIFY(ctl.waitForFinished(20000));
        QCOMPARE(ctl.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ctl.exitCode(), 130);
        QCOMPARE(callsOf(peer), (QStringList{QStringLiteral("browse ssasuu"), QStringLiteral("cancel_browse u")}));
        QCOMPARE(peer.callsTo(QStringLiteral("cancel_browse")).value(0).arguments, QVariantList{12u});
        // An empty object id is the source's root.
        QCOMPARE(peer.callsTo(QStringLiteral("browse")).value(0).arguments.value(0), QVariant(QStringLiteral("s1::")));
    }

    void list()
    {
        KestTestPeer renderer;
        KestTestPeer source;
        QVERIFY(startComponent(renderer, KestBusNames::rendererService(Plugin, QStringLiteral("r1")),
                               KestBusNames::rendererPath(QStringLiteral("r1")), QStringLiteral("Kitchen")));
        QVERIFY(startComponent(source, KestBusNames::sourceService(Plugin, QStringLiteral("s1")),
                               KestBusNames::sourcePath(QStringLiteral("s1")), QStringLiteral("Shelf")));
        QVERIFY(publish(QStringLiteral("mix"), {QStringLiteral("a"), QStringLiteral("b")}));

        const Run text = runCtl({QStringLiteral("list")});
        QCOMPARE(text.status, 0);
        QCOMPARE(QString::fromUtf8(text.out),
                 QStringLiteral("renderer  r1     Kitchen  plugin p1            com.zorvo.kest.renderer.p1.r1\n"
                                "source    s1     Shelf    plugin p1            com.zorvo.kest.source.p1.s1\n"
                                "playlist  mix    Mix      2 items, current -1  com.zorvo.kest.playlist.mix\n"
                                "plugin    alpha  -        activatable          com.zorvo.kest.plugin.alpha\n"
                                "plugin    y      -        activatable          com.zorvo.kest.plugin.y\n"));

        // The proxy of a playlist found on the bus takes 0 for its current index; the publisher knows better.
        const Run json = runCtl({QStringLiteral("--json"), QStringLiteral("list")});
        QCOMPARE(json.status, 0);
        QCOMPARE(parseJson(json.out), parseJson(R"([
            {"kind":"renderer","plugin":"p1","uuid":"r1","name":"Kitchen","service":"com.zorvo.kest.renderer.p1.r1"},
            {"kind":"source","plugin":"p1","uuid":"s1","name":"Shelf","service":"com.zorvo.kest.source.p1.s1"},
            {"kind":"playlist","id":"mix","name":"Mix","size":2,"currentIndex":-1,
             "service":"com.zorvo.kest.playlist.mix"},
            {"kind":"plugin","plugin":"alpha","service":"com.zorvo.kest.plugin.alpha","activatable":true},
            {"kind":"plugin","plugin":"y","service":"com.zorvo.kest.plugin.y","activatable":true}])"));

        // One silent renderer: the others are listed all the same, it without a name, and it is told.
        KestTestPeer quiet;
        QVERIFY(quiet.start({KestBusNames::rendererService(Plugin, QStringLiteral("r2"))},
                            {KestBusNames::rendererPath(QStringLiteral("r2"))}));
        QVERIFY(quiet.scriptNoReply(QStringLiteral("get_name")));
        const Run partly = runCtl({QStringLiteral("--json"), QStringLiteral("--timeout"), QStringLiteral("1"),
                                   QStringLiteral("list"), QStringLiteral("renderers")});
        QCOMPARE(partly.status, 4);
        QCOMPARE(partly.err, QByteArray("kest-ctl: renderer r2: no answer within 1 s\n"));
        QCOMPARE(parseJson(partly.out), parseJson(R"([
            {"kind":"renderer","plugin":"p1","uuid":"r1","name":"Kitchen","service":"com.zorvo.kest.renderer.p1.r1"},
            {"kind":"renderer","plugin":"p1","uuid":"r2","name":null,"service":"com.zorvo.kest.renderer.p1.r2"}])"));
        QVERIFY(unpublish(QStringLiteral("mix")));
    }

    void playlist()
    {
        QVERIFY(publish(QStringLiteral("mix"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
        const Run text = runCtl({QStringLiteral("playlist"), QStringLiteral("mix"), QStringLiteral("show")});
        QCOMPARE(text.status, 0);
        QCOMPARE(QString::fromUtf8(text.out),
                 QStringLiteral("id            mix\nname          Mix\nsize          3\ncurrentIndex  -1\n\n"
                                "#  Title\n0  a\n1  b\n2  c\n"));
        const Run json = runCtl(
            {QStringLiteral("--json"), QStringLiteral("playlist"), QStringLiteral("mix"), QStringLiteral("show")});
        QCOMPARE(json.status, 0);
        QCOMPARE(parseJson(json.out), parseJson(R"({"id":"mix","name":"Mix","size":3,"currentIndex":-1,
                                                    "columns":["Title"],"items":[["a"],["b"],["c"]]})"));
        QVERIFY(unpublish(QStringLiteral("mix")));

        // A publisher that does not answer costs the timeout, not the bus's default.
        KestTestPeer quiet;
        QVERIFY(quiet.start({KestBusNames::playlistService(QStringLiteral("quiet"))},
                            {KestBusNames::playlistPath(QStringLiteral("quiet"))}));
        QVERIFY(quiet.scriptNoReply(QStringLiteral("get_current")));
        const Run silent = runCtl({QStringLiteral("playlist"), QStringLiteral("quiet"), QStringLiteral("show"),
                                   QStringLiteral("--timeout"), QStringLiteral("1")});
        QCOMPARE(silent.status, 4);
        QCOMPARE(silent.err, QByteArray("kest-ctl: playlist quiet: no answer to get_current within 1 s\n"));
        QCOMPARE(silent.out, QByteArray());
    }

    void monitor()
    {
        KestTestPeer renderer;
        const QString path = KestBusNames::rendererPath(QStringLiteral("r1"));
        const QString interface = KestBusNames::rendererInterface();
        QVERIFY(startComponent(renderer, KestBusNames::rendererService(Plugin, QStringLiteral("r1")), path,
                               QStringLiteral("Kitchen")));

        // Text, and the end after --count events.
        QProcess counted;
        startCtl(counted, {QStringLiteral("monitor"), QStringLiteral("--count"), QStringLiteral("2")});
        QTRY_VERIFY_WITH_TIMEOUT((renderer.emitSignal(path, interface, QStringLiteral("state_changed"), {2}),
                                  counted.state() == QProcess::NotRunning),
                                 20000);
        QCOMPARE(counted.exitCode(), 0);
        QCOMPARE(counted.readAllStandardOutput(),
                 QByteArray("state_changed renderer r1 state=paused\nstate_changed renderer r1 state=paused\n"));

        QProcess monitor;
        startCtl(monitor, {QStringLiteral("--json"), QStringLiteral("monitor")});
        // Nothing tells when it listens: poke until it answers, with an event left out below.
        QTRY_VERIFY_WITH_TIMEOUT((renderer.emitSignal(path, interface, QStringLiteral("scanning_info"), {0.5}),
                                  monitor.canReadLine()),
                                 20000);
        QVERIFY(renderer.emitSignal(path, interface, QStringLiteral("media_changed"), {2, QStringLiteral("song")}));
        QVERIFY(renderer.emitSignal(path, interface, QStringLiteral("metadata_changed"),
                                    {QStringLiteral("title"), QVariant(QVariantList{QStringLiteral("Song"), 3})}));
        QVERIFY(renderer.emitSignal(path, interface, QStringLiteral("buffering_info"), {0.25}));
        QVERIFY(renderer.emitSignal(path, KestBusNames::extensionInterface(), QStringLiteral("property_changed"),
                                    {QStringLiteral("volume"), variant(4)}));
        QVERIFY(renderer.emitSignal(path, interface, QStringLiteral("error"), {7, QStringLiteral("jammed")}));
        QVERIFY(renderer.emitSignal(path, interface, QStringLiteral("playback_completed")));

        KestTestPeer second;
        QVERIFY(startComponent(second, KestBusNames::rendererService(Plugin, QStringLiteral("r2")),
                               KestBusNames::rendererPath(QStringLiteral("r2")), QStringLiteral("Den")));
        QVERIFY(second.emitSignal(KestBusNames::registryPath(), KestBusNames::registryInterface(),
                                  QStringLiteral("new_renderer"),
                                  {Plugin, QStringLiteral("r2"), QStringLiteral("Den")}));
        QTRY_VERIFY_WITH_TIMEOUT(monitor.peek(1 << 16).contains("\"added\""), 20000);
        QVERIFY(second.stop());
        QVERIFY(publish(QStringLiteral("news"), {QStringLiteral("a")}));
        QTRY_VERIFY_WITH_TIMEOUT(monitor.peek(1 << 16).contains("playlist_created"), 20000);
        QVERIFY(unpublish(QStringLiteral("news")));
        QTRY_VERIFY_WITH_TIMEOUT(monitor.peek(1 << 16).contains(R"({"event":"removed","id":"news")"), 20000);

        monitor.terminate();
        QVERIFY(monitor.waitForFinished(20000));
        QCOMPARE(monitor.exitStatus(), QProcess::NormalExit);
        QCOMPARE(monitor.exitCode(), 0);
        QJsonArray events;
        const QJsonArray all = parseJson(monitor.readAllStandardOutput()).toArray();
        for (const QJsonValue &event : all) {
            if (event.toObject().value(QStringLiteral("event")).toString() != QLatin1String("scanning_info"))
                events.append(event);
        }
        QCOMPARE(QJsonValue(events), parseJson(R"([
            {"event":"media_changed","kind":"renderer","uuid":"r1","index":2,"objectId":"song"},
            {"event":"metadata_changed","kind":"renderer","uuid":"r1","metadata":"title","values":["Song",3]},
            {"event":"buffering_info","kind":"renderer","uuid":"r1","status":0.25},
            {"event":"property_changed","kind":"renderer","uuid":"r1","name":"volume","value":4},
            {"event":"error","kind":"renderer","uuid":"r1","code":7,"message":"jammed"},
            {"event":"playback_completed","kind":"renderer","uuid":"r1"},
            {"event":"added","kind":"renderer","uuid":"r2","plugin":"p1","name":"Den",
             "service":"com.zorvo.kest.renderer.p1.r2"},
            {"event":"removed","kind":"renderer","uuid":"r2","plugin":"p1"},
            {"event":"added","kind":"playlist","id":"news","name":"Mix","service":"com.zorvo.kest.playlist.news"},
            {"event":"playlist_created","kind":"playlist","id":"news","name":"Mix","size":1,"currentIndex":-1},
            {"event":"removed","kind":"playlist","id":"news"}])"));
    }

    // Last: the plugin process that it starts stays for the rest of the run.
    void plugin()
    {
        const QString alpha = QStringLiteral("alpha");
        const QString renderer = KestBusNames::rendererService(alpha, QStringLiteral("ralpha"));
        QCOMPARE(runCtl({QStringLiteral("plugin"), alpha, QStringLiteral("activate")}).status, 0);
        QVERIFY(KestTestBus::waitForOwner(renderer));
        QCOMPARE(runCtl({QStringLiteral("plugin"), alpha, QStringLiteral("deactivate")}).status, 0);
        QVERIFY(KestTestBus::waitForNoOwner(renderer));
    }

private:
    bool publish(const QString &id, const QStringList &items)
    {
        return tracker()
            .call(QStringLiteral("Publish"), id, QStringLiteral("Mix"), items)
            .arguments()
            .value(0)
            .toBool();
    }

    bool unpublish(const QString &id)
    {
        return tracker().call(QStringLiteral("Unpublish"), id).arguments().value(0).toBool()
            && KestTestBus::waitForNoOwner(KestBusNames::playlistService(id));
    }

    QDBusInterface &tracker()
    {
        if (!m_tracker)
            m_tracker = std::make_unique<QDBusInterface>(m_publisher.controlName(), QStringLiteral("/kesttest/tracker"),
                                                         QStringLiteral("com.zorvo.kesttest.Tracker"));
        return *m_tracker;
    }

    // Another application that publishes playlists.
    KestTestPeer m_publisher{QStringLiteral("kest-tracker-peer")};
    std::unique_ptr<QDBusInterface> m_tracker;
};

QTEST_GUILESS_MAIN(KestCtlTest)
#include "tst_kestctl.moc"
