// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// KestProxyRenderer against a renderer in another process: what goes over the wire, what comes
// back to the caller, and what happens when the renderer fails, stays silent or goes away.

#include "kestbusnames_p.h"
#include "kestinternalregistry.h"
#include "kestlocalplaylist.h"
#include "kestmediainfodbus.h"
#include "kestproxyrenderer.h"
#include "kestproxyrenderernamerequest.h"
#include "kestproxyrendererplaybackrequest.h"
#include "kestproxyrendererpositionrequest.h"
#include "kestproxyrendererstatusrequest.h"
#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <QDBusMetaType>
#include <QDBusVariant>
#include <QPointer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString Plugin = QStringLiteral("peerplugin");
const QString Uuid = QStringLiteral("r1");

// The callbacks a caller of the proxy hands over; records what arrives, in order.
class Receiver : public QObject
{
    Q_OBJECT
public:
    QStringList events;
    QVariantList values;
    KestError lastError;
    KestMediaInfo mediaInfo;

Q_SIGNALS:
    void notASlot(const QString &name);

public Q_SLOTS:
    void onStatus(KestRenderer *, const QString &playlistId, uint index, int state, const QString &objectId)
    {
        events << QStringLiteral("status");
        values = {playlistId, index, state, objectId};
    }
    void onPosition(KestRenderer *, uint position)
    {
        events << QStringLiteral("position");
        values = {position};
    }
    void onMediaInfo(KestRenderer *, const KestMediaInfo &info)
    {
        events << QStringLiteral("mediaInfo");
        mediaInfo = info;
    }
    void onProperty(const QString &name, const QVariant &value)
    {
        events << QStringLiteral("property");
        values = {name, value};
    }
    void onError(KestRenderer *, const KestError &error)
    {
        events << QStringLiteral("error");
        lastError = error;
    }
    void onName(const QString &name)
    {
        events << QStringLiteral("name");
        values = {name};
    }
};

// Deletes the renderer from inside the status member.
class DeletingReceiver : public QObject
{
    Q_OBJECT
public:
    explicit DeletingReceiver(KestRenderer *renderer)
        : m_renderer(renderer)
    {
    }
    bool deleted = false;

public Q_SLOTS:
    void onStatus(KestRenderer *, const QString &, uint, int, const QString &)
    {
        delete m_renderer;
        deleted = true;
    }

private:
    KestRenderer *m_renderer;
};

int pendingRequests(const QObject *proxy)
{
    return proxy->findChildren<KestProxyRendererRequest *>().size();
}

QVariant unwrapped(const QVariant &value)
{
    return value.userType() == qMetaTypeId<QDBusVariant>() ? qvariant_cast<QDBusVariant>(value).variant() : value;
}

const char InvalidErrorMessage[] = "KestProxyRendererRequest::handleError, received invalid error message.";

// The two warnings of an error text that carries no code: the complaint, then the text quoted.
void expectUncodedError()
{
    QTest::ignoreMessage(QtWarningMsg, InvalidErrorMessage);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^\".*\"$")));
}

void expectNameFailure()
{
    QTest::ignoreMessage(QtWarningMsg,
                         QRegularExpression(QStringLiteral("^KestProxyRenderer::getNameErrorCallback - "
                                                           "Fetching the name failed \\( ")));
}

KestMediaInfo sampleMediaInfo()
{
    KestMediaInfo info(QStringLiteral("media-1"));
    info.setMetaData({{QStringLiteral("title"), {QStringLiteral("So What")}},
                      {QStringLiteral("artist"), {QStringLiteral("Miles Davis"), QStringLiteral("John Coltrane")}},
                      {QStringLiteral("track"), {1}}});
    return info;
}

} // namespace

class ProxyRendererTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<KestProxyRenderer> newProxy(const QString &name = QStringLiteral("Living room"),
                                                const QString &plugin = Plugin, const QString &uuid = Uuid)
    {
        return std::make_unique<KestProxyRenderer>(uuid, plugin, KestInternalRegistry::internalInstance(), name);
    }

    // A peer serving the renderer of \a plugin and \a uuid under its composed name and path.
    static bool startRenderer(KestTestPeer &peer, const QString &plugin, const QString &uuid)
    {
        return peer.start({KestBusNames::rendererService(plugin, uuid)}, {KestBusNames::rendererPath(uuid)});
    }

    KestTestPeer m_peer;

private Q_SLOTS:
    void initTestCase()
    {
        qRegisterMetaType<KestError>();
        qRegisterMetaType<KestContent>();
        qRegisterMetaType<KestPlaylist *>();
        qRegisterMetaType<KestRenderer::State>();
        qDBusRegisterMetaType<KestMediaInfo>();
        QVERIFY(startRenderer(m_peer, Plugin, Uuid));
    }

    void init() { QVERIFY(m_peer.reset()); }

    void commandsGoOverTheWire()
    {
        auto proxy = newProxy();
        QCOMPARE(proxy->service(), KestBusNames::rendererService(Plugin, Uuid));
        QCOMPARE(proxy->objectPath(), KestBusNames::rendererPath(Uuid));
        auto *playlist = new KestLocalPlaylist(QStringLiteral("party"), QStringLiteral("Party"), nullptr);
        QVERIFY(KestInternalRegistry::internalInstance().addPlaylist(playlist));

        const QUrl url(QStringLiteral("http://example.com/my music/\u00e4.ogg"));
        QVERIFY(proxy->play());
        QVERIFY(proxy->play(url, 5u));
        QVERIFY(proxy->play(url, QStringLiteral("audio/ogg")));
        QVERIFY(proxy->stop());
        QVERIFY(proxy->pause());
        QVERIFY(proxy->pauseAt(3000));
        QVERIFY(proxy->resume());
        QVERIFY(proxy->next());
        QVERIFY(proxy->previous());
        QVERIFY(proxy->gotoIndex(4));
        QVERIFY(proxy->setPosition(-5, KestRenderer::SeekRelative));
        QVERIFY(proxy->assignPlaylist(playlist));
        QVERIFY(!proxy->assignPlaylist(nullptr));
        QVERIFY(QMetaObject::invokeMethod(proxy.get(), "unassignPlaylist"));
        QVERIFY(proxy->setKestProperty(QStringLiteral("volume"), 0.5));
        QVERIFY(m_peer.waitForCalls(QStringLiteral("set_extension_property")));

        const QString renderer = KestBusNames::rendererInterface();
        const QString extension = KestBusNames::extensionInterface();
        const QString encoded = QStringLiteral("http://example.com/my%20music/%C3%A4.ogg");
        const QList<KestRecordedCall> expected = {
            {{}, {}, renderer, QStringLiteral("play"), QString(), {}},
            {{}, {}, renderer, QStringLiteral("play_uri"), QStringLiteral("su"), {encoded, 5u}},
            {{},
             {},
             renderer,
             QStringLiteral("play_uri_content_type"),
             QStringLiteral("ss"),
             {encoded, QStringLiteral("audio/ogg")}},
            {{}, {}, renderer, QStringLiteral("stop"), QString(), {}},
            {{}, {}, renderer, QStringLiteral("pause"), QString(), {}},
            {{}, {}, renderer, QStringLiteral("pause_at"), QStringLiteral("u"), {3000u}},
            {{}, {}, renderer, QStringLiteral("resume"), QString(), {}},
            {{}, {}, renderer, QStringLiteral("next"), QString(), {}},
            {{}, {}, renderer, QStringLiteral("previous"), QString(), {}},
            {{}, {}, renderer, QStringLiteral("goto_index"), QStringLiteral("u"), {4u}},
            {{},
             {},
             renderer,
             QStringLiteral("set_position"),
             QStringLiteral("ii"),
             {-5, int(KestRenderer::SeekRelative)}},
            {{}, {}, renderer, QStringLiteral("assign_playlist"), QStringLiteral("s"), {QStringLiteral("party")}},
            {{}, {}, renderer, QStringLiteral("assign_playlist"), QStringLiteral("s"), {QString()}},
            {{},
             {},
             extension,
             QStringLiteral("set_extension_property"),
             QStringLiteral("sv"),
             {QStringLiteral("volume"), 0.5}},
        };
        // A proxy that has a name does not ask for it.
        const QList<KestRecordedCall> calls = m_peer.calls();
        QCOMPARE(calls.size(), expected.size());
        for (int i = 0; i < calls.size(); ++i) {
            const KestRecordedCall &call = calls.at(i);
            QCOMPARE(call.member, expected.at(i).member);
            QCOMPARE(call.interface, expected.at(i).interface);
            QCOMPARE(call.path, proxy->objectPath());
            QCOMPARE(call.signature, expected.at(i).signature);
            QCOMPARE(call.arguments.size(), expected.at(i).arguments.size());
            for (int a = 0; a < call.arguments.size(); ++a)
                QCOMPARE(unwrapped(call.arguments.at(a)), expected.at(i).arguments.at(a));
        }
        // Each empty reply completes its command; the value set is only sent, not stored.
        QTRY_COMPARE(pendingRequests(proxy.get()), 0);
        QVERIFY(!proxy->property("volume").isValid());
        QVERIFY(KestInternalRegistry::internalInstance().removePlaylist(QStringLiteral("party")));
    }

    void queriesReachTheirCallbacks()
    {
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_status"),
                                   {QStringLiteral("party"), 2u, int(KestRenderer::Playing), QStringLiteral("obj-7")}));
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_position"), {1234u}));
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_extension_property"),
                                   {QStringLiteral("volume"), QVariant::fromValue(QDBusVariant(42))}));
        auto proxy = newProxy();
        Receiver status, position, property;
        QString name = QStringLiteral("volume");
        QVERIFY(proxy->getStatus(&status, SLOT(onStatus(KestRenderer *, QString, uint, int, QString))));
        QVERIFY(proxy->getPosition(&position, SLOT(onPosition(KestRenderer *, uint))));
        QVERIFY(proxy->kestProperty(name, &property, SLOT(onProperty(QString, QVariant))));

        QTRY_COMPARE(pendingRequests(proxy.get()), 0);
        QCOMPARE(status.events, QStringList{QStringLiteral("status")});
        QCOMPARE(status.values, (QVariantList{QStringLiteral("party"), 2u, 1, QStringLiteral("obj-7")}));
        QCOMPARE(position.values, QVariantList{1234u});
        QCOMPARE(property.values, (QVariantList{QStringLiteral("volume"), 42}));
        QCOMPARE(proxy->property("volume"), QVariant(42));

        const KestRecordedCall get = m_peer.callsTo(QStringLiteral("get_extension_property")).value(0);
        QCOMPARE(get.interface, KestBusNames::extensionInterface());
        QCOMPARE(get.signature, QStringLiteral("s"));
        QCOMPARE(get.arguments, QVariantList{QStringLiteral("volume")});
        QCOMPARE(m_peer.callsTo(QStringLiteral("get_status")).value(0).signature, QString());
        QCOMPARE(m_peer.callsTo(QStringLiteral("get_position")).value(0).interface, KestBusNames::rendererInterface());
    }

    void nameIsFetchedWhenMissing()
    {
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_name"), {QStringLiteral("Kitchen")}));
        auto proxy = newProxy(QString());
        QSignalSpy named(proxy.get(), &KestRenderer::nameChanged);
        QVERIFY(named.wait());
        QCOMPARE(named.at(0).at(0).toString(), QStringLiteral("Kitchen"));
        QCOMPARE(proxy->name(), QStringLiteral("Kitchen"));
        QCOMPARE(m_peer.callsTo(QStringLiteral("get_name")).value(0).interface, KestBusNames::extensionInterface());
        QCOMPARE(pendingRequests(proxy.get()), 0);
    }

    void mediaInfoFollowsTheState()
    {
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_current_media_info"), {QVariant::fromValue(sampleMediaInfo())}));
        auto proxy = newProxy();
        QVERIFY(proxy->connectToRendererSignals());
        QSignalSpy states(proxy.get(), &KestRenderer::stateChanged);
        Receiver receiver;
        const char *member = SLOT(onMediaInfo(KestRenderer *, KestMediaInfo));
        auto setState = [&](int state) {
            states.clear();
            return m_peer.emitSignal(proxy->objectPath(), KestBusNames::rendererInterface(),
                                     QStringLiteral("state_changed"), {state})
                && states.wait() && int(qvariant_cast<KestRenderer::State>(states.at(0).at(0))) == state;
        };

        QVERIFY(!proxy->getCurrentMediaInfo(&receiver, member, QStringLiteral("full")));
        for (int state : {1, 2}) {
            QVERIFY(setState(state));
            QVERIFY(proxy->getCurrentMediaInfo(&receiver, member, QStringLiteral("full")));
            QTRY_COMPARE(receiver.events.size(), state);
            QCOMPARE(receiver.mediaInfo, sampleMediaInfo());
        }
        for (int state : {0, 3, 7, -1}) {
            QVERIFY(setState(state));
            QVERIFY(!proxy->getCurrentMediaInfo(&receiver, member, QStringLiteral("full")));
        }
        const QList<KestRecordedCall> calls = m_peer.callsTo(QStringLiteral("get_current_media_info"));
        QCOMPARE(calls.size(), 2);
        QCOMPARE(calls.at(0).signature, QStringLiteral("s"));
        QCOMPARE(calls.at(0).arguments, QVariantList{QStringLiteral("full")});
        QCOMPARE(calls.at(0).interface, KestBusNames::rendererInterface());

        // An empty map still travels as (sa{sav}).
        const KestMediaInfo bare(QStringLiteral("bare"));
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_current_media_info"), {QVariant::fromValue(bare)}));
        QVERIFY(setState(1));
        QVERIFY(proxy->getCurrentMediaInfo(&receiver, member, QString()));
        QTRY_COMPARE(receiver.events.size(), 3);
        QCOMPARE(receiver.mediaInfo, bare);
    }

    void remoteSignalsBecomeRendererSignals()
    {
        auto *playlist = new KestLocalPlaylist(QStringLiteral("known"), QStringLiteral("Known"), nullptr);
        QVERIFY(KestInternalRegistry::internalInstance().addPlaylist(playlist));
        auto proxy = newProxy();
        QVERIFY(proxy->connectToRendererSignals());
        KestProxyRenderer *p = proxy.get();
        QSignalSpy state(p, &KestRenderer::stateChanged), playlistChanged(p, &KestRenderer::playlistChanged),
            media(p, &KestRenderer::mediaChanged), completed(p, &KestRenderer::playbackCompleted),
            metadata(p, &KestRenderer::metadataChanged), buffering(p, &KestRenderer::bufferingInfo),
            scanning(p, &KestRenderer::scanningInfo), error(p, &KestRenderer::error);

        const QString path = proxy->objectPath();
        const QString renderer = KestBusNames::rendererInterface();
        auto emitRemote = [&](const char *signal, const QVariantList &arguments,
                              const QString &interface = KestBusNames::rendererInterface()) {
            return m_peer.emitSignal(path, interface, QLatin1String(signal), arguments);
        };
        // Only the process that owns the renderer's name speaks for it.
        KestTestPeer impostor;
        QVERIFY(impostor.start());
        QVERIFY(impostor.emitSignal(path, renderer, QStringLiteral("state_changed"), {99}));
        QVERIFY(impostor.emitSignal(path, KestBusNames::extensionInterface(), QStringLiteral("property_changed"),
                                    {QStringLiteral("volume"), QVariant::fromValue(QDBusVariant(99))}));
        QVERIFY(emitRemote("state_changed", {42}));
        QVERIFY(emitRemote("playlist_changed", {QStringLiteral("known")}));
        QVERIFY(emitRemote("playlist_changed", {QStringLiteral("unknown")}));
        QVERIFY(emitRemote("playlist_changed", {QString()}));
        QVERIFY(emitRemote("media_changed", {3, QStringLiteral("obj-3")}));
        QVERIFY(emitRemote("playback_completed", {}));
        QVERIFY(emitRemote("metadata_changed",
                           {QStringLiteral("title"), QVariant::fromValue(QVariantList{QStringLiteral("Blue"), 7})}));
        QVERIFY(emitRemote("buffering_info", {0.25}));
        QVERIFY(emitRemote("scanning_info", {0.75}));
        QVERIFY(emitRemote("property_changed", {QStringLiteral("volume"), QVariant::fromValue(QDBusVariant(11))},
                           KestBusNames::extensionInterface()));
        QVERIFY(emitRemote("error", {7, QStringLiteral("Decoder failed")}));
        QTRY_COMPARE(error.size(), 1);

        QCOMPARE(state.size(), 1);
        QCOMPARE(int(qvariant_cast<KestRenderer::State>(state.at(0).at(0))), 42);
        QCOMPARE(playlistChanged.size(), 3);
        QCOMPARE(qvariant_cast<KestPlaylist *>(playlistChanged.at(0).at(0)), playlist);
        QCOMPARE(qvariant_cast<KestPlaylist *>(playlistChanged.at(1).at(0)), nullptr);
        QCOMPARE(qvariant_cast<KestPlaylist *>(playlistChanged.at(2).at(0)), nullptr);
        QCOMPARE(media.at(0).at(0).toInt(), 3);
        QCOMPARE(qvariant_cast<KestContent>(media.at(0).at(1)).uuid(), QStringLiteral("obj-3"));
        QCOMPARE(completed.size(), 1);
        QCOMPARE(metadata.at(0).at(0).toString(), QStringLiteral("title"));
        QCOMPARE(metadata.at(0).at(1).toList(), (QVariantList{QStringLiteral("Blue"), 7}));
        QCOMPARE(buffering.at(0).at(0).toFloat(), 0.25f);
        QCOMPARE(scanning.at(0).at(0).toFloat(), 0.75f);
        QCOMPARE(qvariant_cast<KestError>(error.at(0).at(0)), KestError(7, QStringLiteral("Decoder failed")));
        // An announced property is stored locally and not echoed back.
        QCOMPARE(proxy->property("volume"), QVariant(11));
        QVERIFY(m_peer.callsTo(QStringLiteral("set_extension_property")).isEmpty());
        QVERIFY(KestInternalRegistry::internalInstance().removePlaylist(QStringLiteral("known")));
    }

    void remoteErrorTextsAreTranslated_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("code and text") << QStringLiteral("7:Device busy") << 7 << QStringLiteral("Device busy");
        QTest::newRow("leading blank") << QStringLiteral("7: Device busy") << 7 << QStringLiteral(" Device busy");
        QTest::newRow("further colons") << QStringLiteral("12:a:b: c") << 12 << QStringLiteral("a:b: c");
        QTest::newRow("code zero") << QStringLiteral("0:fine") << 0 << QStringLiteral("fine");
        QTest::newRow("negative code") << QStringLiteral("-4:low") << -4 << QStringLiteral("low");
        QTest::newRow("letters in code") << QStringLiteral("12a:odd") << 0 << QStringLiteral("odd");
        QTest::newRow("empty code") << QStringLiteral(":odd") << 0 << QStringLiteral("odd");
        QTest::newRow("no colon") << QStringLiteral("Device busy") << 3 << QStringLiteral("Device busy");
        QTest::newRow("empty") << QString() << 3 << QString();
    }

    void remoteErrorTextsAreTranslated()
    {
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(QString, message);
        QVERIFY(m_peer.scriptError(QStringLiteral("get_name"), text, QStringLiteral("com.zorvo.kesttest.Other")));
        if (!text.contains(QLatin1Char(':'))) {
            QTest::ignoreMessage(QtWarningMsg, InvalidErrorMessage);
            QTest::ignoreMessage(QtWarningMsg, qPrintable(QLatin1Char('"') + text + QLatin1Char('"')));
        }
        QTest::ignoreMessage(QtWarningMsg,
                             qPrintable(QStringLiteral("KestProxyRenderer::getNameErrorCallback - Fetching the name "
                                                       "failed ( %1 \"%2\" )")
                                            .arg(code)
                                            .arg(message)));
        auto proxy = newProxy(QString());
        QSignalSpy errors(proxy.get(), &KestRenderer::error);
        QVERIFY(errors.wait());
        QCOMPARE(qvariant_cast<KestError>(errors.at(0).at(0)), KestError(code, message));
        QVERIFY(proxy->name().isEmpty());
        QCOMPARE(pendingRequests(proxy.get()), 0);
    }

    void busErrorsAreTranslated()
    {
        // Nobody owns the service: the daemon's text has no colon.
        {
            expectUncodedError();
            expectNameFailure();
            auto proxy = newProxy(QString(), Plugin, QStringLiteral("nobody"));
            QSignalSpy errors(proxy.get(), &KestRenderer::error);
            QVERIFY(errors.wait());
            const KestError error = qvariant_cast<KestError>(errors.at(0).at(0));
            QCOMPARE(error.code(), 3);
            QVERIFY2(error.text().contains(proxy->service()), qPrintable(error.text()));
            QCOMPARE(pendingRequests(proxy.get()), 0);
        }
        // A reply of the wrong signature arrives as an error whose text has a colon.
        {
            QVERIFY(m_peer.scriptReply(QStringLiteral("get_name"), {42}));
            expectNameFailure();
            auto proxy = newProxy(QString());
            QSignalSpy errors(proxy.get(), &KestRenderer::error);
            QVERIFY(errors.wait());
            const KestError error = qvariant_cast<KestError>(errors.at(0).at(0));
            QCOMPARE(error.code(), 0);
            QVERIFY2(error.text().contains(QLatin1String("got \"i\"")), qPrintable(error.text()));
            QCOMPARE(pendingRequests(proxy.get()), 0);
        }
        // The renderer leaves the bus without answering.
        {
            KestTestPeer quitter;
            QVERIFY(startRenderer(quitter, Plugin, QStringLiteral("quitter")));
            QVERIFY(quitter.scriptExit(QStringLiteral("get_name")));
            expectUncodedError();
            expectNameFailure();
            auto proxy = newProxy(QString(), Plugin, QStringLiteral("quitter"));
            QSignalSpy errors(proxy.get(), &KestRenderer::error);
            QVERIFY(errors.wait());
            QCOMPARE(qvariant_cast<KestError>(errors.at(0).at(0)).code(), 3);
            QCOMPARE(pendingRequests(proxy.get()), 0);
        }
    }

    void silentRendererEndsInTheErrorPath()
    {
        // The test bus daemon gives up on an unanswered call after 5 s.
        QVERIFY(m_peer.scriptNoReply(QStringLiteral("get_position")));
        QVERIFY(m_peer.scriptNoReply(QStringLiteral("get_name")));
        // The daemon's text carries no code.
        expectUncodedError();
        expectUncodedError();
        expectNameFailure();
        auto proxy = newProxy(QString());
        QSignalSpy errors(proxy.get(), &KestRenderer::error);
        Receiver receiver;
        QVERIFY(proxy->getPosition(&receiver, SLOT(onPosition(KestRenderer *, uint))));
        QCOMPARE(pendingRequests(proxy.get()), 2);
        QTRY_COMPARE_WITH_TIMEOUT(pendingRequests(proxy.get()), 0, 20000);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(qvariant_cast<KestError>(errors.at(0).at(0)).code(), 3);
        QVERIFY(receiver.events.isEmpty());
    }

    void refusedCallsAreCompletedAtOnce()
    {
        auto proxy = newProxy();
        proxy->catchStateChangedSignal(KestRenderer::Playing);
        Receiver receiver;
        const QByteArray refused = "Callback check failed so no D-BUS method invocation was done.";
        for (int i = 0; i < 4; ++i)
            QTest::ignoreMessage(QtWarningMsg, refused.constData());

        QVERIFY(!proxy->getPosition(&receiver, SLOT(onStatus(KestRenderer *, QString, uint, int, QString))));
        QVERIFY(!proxy->getStatus(&receiver, SLOT(missing())));
        QVERIFY(!proxy->getCurrentMediaInfo(&receiver, SLOT(onPosition(KestRenderer *, uint)), QString()));
        QVERIFY(!proxy->getCurrentMediaInfo(nullptr, nullptr, QString()));
        QCOMPARE(pendingRequests(proxy.get()), 0);

        // An error receiver without a fitting member refuses the call as well.
        KestProxyRendererPositionRequest request(proxy.get(), proxy.get(), QStringLiteral("get_position"), &receiver,
                                                 SLOT(onName(QString)), &receiver,
                                                 SLOT(onPosition(KestRenderer *, uint)));
        QTest::ignoreMessage(QtWarningMsg, refused.constData());
        QVERIFY(!request.call());

        // Calls go out in order, so once play has arrived nothing else was sent before it.
        QVERIFY(proxy->play());
        QVERIFY(m_peer.waitForCalls(QStringLiteral("play")));
        QCOMPARE(m_peer.calls().size(), 1);
    }

    void destroyedReceiversAreNotCalled()
    {
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_status"), {QString(), 0u, 0, QString()}));
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_position"), {5u}));
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_current_media_info"), {QVariant::fromValue(sampleMediaInfo())}));
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_extension_property"),
                                   {QStringLiteral("volume"), QVariant::fromValue(QDBusVariant(9))}));
        auto proxy = newProxy();
        proxy->catchStateChangedSignal(KestRenderer::Paused);
        auto *receiver = new Receiver;
        QString name = QStringLiteral("volume");
        QVERIFY(proxy->getStatus(receiver, SLOT(onStatus(KestRenderer *, QString, uint, int, QString))));
        QVERIFY(proxy->getPosition(receiver, SLOT(onPosition(KestRenderer *, uint))));
        QVERIFY(proxy->getCurrentMediaInfo(receiver, SLOT(onMediaInfo(KestRenderer *, KestMediaInfo)), QString()));
        QVERIFY(proxy->kestProperty(name, receiver, SLOT(onProperty(QString, QVariant))));
        // Replies need the event loop, so they all arrive after this.
        delete receiver;
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^Callback slot invocation failed!")));
        QTRY_COMPARE(pendingRequests(proxy.get()), 0);
        QCOMPARE(proxy->property("volume"), QVariant(9));
    }

    void proxyDestroyedFromItsOwnCallbacks()
    {
        // An application that drops the renderer when it fails, or from a reply's member.
        QVERIFY(m_peer.scriptError(QStringLiteral("get_name"), QStringLiteral("7:gone")));
        QPointer<KestProxyRenderer> failing = new KestProxyRenderer(
            Uuid, Plugin, KestInternalRegistry::internalInstance(), QString(), nullptr);
        connect(failing, &KestRenderer::error, failing, [&failing] { delete failing; });
        expectNameFailure();
        QTRY_VERIFY(!failing);

        QVERIFY(m_peer.scriptReply(QStringLiteral("get_status"), {QString(), 0u, 0, QString()}));
        auto *proxy = newProxy().release();
        DeletingReceiver receiver(proxy);
        QVERIFY(proxy->getStatus(&receiver, SLOT(onStatus(KestRenderer *, QString, uint, int, QString))));
        QTRY_VERIFY(receiver.deleted);
    }

    void proxyDestroyedWithPendingRequests()
    {
        KestTestPeer silent;
        QVERIFY(startRenderer(silent, Plugin, QStringLiteral("silent")));
        for (const char *member : {"get_status", "get_position", "get_current_media_info", "get_extension_property"})
            QVERIFY(silent.scriptNoReply(QLatin1String(member)));
        Receiver receiver;
        QString name = QStringLiteral("volume");
        {
            auto proxy = newProxy(QStringLiteral("Silent"), Plugin, QStringLiteral("silent"));
            proxy->catchStateChangedSignal(KestRenderer::Playing);
            QVERIFY(proxy->getStatus(&receiver, SLOT(onStatus(KestRenderer *, QString, uint, int, QString))));
            QVERIFY(proxy->getPosition(&receiver, SLOT(onPosition(KestRenderer *, uint))));
            QVERIFY(proxy->getCurrentMediaInfo(&receiver, SLOT(onMediaInfo(KestRenderer *, KestMediaInfo)), QString()));
            QVERIFY(proxy->kestProperty(name, &receiver, SLOT(onProperty(QString, QVariant))));
            QVERIFY(silent.waitForCalls(QStringLiteral("get_extension_property")));
            QCOMPARE(pendingRequests(proxy.get()), 4);
        }
        // A second proxy's pending read tells when the renderer's departure has been noticed.
        auto witness = newProxy(QStringLiteral("Silent"), Plugin, QStringLiteral("silent"));
        Receiver witnessReceiver;
        QVERIFY(witness->kestProperty(name, &witnessReceiver, SLOT(onProperty(QString, QVariant))));
        QVERIFY(silent.waitForCalls(QStringLiteral("get_extension_property"), 2));
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("^KestProxyRendererPropertyRequest: Error:")));
        silent.kill();
        QTRY_COMPARE(witnessReceiver.events, QStringList{QStringLiteral("property")});
        QCOMPARE(witnessReceiver.values, (QVariantList{name, QVariant()}));
        QVERIFY(receiver.events.isEmpty());
    }

    void completionDeletesAtOnce()
    {
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_position"), {5u}));
        auto proxy = newProxy();
        Receiver receiver;
        for (int i = 0; i < 3; ++i)
            QVERIFY(proxy->getPosition(&receiver, SLOT(onPosition(KestRenderer *, uint))));
        proxy->completeRequest(nullptr);
        QCOMPARE(pendingRequests(proxy.get()), 3);

        // Completed before its reply, a request is gone at once and its reply reaches nobody;
        // the others still complete, whatever the order.
        QPointer<KestProxyRendererRequest> second = proxy->findChildren<KestProxyRendererRequest *>().at(1);
        proxy->completeRequest(second);
        QVERIFY(!second);
        QCOMPARE(pendingRequests(proxy.get()), 2);
        QTRY_COMPARE(pendingRequests(proxy.get()), 0);
        QCOMPARE(receiver.events, (QStringList{QStringLiteral("position"), QStringLiteral("position")}));
    }

    void requestsReportThroughTheErrorMember()
    {
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_status"), {QStringLiteral("p"), 1u, 2, QStringLiteral("o")}));
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_name"), {QStringLiteral("Hall")}));
        QVERIFY(m_peer.scriptError(QStringLiteral("get_extension_property"), QStringLiteral("5:No such property")));
        auto proxy = newProxy();
        KestProxyRenderer *p = proxy.get();
        const char *onError = SLOT(onError(KestRenderer *, KestError));

        // Success is reported through the error member with code 0.
        Receiver played;
        QVERIFY((new KestProxyRendererPlaybackRequest(p, p, QStringLiteral("play"), &played, onError))->call());
        // A status reply first, then the error member with code 0 and no text.
        Receiver status;
        QVERIFY((new KestProxyRendererStatusRequest(p, p, QStringLiteral("get_status"), &status, onError, &status,
                                                    SLOT(onStatus(KestRenderer *, QString, uint, int, QString))))
                    ->call());
        // A name member that is a signal, not a slot, cannot be invoked.
        Receiver named;
        QTest::ignoreMessage(QtWarningMsg, "Invoking the getName callback failed!");
        QVERIFY((new KestProxyRendererNameRequest(p, p, QStringLiteral("get_name"), &named, SIGNAL(notASlot(QString)),
                                                  nullptr, nullptr))
                    ->call());
        // A failed read hands the name and an invalid value to the result member, and no text.
        Receiver property;
        QString name = QStringLiteral("contrast");
        QTest::ignoreMessage(QtWarningMsg, "KestProxyRendererPropertyRequest: Error: \"5:No such property\"");
        QVERIFY(p->kestProperty(name, &property, SLOT(onProperty(QString, QVariant))));

        QTRY_COMPARE(pendingRequests(p), 0);
        QCOMPARE(played.events, QStringList{QStringLiteral("error")});
        QCOMPARE(played.lastError, KestError(0, QStringLiteral("Playback request successful")));
        QCOMPARE(status.events, (QStringList{QStringLiteral("status"), QStringLiteral("error")}));
        QCOMPARE(status.lastError, KestError(0, QString()));
        QVERIFY(named.events.isEmpty());
        QCOMPARE(property.events, QStringList{QStringLiteral("property")});
        QCOMPARE(property.values, (QVariantList{name, QVariant()}));
        QVERIFY(!p->property("contrast").isValid());
    }

    void propertyIsStoredWithoutAReceiver()
    {
        const QVariant high = QVariant::fromValue(QDBusVariant(QStringLiteral("high")));
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_extension_property"), {QStringLiteral("brightness"), high}));
        auto proxy = newProxy();
        Receiver receiver;
        QString name = QStringLiteral("brightness");
        const QRegularExpression failure(
            QStringLiteral("^Callback slot invocation failed! \\( m_errorReceiver=.* m_errorMember= 1missing\\(\\) "
                           "name= \"brightness\" variant= QVariant\\(QString, \"high\"\\) \\)$"));
        QTest::ignoreMessage(QtCriticalMsg, failure);
        QVERIFY(proxy->kestProperty(name, &receiver, "1missing()"));
        QTRY_COMPARE(pendingRequests(proxy.get()), 0);
        QCOMPARE(proxy->property("brightness"), QVariant(QStringLiteral("high")));
        QVERIFY(receiver.events.isEmpty());
    }
};

QTEST_GUILESS_MAIN(ProxyRendererTest)
#include "tst_kestproxyrenderer.moc"
