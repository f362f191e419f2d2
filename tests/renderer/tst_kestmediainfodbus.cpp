// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// KestMediaInfo's (sa{sav}) checked against python-dbus: a renderer written in Python answers
// get_current_media_info with a struct of its own making, and reports how ours arrives.

#include "kestbusnames_p.h"
#include "kestinternalregistry.h"
#include "kestmediainfodbus.h"
#include "kestproxyrenderer.h"
#include "kesttestbus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {
const QString Python = QStringLiteral("/usr/bin/python3");
const QString Plugin = QStringLiteral("python");
const QString Uuid = QStringLiteral("py1");
} // namespace

class MediaInfoReceiver : public QObject
{
    Q_OBJECT
public:
    QList<KestMediaInfo> received;
public Q_SLOTS:
    void onMediaInfo(KestRenderer *, const KestMediaInfo &info) { received.append(info); }
};

class MediaInfoDBusTest : public QObject
{
    Q_OBJECT

    QProcess m_python;

    // The python peer's own description of a KestMediaInfo that we marshalled.
    QJsonObject describe(const KestMediaInfo &info)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(KestBusNames::rendererService(Plugin, Uuid),
                                                           KestBusNames::rendererPath(Uuid),
                                                           KestBusNames::rendererInterface(),
                                                           QStringLiteral("describe_media_info"));
        call << QVariant::fromValue(info);
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            qWarning() << reply.errorMessage();
            return QJsonObject();
        }
        return QJsonDocument::fromJson(reply.arguments().value(0).toString().toUtf8()).object();
    }

private Q_SLOTS:
    void initTestCase()
    {
        qDBusRegisterMetaType<KestMediaInfo>();
        if (QProcess::execute(Python, {QStringLiteral("-c"), QStringLiteral("import dbus, gi.repository.GLib")}) != 0)
            QSKIP("python3 with dbus and gi is not available");
        m_python.setProcessChannelMode(QProcess::ForwardedChannels);
        m_python.start(Python,
                       {QStringLiteral(KEST_MEDIAINFO_PEER), KestBusNames::rendererService(Plugin, Uuid),
                        KestBusNames::rendererPath(Uuid), KestBusNames::rendererInterface()});
        QVERIFY(m_python.waitForStarted());
        QVERIFY(KestTestBus::waitForOwner(KestBusNames::rendererService(Plugin, Uuid)));
    }

    void cleanupTestCase()
    {
        m_python.kill();
        m_python.waitForFinished();
    }

    void writesSortedKeysAndVariants()
    {
        KestMediaInfo info(QStringLiteral("media-9"));
        info.setMetaData({{QStringLiteral("title"), {QStringLiteral("Flamenco Sketches")}},
                          {QStringLiteral("artist"), {QStringLiteral("Miles Davis"), QStringLiteral("Bill Evans")}},
                          {QStringLiteral("duration"), {566u}}});
        const QJsonObject seen = describe(info);
        QCOMPARE(seen.value(QStringLiteral("signature")).toString(), QStringLiteral("(sa{sav})"));
        QCOMPARE(seen.value(QStringLiteral("uuid")).toString(), QStringLiteral("media-9"));
        // Each entry: the key, then per value the type inside its variant and the variant depth.
        const QJsonArray expected = QJsonDocument::fromJson(R"([
            ["artist", [["s", 1], ["s", 1]]],
            ["duration", [["u", 1]]],
            ["title", [["s", 1]]]
        ])")
                                        .array();
        QCOMPARE(seen.value(QStringLiteral("entries")).toArray(), expected);

        const QJsonObject empty = describe(KestMediaInfo(QStringLiteral("bare")));
        QCOMPARE(empty.value(QStringLiteral("signature")).toString(), QStringLiteral("(sa{sav})"));
        QCOMPARE(empty.value(QStringLiteral("entries")).toArray(), QJsonArray());
    }

    void readsWhatPythonBuilds()
    {
        KestProxyRenderer proxy(Uuid, Plugin, KestInternalRegistry::internalInstance(), QStringLiteral("Python"));
        proxy.catchStateChangedSignal(KestRenderer::Playing);
        MediaInfoReceiver receiver;
        QVERIFY(proxy.getCurrentMediaInfo(&receiver, SLOT(onMediaInfo(KestRenderer *, KestMediaInfo)),
                                          QStringLiteral("all")));
        QTRY_COMPARE(receiver.received.size(), 1);

        KestMediaInfo expected(QStringLiteral("py-uuid"));
        expected.setMetaData({{QStringLiteral("title"), {QStringLiteral("Blue in Green")}},
                              {QStringLiteral("artist"), {QStringLiteral("Miles Davis"), QStringLiteral("Bill Evans")}},
                              {QStringLiteral("duration"), {337u}},
                              {QStringLiteral("argument"), {QStringLiteral("all")}}});
        QCOMPARE(receiver.received.constFirst(), expected);
    }
};

QTEST_GUILESS_MAIN(MediaInfoDBusTest)
#include "tst_kestmediainfodbus.moc"
