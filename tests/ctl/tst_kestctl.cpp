// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// kest-ctl against peer processes. Catches: usage errors that touch the bus; output that loses, misnames
// or mistypes a value; arguments changed on the way; an error, a silent component and a departed one not
// told apart (1, 4, 3) or silence costing more than --timeout; a browse left running, or one without rows
// waited for; monitor events lost.

#include "dbusmessageutil.h"
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

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// A JSON document, or JSON Lines as the array of their records (a record split over lines does not parse).
QJsonValue parseJson(const QByteArray &output)
{
    const QJsonDocument document = QJsonDocument::fromJson(output);
    if (!document.isNull())
        return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    return QJsonDocument::fromJson('[' + output.trimmed().replace('\n', ',') + ']').array();
}

// What a peer was asked, as "member signature, ...", leaving out the proxies' requests for names.
QString callsOf(const KestTestPeer &peer)
{
    QStringList calls;
    for (const KestRecordedCall &call : peer.calls()) {
        if (call.member != QLatin1String("get_name"))
            calls << (call.member + QLatin1Char(' ') + call.signature).trimmed();
    }
    return calls.join(QLatin1String(", "));
}

// The components that the commands name, all called "Kitchen": renderer r1 and source s1, or playlist quiet.
bool startComponents(KestTestPeer &peer, bool playlist)
{
    const QString r1 = QStringLiteral("r1");
    const QString s1 = QStringLiteral("s1");
    const QString quiet = QStringLiteral("quiet");
    return (playlist ? peer.start({KestBusNames::playlistService(quiet)},
                                  {KestBusNames::playlistPath(quiet), KestBusNames::playlistModelPath(quiet)})
                     : peer.start({KestBusNames::rendererService(Plugin, r1), KestBusNames::sourceService(Plugin, s1)},
                                  {KestBusNames::rendererPath(r1), KestBusNames::sourcePath(s1)}))
        && peer.scriptReply(QStringLiteral("get_name"), {QStringLiteral("Kitchen")});
}

// The peer answers \a member with \a arguments ('r'), fails it with \a message ('e'), stays silent ('s') or leaves.
Script on(char outcome, const char *member, const QVariantList &arguments = {}, const char *message = "")
{
    return [=](KestTestPeer &peer) {
        const QString name = text(member);
        return outcome == 'r' ? peer.scriptReply(name, arguments)
            : outcome == 'e'  ? peer.scriptError(name, text(message))
            : outcome == 's'  ? peer.scriptNoReply(name)
                              : peer.scriptExit(name);
    };
}

// The source answers \a member with \a id and then delivers \a arguments to the caller's proxy.
Script results(const char *member, uint id, const char *resultMember, const QVariantList &arguments)
{
    return [=](KestTestPeer &peer) {
        return peer.scriptReply(text(member), {id})
            && peer.scriptAfterCall(text(member), QString(), KestBusNames::proxySourcePath(QStringLiteral("s1")),
                                    KestBusNames::proxySourceInterface(), text(resultMember), arguments);
    };
}

// A row with a title and a track number, or with error \a errorCode whose message is \a title.
KestBrowseResultDBusStruct browseRow(int remaining, uint index, const char *objectId, const char *title,
                                     uint errorCode = 0)
{
    QByteArray metadata;
    DBusMessageUtil::encodeMetadataBlock({{QStringLiteral("title"), text(title)}, {QStringLiteral("track"), index + 1}},
                                         metadata);
    return {remaining,
            index,
            text(objectId),
            errorCode ? QByteArray() : metadata,
            QString(),
            errorCode,
            errorCode ? text(title) : QString()};
}

Script browse(uint id, const QList<KestBrowseResultDBusStruct> &rows)
{
    return results("browse", id, "browse_result", {id, QVariant::fromValue(rows)});
}

Script query(uint id, const QList<KestQueryResultDBusStruct> &rows, int errorCode = 0, const char *message = "")
{
    return results("query", id, "query_result", {id, 0, QVariant::fromValue(rows), errorCode, text(message)});
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
        // The tests switch the library's traces on; in kest-ctl they would fill standard error.
        qunsetenv("QT_LOGGING_RULES");
        QVERIFY(m_publisher.start());
        QVERIFY(publish(QStringLiteral("mix"), {QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    }

    // A row: the arguments, what the peer does, the exit status, standard output and error (for status 2 a
    // fragment of it), the output with --json, the calls the peer got and the arguments of the last one.
    void commands_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<Script>("script");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("calls");
        QTest::addColumn<QVariantList>("sent");
        const auto add = [](const char *name, const char *arguments, const Script &script, int status, const char *out,
                            const char *err, const char *json = "", const char *calls = "",
                            const QVariantList &sent = {}) {
            QTest::newRow(name) << text(arguments) << script << status << text(out) << text(err) << QByteArray(json)
                                << text(calls) << sent;
        };

        add("no command", "", {}, 2, "", "no command given");
        add("unknown command", "start", {}, 2, "", "unknown command");
        add("unknown option", "list --fast", {}, 2, "", "fast");
        add("uuid with a dot", "renderer a.b status", {}, 2, "", "\"a.b\" is not a valid bus name element");
        add("position not a number", "renderer r1 seek later", {}, 2, "", "position \"later\" is not a number");
        add("too many arguments", "renderer r1 stop now", {}, 2, "", "wrong number of arguments for renderer stop");
        add("browse for nothing", "source s1 browse o", {}, 2, "", "needs --keys or --predicate");

        add("renderer absent", "renderer r9 stop", {}, 3, "", "renderer r9: not on the bus");
        add("plugin absent", "plugin p9 activate", {}, 3, "", "plugin p9: neither on the bus nor activatable");

        add("play a file from the start", "renderer r1 play \"/music/b c.ogg\"", {}, 0, "", "", "", "play_uri su",
            {QStringLiteral("file:///music/b%20c.ogg"), 0u});
        add("seek back", "renderer r1 seek -1500 relative", {}, 0, "", "", "", "set_position ii", {-1500, 1});
        add("refused", "renderer r1 stop", on('e', "stop", {}, "7:busy"), 1, "", "renderer r1: stop failed: 7: busy",
            "", "stop");
        add("status", "renderer r1 status", on('r', "get_status", {QStringLiteral("pl1"), 2u, 2, QStringLiteral("s9")}),
            0, "state     paused\nindex     2\nobjectId  s9\nplaylist  pl1\n", "",
            R"({"state":2,"stateName":"paused","index":2,"objectId":"s9","playlistId":"pl1"})", "get_status");
        add("property", "renderer r1 property volume",
            on('r', "get_extension_property", {QStringLiteral("volume"), variant(0.5)}), 0, "0.5\n", "",
            R"({"name":"volume","value":0.5})", "get_extension_property s", {QStringLiteral("volume")});
        add("set a property", "renderer r1 property mode shuffle",
            on('r', "get_extension_property", {QStringLiteral("mode"), variant(QStringLiteral("shuffle"))}), 0,
            "shuffle\n", "", "", "set_extension_property sv, get_extension_property s", {QStringLiteral("mode")});
        KestMediaInfo info(QStringLiteral("m1"));
        info.setMetaData({{QStringLiteral("title"), {QStringLiteral("Tide")}},
                          {QStringLiteral("artist"), {QStringLiteral("A"), QStringLiteral("B")}}});
        add("media info", "renderer r1 media-info", on('r', "get_current_media_info", {QVariant::fromValue(info)}), 0,
            "uuid    m1\nartist  A\nartist  B\ntitle   Tide\n", "",
            R"({"uuid":"m1","metadata":{"artist":["A","B"],"title":["Tide"]}})", "get_current_media_info s",
            {QString()});
        // Options may follow the command.
        add("silent renderer", "renderer r1 status --timeout 1", on('s', "get_status"), 4, "",
            "renderer r1: no answer to get_status within 1 s", "", "get_status");

        const char *browseArguments = "source s1 browse obj1 --keys track,title --offset 2 --count 10";
        add("browse", browseArguments, browse(7, {browseRow(1, 0, "a", "Tide"), browseRow(0, 1, "b", "Copper Wire")}),
            0, "a\ttrack=1\ttitle=Tide\nb\ttrack=2\ttitle=Copper Wire\n", "",
            R"({"index":0,"objectId":"a","metadata":{"title":"Tide","track":1},"remaining":1}
               {"index":1,"objectId":"b","metadata":{"title":"Copper Wire","track":2},"remaining":0})",
            "browse ssasuu",
            {QStringLiteral("obj1"), QString(), QStringList{QStringLiteral("track"), QStringLiteral("title")}, 2u,
             10u});
        add("browse without rows", browseArguments, browse(10, {}), 0, "", "", "", "browse ssasuu");
        add("browse error row", browseArguments, browse(8, {browseRow(0, 0, "", "broken", 5)}), 1, "",
            "source s1: browse of \"obj1\" failed: 5: broken", "", "browse ssasuu");
        // The wait for the next row is bounded too, and the source is told to stop.
        add("rows stop coming", "source s1 browse obj1 --keys track,title --timeout 1",
            browse(9, {browseRow(3, 0, "a", "Tide")}), 4, "a\ttrack=1\ttitle=Tide\n",
            "source s1: no browse result within 1 s", "", "browse ssasuu, cancel_browse u", {9u});
        add("query", "source s1 query q1",
            query(3, {{0, {QStringLiteral("x"), QStringLiteral("y")}}, {1, {QStringLiteral("z")}}}), 0, "x\ty\nz\n", "",
            R"({"index":0,"values":["x","y"],"remaining":1}
               {"index":1,"values":["z"],"remaining":0})",
            "query s", {QStringLiteral("q1")});
        add("query error", "source s1 query q1", query(4, {}, 6, "bad query"), 1, "",
            "source s1: query \"q1\" failed: 6: bad query", "", "query s");
        add("source property", "source s1 property tags",
            on('r', "get_extension_property",
               {QStringLiteral("tags"), variant(QStringList{QStringLiteral("a"), QStringLiteral("b")})}),
            0, "[\"a\",\"b\"]\n", "", R"({"name":"tags","value":["a","b"]})", "get_extension_property s");
        add("source gone", "source s1 query q1", on('l', "query"), 3, "", "source s1: has left the bus");

        add("playlist", "playlist mix show", {}, 0,
            "id            mix\nname          Mix\nsize          3\ncurrentIndex  -1\n\n#  Title\n0  a\n1  b\n2  c\n",
            "",
            R"({"id":"mix","name":"Mix","size":3,"currentIndex":-1,"columns":["Title"],"items":[["a"],["b"],["c"]]})",
            "get_size, get_current");
        add("silent playlist", "playlist quiet show --timeout 1", on('s', "get_name"), 4, "",
            "playlist quiet: no answer within 1 s", "", "get_size, get_current");
        // Its items are read blocking: a silent read costs the timeout once, not for each item.
        add("silent playlist items", "playlist quiet show --timeout 1", on('s', "get_row_count"), 4, "",
            "playlist quiet: no answer within 1 s", "", "get_size, get_current, get_row_count");

        add("list", "list", {}, 0,
            "renderer  r1     Kitchen  plugin p1            com.zorvo.kest.renderer.p1.r1\n"
            "source    s1     Kitchen  plugin p1            com.zorvo.kest.source.p1.s1\n"
            "playlist  mix    Mix      3 items, current -1  com.zorvo.kest.playlist.mix\n"
            "plugin    alpha  -        activatable          com.zorvo.kest.plugin.alpha\n",
            "", R"([
            {"kind":"renderer","plugin":"p1","uuid":"r1","name":"Kitchen","service":"com.zorvo.kest.renderer.p1.r1"},
            {"kind":"source","plugin":"p1","uuid":"s1","name":"Kitchen","service":"com.zorvo.kest.source.p1.s1"},
            {"kind":"playlist","id":"mix","name":"Mix","size":3,"currentIndex":-1,
             "service":"com.zorvo.kest.playlist.mix"},
            {"kind":"plugin","plugin":"alpha","service":"com.zorvo.kest.plugin.alpha","activatable":true}])");
        // A silent component is listed without a name, and the silence is told.
        add("list with a silent component", "list renderers --timeout 1", on('s', "get_name"), 4,
            "renderer  r1  -  plugin p1  com.zorvo.kest.renderer.p1.r1\n", "renderer r1: no answer within 1 s",
            R"([{"kind":"renderer","plugin":"p1","uuid":"r1","name":null,"service":"com.zorvo.kest.renderer.p1.r1"}])");
    }

    void commands()
    {
        QFETCH(QString, arguments);
        QFETCH(Script, script);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(QByteArray, json);
        QFETCH(QString, calls);
        QFETCH(QVariantList, sent);
        const QStringList words = QProcess::splitCommand(arguments);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Were the bus touched first, this address would end a usage error with another status.
        if (status == 2)
            environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("unix:path=/nonexistent"));

        for (const QStringList &options : {QStringList(), QStringList{QStringLiteral("--json")}}) {
            if (!options.isEmpty() && json.isEmpty())
                break;
            KestTestPeer peer;
            QVERIFY(status == 2 || startComponents(peer, words.value(0) == QLatin1String("playlist")));
            QVERIFY(!script || script(peer));
            QProcess ctl;
            ctl.setProcessEnvironment(environment);
            ctl.start(QStringLiteral(KEST_CTL_PROGRAM), options + words);
            QVERIFY(ctl.waitForFinished(60000) && ctl.exitStatus() == QProcess::NormalExit);
            QCOMPARE(ctl.exitCode(), status);
            const QByteArray output = ctl.readAllStandardOutput(), errors = ctl.readAllStandardError();
            if (!options.isEmpty()) {
                QCOMPARE(parseJson(output), parseJson(json));
                continue;
            }
            QCOMPARE(QString::fromUtf8(output), out);
            if (status == 2)
                QVERIFY2(errors.contains(err.toUtf8())
                             && errors.endsWith("Try 'kest-ctl --help' for more information.\n"),
                         errors);
            else
                QCOMPARE(QString::fromUtf8(errors),
                         err.isEmpty() ? err : QLatin1String("kest-ctl: ") + err + QLatin1Char('\n'));
            if (peer.isRunning() && words.value(0) != QLatin1String("list"))
                QCOMPARE(callsOf(peer), calls);
            if (peer.isRunning() && !sent.isEmpty())
                QCOMPARE(peer.calls().constLast().arguments, sent);
        }
    }

    void interruptedBrowseIsCancelled()
    {
        KestTestPeer peer;
        QVERIFY(startComponents(peer, false) && browse(12, {browseRow(40, 0, "a", "Tide")})(peer));
        QProcess ctl;
        ctl.start(QStringLiteral(KEST_CTL_PROGRAM),
                  {QStringLiteral("source"), QStringLiteral("s1"), QStringLiteral("browse"), QString(),
                   QStringLiteral("--keys"), QStringLiteral("title")});
        // The first row shows while the browse goes on: output is not held back.
        QTRY_VERIFY_WITH_TIMEOUT(ctl.canReadLine(), 20000);
        QCOMPARE(ctl.readLine(), QByteArray("a\ttitle=Tide\ttrack=1\n"));
        ::kill(pid_t(ctl.processId()), SIGINT);
        QVERIFY(ctl.waitForFinished(20000) && ctl.exitStatus() == QProcess::NormalExit);
        QCOMPARE(ctl.exitCode(), 130);
        QCOMPARE(callsOf(peer), QStringLiteral("browse ssasuu, cancel_browse u"));
        QCOMPARE(peer.callsTo(QStringLiteral("cancel_browse")).value(0).arguments, QVariantList{12u});
    }

    void monitor()
    {
        KestTestPeer renderer;
        const QString path = KestBusNames::rendererPath(QStringLiteral("r1"));
        QVERIFY(startComponents(renderer, false));
        const auto emitSignal = [&](const char *signal, const QVariantList &arguments) {
            return renderer.emitSignal(path, KestBusNames::rendererInterface(), text(signal), arguments);
        };

        // Text, and the end after --count events.
        QProcess counted;
        counted.start(QStringLiteral(KEST_CTL_PROGRAM),
                      {QStringLiteral("monitor"), QStringLiteral("--count"), QStringLiteral("2")});
        QTRY_VERIFY_WITH_TIMEOUT((emitSignal("state_changed", {2}), counted.state() == QProcess::NotRunning), 20000);
        QCOMPARE(counted.exitCode(), 0);
        QCOMPARE(counted.readAllStandardOutput(),
                 QByteArray("state_changed renderer r1 state=paused\nstate_changed renderer r1 state=paused\n"));

        QProcess monitor;
        monitor.start(QStringLiteral(KEST_CTL_PROGRAM), {QStringLiteral("--json"), QStringLiteral("monitor")});
        // Nothing tells when it listens: poke until it answers, with an event left out below.
        QTRY_VERIFY_WITH_TIMEOUT((emitSignal("scanning_info", {0.5}), monitor.canReadLine()), 20000);
        QVERIFY(emitSignal("media_changed", {2, QStringLiteral("song")}));
        QVERIFY(emitSignal("metadata_changed", {QStringLiteral("title"), QVariantList{QStringLiteral("Song"), 3}}));
        QVERIFY(emitSignal("buffering_info", {0.25}));
        QVERIFY(renderer.emitSignal(path, KestBusNames::extensionInterface(), QStringLiteral("property_changed"),
                                    {QStringLiteral("volume"), variant(4)}));
        QVERIFY(emitSignal("error", {7, QStringLiteral("jammed")}));
        QVERIFY(emitSignal("playback_completed", {}));

        QVERIFY(publish(QStringLiteral("news"), {QStringLiteral("a")}));
        QTRY_VERIFY_WITH_TIMEOUT(monitor.peek(1 << 16).contains("playlist_created"), 20000);
        QVERIFY(m_tracker->call(QStringLiteral("Unpublish"), QStringLiteral("news")).arguments().value(0).toBool());
        QTRY_VERIFY_WITH_TIMEOUT(monitor.peek(1 << 16).contains(R"({"event":"removed","id":"news")"), 20000);

        monitor.terminate();
        QVERIFY(monitor.waitForFinished(20000) && monitor.exitStatus() == QProcess::NormalExit);
        QCOMPARE(monitor.exitCode(), 0);
        QJsonArray events = parseJson(monitor.readAllStandardOutput()).toArray();
        while (!events.isEmpty()
               && events.first().toObject().value(QStringLiteral("event")) == QLatin1String("scanning_info"))
            events.removeFirst();
        QCOMPARE(QJsonValue(events), parseJson(R"([
            {"event":"media_changed","kind":"renderer","uuid":"r1","index":2,"objectId":"song"},
            {"event":"metadata_changed","kind":"renderer","uuid":"r1","metadata":"title","values":["Song",3]},
            {"event":"buffering_info","kind":"renderer","uuid":"r1","status":0.25},
            {"event":"property_changed","kind":"renderer","uuid":"r1","name":"volume","value":4},
            {"event":"error","kind":"renderer","uuid":"r1","code":7,"message":"jammed"},
            {"event":"playback_completed","kind":"renderer","uuid":"r1"},
            {"event":"added","kind":"playlist","id":"news","name":"Mix","service":"com.zorvo.kest.playlist.news"},
            {"event":"playlist_created","kind":"playlist","id":"news","name":"Mix","size":1,"currentIndex":-1},
            {"event":"removed","kind":"playlist","id":"news"}])"));
    }

    // Last: the plugin process that it starts stays for the rest of the run.
    void plugin()
    {
        const QString renderer = KestBusNames::rendererService(QStringLiteral("alpha"), QStringLiteral("ralpha"));
        const QStringList plugin{QStringLiteral("plugin"), QStringLiteral("alpha")};
        QCOMPARE(QProcess::execute(QStringLiteral(KEST_CTL_PROGRAM), plugin + QStringList{QStringLiteral("activate")}),
                 0);
        QVERIFY(KestTestBus::waitForOwner(renderer));
        QCOMPARE(
            QProcess::execute(QStringLiteral(KEST_CTL_PROGRAM), plugin + QStringList{QStringLiteral("deactivate")}), 0);
        QVERIFY(KestTestBus::waitForNoOwner(renderer));
    }

private:
    bool publish(const QString &id, const QStringList &items)
    {
        if (!m_tracker)
            m_tracker = std::make_unique<QDBusInterface>(m_publisher.controlName(), QStringLiteral("/kesttest/tracker"),
                                                         QStringLiteral("com.zorvo.kesttest.Tracker"));
        return m_tracker->call(QStringLiteral("Publish"), id, QStringLiteral("Mix"), items)
            .arguments()
            .value(0)
            .toBool();
    }

    // Another application that publishes playlists.
    KestTestPeer m_publisher{QStringLiteral("kest-tracker-peer")};
    std::unique_ptr<QDBusInterface> m_tracker;
};

QTEST_GUILESS_MAIN(KestCtlTest)
#include "tst_kestctl.moc"
