// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Catches: remote errors turned into the wrong code or text; signals taken from a non-owner, with wrong
// values or undeclared arguments; requests left pending or calling dead receivers or a proxy they destroyed;
// media info asked for outside playback, or its (sa{sav}) read or written unlike an independent implementation.

#include "kestbusnames_p.h"
#include "kestinterfacexml.h"
#include "kestinternalregistry.h"
#include "kestlocalplaylist.h"
#include "kestmediainfodbus.h"
#include "kestproxyrenderer.h"
#include "kestproxyrendererplaybackrequest.h"
#include "kestproxyrendererpositionrequest.h"
#include "kestproxyrendererstatusrequest.h"
#include "kestreceiver.h"
#include "kesttestbus.h"
#include "kesttestpeer.h"

#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

namespace {

const QString Plugin = QStringLiteral("peerplugin");
const QString Uuid = QStringLiteral("r1");

KestMediaInfo mediaInfo(const QString &uuid, const KestMediaInfo::MetaData &metadata)
{
    KestMediaInfo info(uuid);
    info.setMetaData(metadata);
    return info;
}

} // namespace

class ProxyRendererTest : public QObject
{
    Q_OBJECT

private:
    KestTestPeer m_peer;

    static int pending(const QObject *proxy) { return proxy->findChildren<KestProxyRendererRequest *>().size(); }

    std::unique_ptr<KestProxyRenderer> newProxy(const QString &name = QStringLiteral("Living room"),
                                                const QString &uuid = Uuid)
    {
        return std::make_unique<KestProxyRenderer>(uuid, Plugin, KestInternalRegistry::internalInstance(), name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        qDBusRegisterMetaType<KestMediaInfo>();
        QVERIFY(m_peer.start({KestBusNames::rendererService(Plugin, Uuid)}, {KestBusNames::rendererPath(Uuid)}));
    }

    void init() { QVERIFY(m_peer.reset()); }

    void errorsReachTheCaller_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message"); // a pattern
        // Remote renderers fail with "code:text"; a code that is no number reads as 0.
        const auto remote = [](const char *row, const char *text, int code, const char *message) {
            QTest::newRow(row) << QStringLiteral("error") << QString::fromLatin1(text) << code
                               << QString::fromLatin1(message);
        };
        remote("code and text", "7:Device busy", 7, "^Device busy$");
        remote("leading blank", "7: Device busy", 7, "^ Device busy$");
        remote("further colons", "12:a:b: c", 12, "^a:b: c$");
        remote("code zero", "0:fine", 0, "^fine$");
        remote("negative code", "-4:low", -4, "^low$");
        remote("letters in code", "12a:odd", 0, "^odd$");
        remote("empty code", ":odd", 0, "^odd$");
        remote("no colon", "Device busy", 3, "^Device busy$");
        remote("empty", "", 3, "^$");
        QTest::newRow("remote code under a bus error name")
            << QStringLiteral("bus error") << QStringLiteral("7:busy") << 7 << QStringLiteral("^busy$");
        // Failures of the bus itself; the daemon gives up on an unanswered call after 5 s.
        QTest::newRow("reply of another type")
            << QStringLiteral("reply") << QString() << 3 << QStringLiteral("^Unexpected reply signature: got \"i\"");
        QTest::newRow("nobody owns the name")
            << QStringLiteral("nobody") << QString() << 3 << QStringLiteral("peerplugin\\.nobody");
        QTest::newRow("renderer leaves") << QStringLiteral("exit") << QString() << 3 << QString();
        QTest::newRow("renderer stays silent") << QStringLiteral("silent") << QString() << 3 << QString();
    }

    void errorsReachTheCaller()
    {
        QFETCH(QString, fault);
        QFETCH(QString, text);
        QFETCH(int, code);
        QFETCH(QString, message);
        const QString member = QStringLiteral("get_name");
        KestTestPeer own;
        if (fault == QLatin1String("error"))
            QVERIFY(m_peer.scriptError(member, text, QStringLiteral("com.zorvo.kesttest.Other")));
        else if (fault == QLatin1String("bus error"))
            QVERIFY(m_peer.scriptError(member, text, QStringLiteral("org.freedesktop.DBus.Error.Failed")));
        else if (fault == QLatin1String("reply"))
            QVERIFY(m_peer.scriptReply(member, {42}));
        else if (fault != QLatin1String("nobody"))
            QVERIFY(own.start({KestBusNames::rendererService(Plugin, fault)}, {KestBusNames::rendererPath(fault)}));
        QVERIFY(fault != QLatin1String("exit") || own.scriptExit(member));
        QVERIFY(fault != QLatin1String("silent") || own.scriptNoReply(member));

        auto proxy = newProxy(QString(),
                              fault == QLatin1String("error") || fault == QLatin1String("bus error")
                                      || fault == QLatin1String("reply")
                                  ? Uuid
                                  : fault);
        QSignalSpy errors(proxy.get(), &KestRenderer::error);
        QVERIFY(errors.wait(20000));
        const KestError error = qvariant_cast<KestError>(errors.at(0).at(0));
        QCOMPARE(error.code(), code);
        QVERIFY2(QRegularExpression(message).match(error.text()).hasMatch(), qPrintable(error.text()));
        QVERIFY(proxy->name().isEmpty());
        QCOMPARE(pending(proxy.get()), 0);
    }

    void requestsComplete()
    {
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_current_media_info"),
                                   {QVariant::fromValue(KestMediaInfo(QStringLiteral("m")))}));
        auto proxy = newProxy();
        KestProxyRenderer *p = proxy.get();
        QVERIFY(proxy->connectToRendererSignals());
        KestReceiver receiver;
        // Media info is asked for only while playing or paused, and not before the renderer has told its state.
        QVERIFY(!proxy->getCurrentMediaInfo(&receiver, MEDIA_INFO_SLOT, QStringLiteral("full")));
        for (int state : {0, 1, 2, 3, 7, -1}) {
            QSignalSpy states(p, &KestRenderer::stateChanged);
            QVERIFY(m_peer.emitSignal(p->objectPath(), KestBusNames::rendererInterface(),
                                      QStringLiteral("state_changed"), {state}));
            QVERIFY(states.wait());
            QCOMPARE(proxy->getCurrentMediaInfo(&receiver, MEDIA_INFO_SLOT, QStringLiteral("full")),
                     state == KestRenderer::Playing || state == KestRenderer::Paused);
        }
        QTRY_COMPARE(receiver.all(), QStringLiteral("media info m|media info m"));
        QCOMPARE(m_peer.callsTo(QStringLiteral("get_current_media_info")).size(), 2);

        // Refused calls leave nothing pending.
        QVERIFY(m_peer.reset());
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_status"), {QStringLiteral("p"), 1u, 2, QStringLiteral("o")}));
        proxy->catchStateChangedSignal(KestRenderer::Playing);
        QVERIFY(!proxy->getPosition(&receiver, STATUS_SLOT));
        QVERIFY(!proxy->getStatus(&receiver, SLOT(missing())));
        QVERIFY(!proxy->getCurrentMediaInfo(&receiver, POSITION_SLOT, QString()));
        QVERIFY(!proxy->getCurrentMediaInfo(nullptr, nullptr, QString()));
        QVERIFY(!proxy->assignPlaylist(nullptr));
        QCOMPARE(pending(proxy.get()), 0);
        // An error receiver without a fitting member refuses the call as well.
        QVERIFY(!KestProxyRendererPositionRequest(p, p, QStringLiteral("get_position"), &receiver, POSITION_SLOT,
                                                  &receiver, POSITION_SLOT)
                     .call());
        // Calls go out in order, so once play has arrived nothing else was sent before it.
        QVERIFY(proxy->play());
        QVERIFY(m_peer.waitForCalls(QStringLiteral("play")));
        QCOMPARE(m_peer.calls().size(), 1);

        const char *onError = SLOT(onError(KestRenderer *, KestError));
        // Success is reported through the error member with code 0; after a status, without text.
        KestReceiver played, status;
        QVERIFY((new KestProxyRendererPlaybackRequest(p, p, QStringLiteral("play"), &played, onError))->call());
        QVERIFY((new KestProxyRendererStatusRequest(p, p, QStringLiteral("get_status"), &status, onError, &status,
                                                    STATUS_SLOT))
                    ->call());
        QTRY_COMPARE(pending(p), 0);
        QCOMPARE(played.events, QStringList{QStringLiteral("error 0 Playback request successful")});
        QCOMPARE(status.events, (QStringList{QStringLiteral("status p 1 2 o"), QStringLiteral("error 0 ")}));
    }

    // Another proxy of the same renderer was destroyed before: its signals must not reach it.
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
        // Each signal as its interface file declares it.
        const auto emitFrom = [p](KestTestPeer &peer, const char *signal, const QVariantList &arguments,
                                  const QString &interface = KestBusNames::rendererInterface()) {
            const KestInterfaceXml xml = KestInterfaceXml::fromFile(interface);
            const QString name = QLatin1String(signal);
            return xml.signalNames().contains(name)
                && KestInterfaceXml::signatureOf(arguments) == xml.signalSignature(name)
                && peer.emitSignal(p->objectPath(), interface, name, arguments);
        };
        const QString volume = QStringLiteral("volume");
        QVERIFY(proxy->setKestProperty(volume, 5));
        QVERIFY(!proxy->property("volume").isValid());
        // Only the process that owns the renderer's name speaks for it.
        KestTestPeer impostor;
        QVERIFY(impostor.start());
        QVERIFY(emitFrom(impostor, "state_changed", {99}));
        QVERIFY(emitFrom(impostor, "property_changed", {volume, QVariant::fromValue(QDBusVariant(99))},
                         KestBusNames::extensionInterface()));
        QVERIFY(emitFrom(m_peer, "state_changed", {42}));
        QVERIFY(emitFrom(m_peer, "playlist_changed", {QStringLiteral("known")}));
        QVERIFY(emitFrom(m_peer, "playlist_changed", {QStringLiteral("unknown")}));
        QVERIFY(emitFrom(m_peer, "playlist_changed", {QString()}));
        QVERIFY(emitFrom(m_peer, "media_changed", {3, QStringLiteral("obj-3")}));
        QVERIFY(emitFrom(m_peer, "playback_completed", {}));
        QVERIFY(emitFrom(m_peer, "metadata_changed",
                         {QStringLiteral("title"), QVariant::fromValue(QVariantList{QStringLiteral("Blue"), 7})}));
        QVERIFY(emitFrom(m_peer, "buffering_info", {0.25}));
        QVERIFY(emitFrom(m_peer, "scanning_info", {0.75}));
        QVERIFY(emitFrom(m_peer, "property_changed", {volume, QVariant::fromValue(QDBusVariant(11))},
                         KestBusNames::extensionInterface()));
        QVERIFY(emitFrom(m_peer, "error", {7, QStringLiteral("Decoder failed")}));
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
        QCOMPARE(metadata.at(0), (QVariantList{QStringLiteral("title"), QVariantList{QStringLiteral("Blue"), 7}}));
        QCOMPARE(buffering.at(0).at(0).toFloat(), 0.25f);
        QCOMPARE(scanning.at(0).at(0).toFloat(), 0.75f);
        QCOMPARE(qvariant_cast<KestError>(error.at(0).at(0)), KestError(7, QStringLiteral("Decoder failed")));
        // A property set is only sent; an announced one is stored locally and not echoed back.
        QCOMPARE(proxy->property("volume"), QVariant(11));
        QCOMPARE(m_peer.calls().size(), 1);
        QVERIFY(KestInternalRegistry::internalInstance().removePlaylist(QStringLiteral("known")));
    }

    void deadReceiversAndProxies()
    {
        QString name = QStringLiteral("volume");
        const auto requestAll = [&name](KestProxyRenderer *proxy, QObject *receiver) {
            return proxy->getStatus(receiver, STATUS_SLOT) && proxy->getPosition(receiver, POSITION_SLOT)
                && proxy->getCurrentMediaInfo(receiver, MEDIA_INFO_SLOT, QString())
                && proxy->kestProperty(name, receiver, PROPERTY_SLOT);
        };
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_status"), {QString(), 0u, 0, QString()}));
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_position"), {5u}));
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_current_media_info"), {QVariant::fromValue(KestMediaInfo())}));
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_extension_property"),
                                   {QStringLiteral("volume"), QVariant::fromValue(QDBusVariant(9))}));
        auto proxy = newProxy();
        proxy->catchStateChangedSignal(KestRenderer::Paused);
        auto *receiver = new KestReceiver;
        QVERIFY(requestAll(proxy.get(), receiver));
        // Replies need the event loop, so they all arrive after this. The value is kept anyway.
        delete receiver;
        QTRY_COMPARE(pending(proxy.get()), 0);
        QCOMPARE(proxy->property("volume"), QVariant(9));

        // An application that drops the renderer when it fails, or from a reply's member.
        QVERIFY(m_peer.scriptError(QStringLiteral("get_name"), QStringLiteral("7:gone")));
        QPointer<KestProxyRenderer> failing = newProxy(QString()).release();
        connect(failing, &KestRenderer::error, failing, [&failing] { delete failing; });
        QTRY_VERIFY(!failing);
        QPointer<KestProxyRenderer> dropped = newProxy().release();
        KestReceiver dropper;
        dropper.then = [&dropped] { delete dropped; };
        QVERIFY(dropped->getStatus(&dropper, STATUS_SLOT));
        QTRY_VERIFY(!dropped);

        // Proxies destroyed with requests pending at a silent renderer call nobody back.
        const QString uuid = QStringLiteral("silent");
        KestTestPeer silent;
        QVERIFY(silent.start({KestBusNames::rendererService(Plugin, uuid)}, {KestBusNames::rendererPath(uuid)}));
        for (const char *member : {"get_status", "get_position", "get_current_media_info", "get_extension_property"})
            QVERIFY(silent.scriptNoReply(QLatin1String(member)));
        KestReceiver waiting;
        {
            auto doomed = newProxy(QStringLiteral("Silent"), uuid);
            doomed->catchStateChangedSignal(KestRenderer::Playing);
            QVERIFY(requestAll(doomed.get(), &waiting));
            QVERIFY(silent.waitForCalls(QStringLiteral("get_extension_property")));
            QCOMPARE(pending(doomed.get()), 4);
        }
        // A second proxy's pending reads tell when the renderer's departure has been noticed: a
        // failed read hands the name and an invalid value, or media information without a uuid, to
        // the result member.
        auto witness = newProxy(QStringLiteral("Silent"), uuid);
        witness->catchStateChangedSignal(KestRenderer::Playing);
        KestReceiver witnessReceiver;
        QVERIFY(witness->getCurrentMediaInfo(&witnessReceiver, MEDIA_INFO_SLOT, QString()));
        QVERIFY(witness->kestProperty(name, &witnessReceiver, PROPERTY_SLOT));
        QVERIFY(silent.waitForCalls(QStringLiteral("get_extension_property"), 2));
        silent.kill();
        QTRY_COMPARE(witnessReceiver.events.size(), 2);
        witnessReceiver.events.sort();
        QCOMPARE(witnessReceiver.all(), QStringLiteral("media info |volume (invalid)"));
        QVERIFY(waiting.events.isEmpty());
    }

    void mediaInfoAgainstPython()
    {
        // A renderer written with python3-dbus answers with a struct of its own making, and tells
        // how ours arrives.
        const QString uuid = QStringLiteral("py1");
        const QString service = KestBusNames::rendererService(Plugin, uuid);
        QProcess python;
        python.setProcessChannelMode(QProcess::ForwardedChannels);
        python.start(QStringLiteral("/usr/bin/python3"),
                     {QStringLiteral(KEST_PYTHON_PEER), QStringLiteral("renderer"), service,
                      KestBusNames::rendererPath(uuid)});
        QVERIFY(python.waitForStarted());
        QVERIFY(KestTestBus::waitForOwner(service));

        auto proxy = newProxy(QStringLiteral("Python"), uuid);
        proxy->catchStateChangedSignal(KestRenderer::Playing);
        KestReceiver receiver;
        QVERIFY(proxy->getCurrentMediaInfo(&receiver, MEDIA_INFO_SLOT, QStringLiteral("all")));
        QTRY_COMPARE(receiver.events.size(), 1);
        QCOMPARE(receiver.mediaInfo,
                 mediaInfo(QStringLiteral("py-uuid"),
                           {{QStringLiteral("title"), {QStringLiteral("Blue in Green")}},
                            {QStringLiteral("artist"), {QStringLiteral("Miles Davis"), QStringLiteral("Bill Evans")}},
                            {QStringLiteral("duration"), {337u}}}));

        // Sorted keys, each value in a variant of its own.
        const auto describe = [&](const KestMediaInfo &info) {
            QDBusMessage call = QDBusMessage::createMethodCall(service, KestBusNames::rendererPath(uuid),
                                                               KestBusNames::rendererInterface(),
                                                               QStringLiteral("describe_media_info"));
            call << QVariant::fromValue(info);
            return QDBusConnection::sessionBus().call(call).arguments().value(0).toString();
        };
        QCOMPARE(describe(mediaInfo(QStringLiteral("m9"),
                                    {{QStringLiteral("title"), {QStringLiteral("Flamenco Sketches")}},
                                     {QStringLiteral("artist"), {QStringLiteral("Miles Davis"), QStringLiteral("B")}},
                                     {QStringLiteral("duration"), {566u}}})),
                 QStringLiteral("(sa{sav}) m9 artist:s1,s1 duration:u1 title:s1"));
        QCOMPARE(describe(KestMediaInfo(QStringLiteral("bare"))), QStringLiteral("(sa{sav}) bare"));
    }
};

QTEST_GUILESS_MAIN(ProxyRendererTest)
#include "tst_kestproxyrenderer.moc"
