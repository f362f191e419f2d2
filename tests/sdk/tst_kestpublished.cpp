// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Catches: a published renderer, source or plugin that does not reach its local object with a
// proxy's operation, or with other arguments; an answer, a callback, a row or a signal that does
// not come back to the caller as the local object gave it (late callbacks, rows delivered inside
// the start call, batches, errors, refusals); the wire read otherwise by an independent client
// (signatures, "N:text" errors, metadata blocks, the empty end of a result); a hostile caller that
// reaches the local object with bad arguments, cancels another's browse, or makes the plugin keep
// work for it (leaving mid-browse, a missing receiver, floods); unpublished components left on the
// bus or taken from the application.

#include "kestreceiver.h"
#include "kesttestbus.h"
#include "kesttestpeer.h"

#include "kestbusnames_p.h"
#include <kestplaylist.h>
#include <kestplugincontrolinterface.h>
#include <kestproxyrenderer.h>
#include <kestproxyrenderermediainforequest.h>
#include <kestproxyrendererplaybackrequest.h>
#include <kestproxyrendererpositionrequest.h>
#include <kestproxyrendererstatusrequest.h>
#include <kestqueryresultdbusstruct.h>
#include <kestregistry.h>
#include <kestshared.h>
#include <kestsource.h>

#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace {
const QString Plugin = QStringLiteral("sdk");
const QString RendererUuid = QStringLiteral("r1");
const QString SourceUuid = QStringLiteral("s1");
const QString Command = QStringLiteral("command");

QVariantList list(std::initializer_list<QVariant> values)
{
    return QVariantList(values);
}

QVariant text(const char *value)
{
    return QString::fromLatin1(value);
}

// How the peer's local object answers \a member (see kestsdkscript.h).
QVariantList answer(const char *member, const char *outcome, const QVariantList &arguments = {})
{
    return {text(member), text(outcome), arguments};
}
} // namespace

class PublishedTest : public QObject
{
    Q_OBJECT
private:
    KestTestPeer m_peer{QStringLiteral("kest-sdk-peer")};
    KestReceiver m_signals;
    std::unique_ptr<KestReceiver> m_receiver;

    KestProxyRenderer *renderer() const
    {
        return qobject_cast<KestProxyRenderer *>(KestRegistry::instance()->findRenderer(RendererUuid));
    }
    KestSource *source() const { return KestRegistry::instance()->findSource(SourceUuid); }
    QStringList seen() const { return m_peer.control(QStringLiteral("Seen")).arguments().value(0).toStringList(); }
    QString seenText() const { return seen().join(QLatin1Char('|')); }
    QVariant peer(const char *method, const QVariantList &arguments = {}) const
    {
        return m_peer.control(QLatin1String(method), arguments).arguments().value(0);
    }
    // A call to the published component from this process, as any client would make it.
    QDBusMessage raw(const QString &kind, const QString &member, const QVariantList &arguments) const
    {
        const bool source = kind == QLatin1String("source");
        const QString service = source ? KestBusNames::sourceService(Plugin, SourceUuid)
                                       : KestBusNames::rendererService(Plugin, RendererUuid);
        const QString path = source ? KestBusNames::sourcePath(SourceUuid) : KestBusNames::rendererPath(RendererUuid);
        QDBusMessage call = QDBusMessage::createMethodCall(service, path, QStringLiteral("com.zorvo.kest.") + kind,
                                                           member);
        call.setArguments(arguments);
        return call;
    }
    QString errorOf(const QDBusMessage &reply) const
    {
        return reply.errorName() + QLatin1Char(' ') + reply.errorMessage();
    }

    // What the caller got: its callbacks and the renderer's signals, shortened when there are many.
    QString got() const
    {
        QStringList got = m_receiver->events + m_signals.events;
        if (got.size() > 4)
            got = QStringList{got.first(), QStringLiteral("..."), got.last(), QStringLiteral("(%1)").arg(got.size())};
        return got.join(QLatin1Char('|'));
    }

    // Starts the proxy operation \a op with \a args.
    void perform(const QString &op, const QVariantList &args)
    {
        KestReceiver &receiver = *m_receiver;
        const QString kind = op.section(QLatin1Char(' '), 0, 0);
        const QString what = op.section(QLatin1Char(' '), 1);
        KestProxyRenderer *proxy = renderer();
        const char *error = SLOT(onError(KestRenderer *, KestError));
        if (kind == Command) {
            auto *request = new KestProxyRendererPlaybackRequest(proxy, proxy, what, &receiver, error);
            request->setArguments(args);
            request->call();
        } else if (kind == QLatin1String("status")) {
            (new KestProxyRendererStatusRequest(proxy, proxy, QStringLiteral("get_status"), &receiver, error, &receiver,
                                                STATUS_SLOT))
                ->call();
        } else if (kind == QLatin1String("position")) {
            (new KestProxyRendererPositionRequest(proxy, proxy, QStringLiteral("get_position"), &receiver, error,
                                                  &receiver, POSITION_SLOT))
                ->call();
        } else if (kind == QLatin1String("mediainfo")) {
            (new KestProxyRendererMediaInfoRequest(proxy, proxy, QStringLiteral("get_current_media_info"), &receiver,
                                                   MEDIA_INFO_SLOT, what))
                ->call();
        } else if (kind == QLatin1String("property") || kind == QLatin1String("sourceproperty")) {
            QString name = what;
            kind == QLatin1String("property") ? proxy->kestProperty(name, &receiver, PROPERTY_SLOT)
                                              : source()->kestProperty(name, &receiver, PROPERTY_SLOT);
        } else if (kind == QLatin1String("setproperty")) {
            proxy->setKestProperty(what, args.value(0));
            // The value the renderer announces back is kept on the proxy.
            if (QTest::qWaitFor([&] { return proxy->property(what.toLatin1().constData()).isValid(); }))
                receiver.events << what + QLatin1Char('=') + proxy->property(what.toLatin1().constData()).toString();
        } else if (kind == QLatin1String("sourcesetproperty")) {
            source()->setKestProperty(what, args.value(0));
        } else if (kind == QLatin1String("emit")) {
            peer("Emit", {QString(), QString(), what, args});
        } else if (kind == QLatin1String("browse") || kind == QLatin1String("query")
                   || kind == QLatin1String("cancel")) {
            connect(source(), &KestSource::browseCompleted, &receiver,
                    [&receiver] { receiver.events << QStringLiteral("completed"); });
            const uint id = kind == QLatin1String("query")
                ? source()->query(QStringLiteral("q"), &receiver, QUERY_SLOTS)
                : source()->browse(QString(), QString(), {QStringLiteral("t")}, 0, 0, &receiver, BROWSE_SLOTS);
            if (id == 0)
                receiver.events << QStringLiteral("not started");
            if (kind == QLatin1String("cancel"))
                source()->cancelBrowse(id);
        } else if (kind == QLatin1String("plugin")) {
            KestPluginControlInterface *control = KestRegistry::instance()->findPluginControlInterface(Plugin);
            what == QLatin1String("activate") ? control->activate() : control->deactivate();
        }
    }

private Q_SLOTS:
    void initTestCase()
    {
        qDBusRegisterMetaType<KestQueryResultDBusStruct>();
        QVERIFY(KestShared::instance()->initialize(KestShared::TrackRenderers | KestShared::TrackSources
                                                   | KestShared::TrackPlugins | KestShared::TrackRendererSignals));
        QVERIFY(m_peer.start({}, {},
                             {QStringLiteral("--plugin"), Plugin, QStringLiteral("--renderer"), RendererUuid,
                              QStringLiteral("--source"), SourceUuid, QStringLiteral("--timeout"),
                              QStringLiteral("1000")}));
        QTRY_VERIFY(renderer() && source() && KestRegistry::instance()->findPluginControlInterface(Plugin));
        QTRY_COMPARE(renderer()->name(), QStringLiteral("Recorded renderer"));
        QCOMPARE(source()->name(), QStringLiteral("Recorded source"));
        KestReceiver *rx = &m_signals;
        const auto add = [rx](const QString &line) { rx->events << line; };
        KestRenderer *r = renderer();
        connect(r, &KestRenderer::stateChanged, rx, [add](int state) { add(QStringLiteral("state %1").arg(state)); });
        connect(r, &KestRenderer::mediaChanged, rx, [add](int index, const KestContent &content) {
            add(QStringLiteral("media %1 %2").arg(index).arg(content.uuid()));
        });
        connect(r, &KestRenderer::playlistChanged, rx,
                [add](KestPlaylist *playlist) { add(QStringLiteral("playlist %1").arg(playlist != nullptr)); });
        connect(r, &KestRenderer::playbackCompleted, rx, [add] { add(QStringLiteral("completed")); });
        connect(r, &KestRenderer::metadataChanged, rx, [add](const QString &metadata, const QList<QVariant> &values) {
            QStringList texts;
            for (const QVariant &value : values)
                texts << value.toString();
            add(QStringLiteral("metadata %1 %2").arg(metadata, texts.join(QLatin1Char(','))));
        });
        connect(r, &KestRenderer::bufferingInfo, rx,
                [add](float status) { add(QStringLiteral("buffering %1").arg(status)); });
        connect(r, &KestRenderer::scanningInfo, rx,
                [add](float status) { add(QStringLiteral("scanning %1").arg(status)); });
        connect(r, &KestRenderer::error, rx,
                [add](const KestError &e) { add(QStringLiteral("rendererror %1 %2").arg(e.code()).arg(e.text())); });
        connect(source(), &KestSource::kestPropertyChanged, rx, [add](const QString &name, const QVariant &value) {
            add(QStringLiteral("property %1 %2").arg(name, value.toString()));
        });
    }

    void init()
    {
        // Receivers that the last test left with the renderer are called now, late.
        peer("CallBackKept");
        peer("Reset");
        m_signals.events.clear();
        m_receiver = std::make_unique<KestReceiver>();
    }

    void loopback_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QVariantList>("script"); // member, outcome, arguments
        QTest::addColumn<QString>("seen");
        QTest::addColumn<QString>("got");
        const auto row = [](const char *name, const char *op, const QVariantList &args, const QVariantList &script,
                            const char *seen, const char *got) {
            QTest::newRow(name) << QString::fromLatin1(op) << args << script << QString::fromUtf8(seen)
                                << QString::fromUtf8(got);
        };
        const char *done = "error 0 Playback request successful";
        const QVariantList none;
        row("play", "command play", none, none, "play", done);
        row("play refused", "command play", none, answer("play", "error"), "play",
            "error 3 The renderer refused play.");
        row("play uri", "command play_uri", list({text("file:///a%20b.ogg"), 7u}), none, "play file:///a b.ogg 7",
            done);
        row("play uri content type", "command play_uri_content_type", list({text("http://h/x"), text("audio/ogg")}),
            none, "play http://h/x audio/ogg", done);
        row("play not a uri", "command play_uri", list({text("http://exa mple/"), 1u}), none, "",
            "error 3 Not a URI: http://exa mple/");
        row("stop", "command stop", none, none, "stop", done);
        row("pause", "command pause", none, none, "pause", done);
        row("pause at", "command pause_at", list({5u}), none, "pauseAt 5", done);
        row("resume", "command resume", none, none, "resume", done);
        row("next", "command next", none, none, "next", done);
        row("previous", "command previous", none, none, "previous", done);
        row("goto index", "command goto_index", list({2u}), none, "gotoIndex 2", done);
        row("set position", "command set_position", list({-5, 1}), none, "setPosition -5 1", done);
        row("no such seek mode", "command set_position", list({3, 7}), none, "", "error 3 There is no seek mode 7.");
        row("playlist taken away", "command assign_playlist", list({QString()}), none, "assignPlaylist none", done);
        row("unknown playlist", "command assign_playlist", list({text("nothere")}), none, "",
            "error 3 There is no playlist nothere.");
        const QVariantList status{text("pl"), 2u, 1, text("obj")};
        row("status", "status", none, answer("getStatus", "reply", status), "getStatus", "status pl 2 1 obj|error 0 ");
        row("status later", "status", none, answer("getStatus", "later", status), "getStatus",
            "status pl 2 1 obj|error 0 ");
        row("status refused", "status", none, answer("getStatus", "error"), "getStatus",
            "error 3 The renderer cannot tell its status.");
        row("position", "position", none, answer("getPosition", "reply", list({42u})), "getPosition", "position 42");
        row("position later", "position", none, answer("getPosition", "later", list({43u})), "getPosition",
            "position 43");
        row("position never", "position", none, answer("getPosition", "noreply", list({44u})), "getPosition",
            "error 3 The renderer did not answer in time.");
        row("media info", "mediainfo now", none,
            answer("getCurrentMediaInfo", "reply", list({text("u1"), text("title"), text("Song")})),
            "getCurrentMediaInfo now", "media info u1");
        row("property without a value", "property volume", none, none, "kestProperty volume", "volume (invalid)");
        row("property set", "setproperty volume", list({9}), none, "setKestProperty volume 9", "volume=9");
        row("property read back", "property volume", none, none, "kestProperty volume", "volume 9");
        row("property refused", "property volume", none, answer("kestProperty", "error"), "kestProperty volume",
            "volume (invalid)");
        row("state", "emit stateChanged", list({2}), none, "", "state 2");
        row("media", "emit mediaChanged", list({3, text("obj")}), none, "", "media 3 obj");
        row("playlist", "emit playlistChanged", none, none, "", "playlist 0");
        row("playback completed", "emit playbackCompleted", none, none, "", "completed");
        row("metadata", "emit metadataChanged", list({text("m"), 1, text("x")}), none, "", "metadata m 1,x");
        row("buffering", "emit bufferingInfo", list({0.25}), none, "", "buffering 0.25");
        row("scanning", "emit scanningInfo", list({0.5}), none, "", "scanning 0.5");
        row("renderer error", "emit error", list({7, text("bad")}), none, "", "rendererror 7 bad");
        row("dynamic property set by the application", "emit setProperty", list({text("gain"), 3}), none, "", "");
        row("browse delivered inside the call", "browse", none,
            answer("browse", "reply", list({7u, 3, text("inside last")})), "browse s1::  t 0 0",
            "row 7 o0 0 2 t=T0|row 7 o1 1 1 t=T1|row 7 o2 2 0 t=T2|completed");
        row("browse from the event loop, in batches", "browse", none,
            answer("browse", "reply", list({8u, 250, text("last")})), "browse s1::  t 0 0",
            "row 8 o0 0 249 t=T0|...|completed|(251)");
        row("browse error", "browse", none, answer("browse", "reply", list({9u, 1, text("inside error")})),
            "browse s1::  t 0 0", "row 9 o0 0 1 t=T0|error 9 5 broken");
        row("browse refused", "browse", none, answer("browse", "error"), "browse s1::  t 0 0", "not started");
        // The end of a cancelled browse is told too, so the caller forgets it.
        row("browse cancelled", "cancel", none, answer("browse", "reply", list({13u, 0, text("never")})),
            "browse s1::  t 0 0|cancelBrowse 13", "completed");
        row("query", "query", none, answer("query", "reply", list({11u, 2, text("inside last")})), "query q",
            "row 11 q0,q 0 1|row 11 q1,q 1 0");
        // Ended by the source with code 0 after rows that said more would come: the last batch says none does.
        row("query ended", "query", none, answer("query", "reply", list({14u, 2, text("end")})), "query q",
            "row 14 q0,q 0 1|row 14 q1,q 1 0");
        row("query error", "query", none, answer("query", "reply", list({12u, 1, text("error")})), "query q",
            "row 12 q0,q 0 1|error 12 5 broken");
        row("query refused", "query", none, answer("query", "error"), "query q", "not started");
        row("source property set", "sourcesetproperty mode", list({text("shuffle")}), none,
            "setKestProperty mode shuffle", "property mode shuffle");
        row("source property", "sourceproperty mode", none, none, "kestProperty mode", "mode shuffle");
        row("source property changed", "emit kestPropertyChanged", list({text("x"), 1}), none, "", "property x 1");
        row("activate", "plugin activate", none, none, "activate", "");
        row("deactivate", "plugin deactivate", none, none, "deactivate", "");
    }

    void loopback()
    {
        QFETCH(QString, op);
        QFETCH(QVariantList, args);
        QFETCH(QVariantList, script);
        QFETCH(QString, seen);
        QFETCH(QString, got);
        if (!script.isEmpty())
            QVERIFY(m_peer.script(script.at(0).toString(), script.at(1).toString(), script.at(2).toList()));
        perform(op, args);
        QTRY_COMPARE(seenText(), seen);
        QTRY_COMPARE(this->got(), got);
        // Whatever the peer sent before it answers this has arrived: nothing more came.
        peer("Seen");
        QCoreApplication::processEvents();
        QCOMPARE(this->got(), got);
        if (op == QLatin1String("emit setProperty"))
            QTRY_COMPARE(renderer()->property("gain"), QVariant(3));
    }

    void hostileCalls_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QVariantList>("args");
        QTest::addColumn<QString>("error");
        const auto row = [](const char *kind, const char *member, const QVariantList &args, const char *error) {
            QTest::newRow(member) << QString::fromLatin1(kind) << QString::fromLatin1(member) << args
                                  << QString::fromLatin1(error);
        };
        const QString invalid = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs 3:");
        row("renderer", "play_uri", list({1u}), "org.freedesktop.DBus.Error.UnknownMethod");
        QTest::newRow("set_position") << QStringLiteral("renderer") << QStringLiteral("set_position") << list({1, 9})
                                      << invalid + QStringLiteral("There is no seek mode 9.");
        QTest::newRow("assign_playlist") << QStringLiteral("renderer") << QStringLiteral("assign_playlist")
                                         << list({QStringLiteral("1bad")})
                                         << invalid + QStringLiteral("There is no playlist 1bad.");
        QTest::newRow("empty property name")
            << QStringLiteral("extension") << QStringLiteral("get_extension_property") << list({QString()})
            << invalid + QStringLiteral("There is no property named .");
        QTest::newRow("Qt's own property")
            << QStringLiteral("extension") << QStringLiteral("get_extension_property") << list({QStringLiteral("_q_x")})
            << invalid + QStringLiteral("There is no property named _q_x.");
        const QVariant structure = QVariant::fromValue(KestQueryResultDBusStruct{1, {QStringLiteral("a")}});
        QTest::newRow("structure for a value")
            << QStringLiteral("extension") << QStringLiteral("set_extension_property")
            << list({QStringLiteral("n"), QVariant::fromValue(QDBusVariant(structure))})
            << invalid + QStringLiteral("The renderer cannot take a value of that type for n.");
        QTest::newRow("browse of nothing")
            << QStringLiteral("source") << QStringLiteral("browse")
            << list({QString(), QString(), QStringList(), 0u, 0u})
            << invalid + QStringLiteral("A browse needs an object id, and a predicate or keys.");
        QTest::newRow("cancel of no browse")
            << QStringLiteral("source") << QStringLiteral("cancel_browse") << list({999u})
            << invalid + QStringLiteral("There is no browse 999 of this caller.");
        QTest::newRow("cancel of no query")
            << QStringLiteral("source") << QStringLiteral("cancel_query") << list({999u})
            << invalid + QStringLiteral("There is no query 999 of this caller.");
    }

    // Refused before the local object sees anything.
    void hostileCalls()
    {
        QFETCH(QString, kind);
        QFETCH(QString, member);
        QFETCH(QVariantList, args);
        QFETCH(QString, error);
        const QDBusMessage reply = QDBusConnection::sessionBus().call(raw(kind, member, args));
        QVERIFY2(errorOf(reply).startsWith(error), qPrintable(errorOf(reply)));
        QCOMPARE(seenText(), QString());
    }

    void callersThatMisbehave()
    {
        KestTestPeer other;
        QVERIFY(other.start());
        const QString service = KestBusNames::sourceService(Plugin, SourceUuid);
        const QString path = KestBusNames::sourcePath(SourceUuid);
        const QString interface = KestBusNames::sourceInterface();
        const QVariantList browse{QStringLiteral("s1::"), QString(), QStringList{QStringLiteral("t")}, 0u, 0u};
        const auto scriptBrowse = [this](uint id, int rows, const char *how) {
            return m_peer.script(QStringLiteral("browse"), QStringLiteral("reply"), {id, rows, QLatin1String(how)});
        };

        // Only the caller that started a browse cancels it.
        QVERIFY(scriptBrowse(21, 0, "never"));
        QCOMPARE(source()->browse(QString(), QString(), {QStringLiteral("t")}, 0, 0, m_receiver.get(), BROWSE_SLOTS),
                 21u);
        QVERIFY(other.call(service, path, interface, QStringLiteral("cancel_browse"), {21u}));
        QVERIFY(other.waitForCallResults(1));
        QCOMPARE(other.callResults().at(0).value(QStringLiteral("errorText")).toString(),
                 QStringLiteral("3:There is no browse 21 of this caller."));
        source()->cancelBrowse(21);
        QTRY_COMPARE(seenText(), QStringLiteral("browse s1::  t 0 0|cancelBrowse 21"));

        // A caller without a result receiver has its browse ended, and cancelled at the source.
        QVERIFY(scriptBrowse(22, 1, "never"));
        QVERIFY(other.call(service, path, interface, QStringLiteral("browse"), browse));
        QTRY_VERIFY(seen().contains(QStringLiteral("cancelBrowse 22")));

        // So is a caller that leaves in the middle of a browse, and its calls waiting for the renderer go with it,
        // but only its own.
        QVERIFY(scriptBrowse(23, 0, "never"));
        QVERIFY(other.call(service, path, interface, QStringLiteral("browse"), browse));
        QVERIFY(other.waitForCallResults(3));
        peer("CallBackKept");
        QVERIFY(m_peer.script(QStringLiteral("getPosition"), QStringLiteral("noreply"), {7u}));
        QDBusPendingCallWatcher mine(QDBusConnection::sessionBus().asyncCall(
            raw(QStringLiteral("renderer"), QStringLiteral("get_position"), {})));
        QVERIFY(other.call(KestBusNames::rendererService(Plugin, RendererUuid),
                           KestBusNames::rendererPath(RendererUuid), KestBusNames::rendererInterface(),
                           QStringLiteral("get_position")));
        QTRY_COMPARE(seen().count(QStringLiteral("getPosition")), 2);
        const QString otherName = other.uniqueName();
        other.kill();
        QTRY_VERIFY(seen().contains(QStringLiteral("cancelBrowse 23")));
        QVERIFY(KestTestBus::waitForNoOwner(otherName));
        QCOMPARE(peer("CallBackKept").toInt(), 2);
        QTRY_VERIFY(mine.isFinished());
        QCOMPARE(mine.reply().arguments(), list({7u}));

        // A caller that has left before its browse is taken in has it cancelled all the same.
        KestTestPeer fleeting;
        QVERIFY(fleeting.start() && scriptBrowse(25, 0, "never"));
        m_peer.setStopped(true);
        QVERIFY(fleeting.call(service, path, interface, QStringLiteral("browse"), browse));
        const QString fleetingName = fleeting.uniqueName();
        fleeting.kill();
        QVERIFY(KestTestBus::waitForNoOwner(fleetingName));
        m_peer.setStopped(false);
        QTRY_VERIFY(seen().contains(QStringLiteral("cancelBrowse 25")));

        // Requests in progress, calls waiting and rows waiting are bounded per caller.
        QDBusConnection bus = QDBusConnection::sessionBus();
        QVERIFY(scriptBrowse(100, 0, "never count"));
        for (uint id = 100; id < 164; ++id)
            QCOMPARE(bus.call(raw(QStringLiteral("source"), QStringLiteral("browse"), browse)).arguments(), list({id}));
        QVERIFY(errorOf(bus.call(raw(QStringLiteral("source"), QStringLiteral("browse"), browse)))
                    .startsWith(QStringLiteral("org.freedesktop.DBus.Error.LimitsExceeded 3:")));
        for (uint id = 100; id < 164; ++id)
            bus.call(raw(QStringLiteral("source"), QStringLiteral("cancel_browse"), {id}));
        QVERIFY(scriptBrowse(30, 6000, "inside never big"));
        QCOMPARE(errorOf(bus.call(raw(QStringLiteral("source"), QStringLiteral("browse"), browse))),
                 QStringLiteral("org.freedesktop.DBus.Error.LimitsExceeded 3:The source delivered more rows at once "
                                "than can wait to be sent."));
        QVERIFY(seen().contains(QStringLiteral("cancelBrowse 30")));

        QVERIFY(m_peer.script(QStringLiteral("getPosition"), QStringLiteral("noreply")));
        QMap<QString, int> errors;
        for (int i = 0; i < 300; ++i) {
            auto *watcher = new QDBusPendingCallWatcher(
                bus.asyncCall(raw(QStringLiteral("renderer"), QStringLiteral("get_position"), {})), this);
            connect(watcher, &QDBusPendingCallWatcher::finished, this, [&errors](QDBusPendingCallWatcher *w) {
                ++errors[w->error().name() + QLatin1Char(' ') + w->error().message()];
                w->deleteLater();
            });
        }
        QTRY_COMPARE_WITH_TIMEOUT(errors.value(QStringLiteral("org.freedesktop.DBus.Error.Failed 3:The renderer did "
                                                              "not answer in time.")),
                                  256, 10000);
        QCOMPARE(errors.value(QStringLiteral("org.freedesktop.DBus.Error.LimitsExceeded 3:Too many calls are waiting "
                                             "for the renderer.")),
                 44);
        // The renderer still holds its receivers and may call them, late: nothing breaks, nothing more is sent.
        QCOMPARE(peer("CallBackKept").toInt(), 256);
        QVERIFY(m_peer.script(QStringLiteral("getPosition"), QStringLiteral("reply"), {5u}));
        QCOMPARE(bus.call(raw(QStringLiteral("renderer"), QStringLiteral("get_position"), {})).arguments(), list({5u}));
    }

    // What another D-Bus implementation reads from the wire.
    void wire()
    {
        const auto script = [this](const char *member, const char *outcome, const QVariantList &arguments) {
            return m_peer.script(QLatin1String(member), QLatin1String(outcome), arguments);
        };
        QVERIFY(script("getPosition", "reply", {42u}));
        QVERIFY(script("getStatus", "later", {QStringLiteral("pl"), 2u, 1, QStringLiteral("obj")}));
        QVERIFY(script("getCurrentMediaInfo", "reply", {QStringLiteral("u1"), QStringLiteral("title"), 7}));
        QVERIFY(script("play", "error", {}));
        QVERIFY(script("kestProperty", "reply", {}));
        QVERIFY(script("browse", "reply", {31u, 2, QStringLiteral("inside types end")}));
        QVERIFY(script("query", "reply", {32u, 0, QStringLiteral("end")}));
        peer("Emit", {QString(), QString(), QStringLiteral("setProperty"), list({QStringLiteral("gain"), 3})});
        QProcess client;
        client.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        client.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(KEST_SDK_CLIENT), KestBusNames::rendererService(Plugin, RendererUuid),
                      KestBusNames::rendererPath(RendererUuid), KestBusNames::sourceService(Plugin, SourceUuid),
                      KestBusNames::sourcePath(SourceUuid), KestBusNames::proxySourcePath(SourceUuid)});
        QVERIFY(client.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return client.state() == QProcess::NotRunning; }, 30000));
        const QString types = QStringLiteral("bool:20=1,double:60=0.1,empty:64=,int:24=-123456,int64:40=-5000000000,"
                                             "t:64=T%1,title:64=Caf\u00e9,uint:28=4000000000,"
                                             "uint64:44=18000000000000000000");
        QCOMPARE(QString::fromUtf8(client.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts),
                 QStringList(
                     {QStringLiteral("get_position u [42]"), QStringLiteral("get_status suis [pl 2 1 obj]"),
                      QStringLiteral("get_current_media_info (sa{sav}) [[u1 {title=[i1:7]}]]"),
                      QStringLiteral("play error org.freedesktop.DBus.Error.Failed 3:The renderer refused play."),
                      QStringLiteral("set_position error org.freedesktop.DBus.Error.InvalidArgs 3:There is no "
                                     "seek mode 9."),
                      QStringLiteral("get_name s [Recorded renderer]"),
                      QStringLiteral("get_extension_property sv [gain i1:3]"),
                      QStringLiteral("get_extension_property error org.freedesktop.DBus.Error.Failed 3:There is "
                                     "no value of nothing that can travel on the bus."),
                      QStringLiteral("browse u [31]"), QStringLiteral("browse_result ua(iusaysus) 31 2"),
                      QStringLiteral("  row 2 0 o0 ") + types.arg(0) + QStringLiteral("  0 "),
                      QStringLiteral("  row 1 1 o1 ") + types.arg(1) + QStringLiteral("  0 "),
                      QStringLiteral("browse_result ua(iusaysus) 31 0"), QStringLiteral("query u [32]"),
                      QStringLiteral("query_result uia(uas)is 32 0 [] 0 ''")}));
    }

    void unpublishingAndTrackingOnesOwn()
    {
        // A second plugin process that tracks as well: its own components are the objects themselves.
        KestTestPeer tracking{QStringLiteral("kest-sdk-peer")};
        QVERIFY(tracking.start({}, {},
                               {QStringLiteral("--plugin"), QStringLiteral("other"), QStringLiteral("--renderer"),
                                QStringLiteral("r2"), QStringLiteral("--source"), QStringLiteral("s2"),
                                QStringLiteral("--track")}));
        const auto registered = [&tracking] {
            QStringList ids = tracking.control(QStringLiteral("Registered")).arguments().value(0).toStringList();
            ids.sort();
            return ids.join(QLatin1Char(','));
        };
        const QString all = QStringLiteral("r1 KestProxyRenderer,r2 KestRecordingRenderer,s1 KestProxySource,s2 "
                                           "KestRecordingSource");
        QTRY_COMPARE(registered(), all);
        QTRY_VERIFY(KestRegistry::instance()->findRenderer(QStringLiteral("r2")));

        // A name that another process owns refuses a publication, which leaves nothing behind: once the name is
        // free, the renderer is published.
        KestTestPeer squatter;
        const QString taken = KestBusNames::rendererService(QStringLiteral("mine"), QStringLiteral("r9"));
        QVERIFY(squatter.start({taken, KestBusNames::pluginService(QStringLiteral("mine"))}));
        auto *mine = new KestRenderer(QStringLiteral("r9"), QStringLiteral("mine"));
        KestPluginControlInterface control;
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("is taken")));
        QVERIFY(!KestShared::instance()->publishRenderer(mine));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("is taken")));
        QVERIFY(!KestShared::instance()->publishPlugin(QStringLiteral("mine"), &control));
        QVERIFY(squatter.releaseName(taken));
        QVERIFY(KestShared::instance()->publishRenderer(mine));
        QVERIFY(KestShared::instance()->unPublishRenderer(mine));
        delete mine;

        // Unpublished, the components leave the bus and other trackers' registries, and stay alive.
        QVERIFY(peer("Unpublish").toBool());
        QVERIFY(!KestTestBus::hasOwner(KestBusNames::rendererService(Plugin, RendererUuid)));
        QVERIFY(!KestTestBus::hasOwner(KestBusNames::pluginService(Plugin)));
        QTRY_VERIFY(!renderer() && !source());
        QTRY_COMPARE(registered(), QStringLiteral("r2 KestRecordingRenderer,s2 KestRecordingSource"));
        QVERIFY(!peer("Unpublish").toBool());
        QVERIFY(peer("Publish").toBool());
        QTRY_VERIFY(renderer() && source());
        QTRY_COMPARE(registered(), all);
    }
};

QTEST_GUILESS_MAIN(PublishedTest)
#include "tst_kestpublished.moc"
