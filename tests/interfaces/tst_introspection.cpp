// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// The objects the library exports, as another process sees them, against the interface files.
//
// Catches: an interface file that qdbusxml2cpp refuses (a custom structure without its type
// annotation, a broken file); an adaptor whose introspection is not its interface file (the out
// arguments of the delayed replies or the signals missing, a stale copy); a method in a file that
// the adaptor does not serve, or answers with another signature; a bus method added to an adaptor
// but not to its file; a signal that the adaptors send under a name or with arguments that the
// file does not declare.

#include "kestbusclient.h"
#include "kestinterfacexml.h"
#include "kesttestbus.h"
#include "kesttestpeer.h"

#include "kestbusnames_p.h"
#include <dbusadaptor.h>
#include <kestlocalplaylist.h>
#include <kestplaylistadaptor.h>
#include <kestplaylistmodeladaptor.h>
#include <kestproxysource.h>
#include <kestshared.h>

#include <QDir>
#include <QMetaMethod>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString Plugin = QStringLiteral("plug");
const QString Uuid = QStringLiteral("receiver1");
const QString Published = QStringLiteral("contract");

// What `gdbus introspect` (GLib, not Qt) is told about \a path on the test's own connection.
QByteArray introspect(const QString &path)
{
    QProcess gdbus;
    gdbus.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    gdbus.start(QStringLiteral("gdbus"),
                {QStringLiteral("introspect"), QStringLiteral("--session"), QStringLiteral("--dest"),
                 KestTestBus::uniqueName(), QStringLiteral("--object-path"), path, QStringLiteral("--xml")});
    // The answer comes from this process's event loop, so keep it running.
    if (!gdbus.waitForStarted() || !QTest::qWaitFor([&] { return gdbus.state() == QProcess::NotRunning; }, 20000))
        return QByteArray();
    return gdbus.readAllStandardOutput();
}

// A value of each type that the served methods take.
QVariant sampleValue(const QString &type)
{
    if (type == QLatin1String("i"))
        return 0;
    if (type == QLatin1String("u"))
        return 0u;
    if (type == QLatin1String("s"))
        return QLatin1String("");
    if (type == QLatin1String("a(iusaysus)"))
        return QVariant::fromValue(QList<KestBrowseResultDBusStruct>());
    if (type == QLatin1String("a(uas)"))
        return QVariant::fromValue(QList<KestQueryResultDBusStruct>());
    return QVariant();
}

} // namespace

class IntrospectionTest : public QObject
{
    Q_OBJECT
private:
    static QVariantList sampleArguments(const KestInterfaceXml &xml, const QString &method)
    {
        QVariantList arguments;
        for (const KestInterfaceXml::Argument &argument : xml.inArguments(method))
            arguments << sampleValue(argument.type);
        return arguments;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(KestShared::instance()->initialize(KestShared::TrackPlaylists));
        auto *playlist = new KestLocalPlaylist(Published, QStringLiteral("Contract"), nullptr);
        playlist->appendItem(KestContent(QStringLiteral("a")));
        QVERIFY(KestShared::instance()->publishPlaylist(playlist));

        QVERIFY(m_source.start({KestBusNames::sourceService(Plugin, Uuid)}, {KestBusNames::sourcePath(Uuid)}));
        m_proxy = std::make_unique<KestProxySource>(nullptr, Uuid, Plugin, QStringLiteral("Source"));
        QVERIFY(m_proxy->initDBusConnection());
    }

    void qtToolsAcceptTheInterfaceFiles()
    {
        const QStringList files = QDir(QStringLiteral(KEST_INTERFACE_DIR)).entryList({QStringLiteral("*.xml")});
        QCOMPARE(files.size(), 8);
        QTemporaryDir output;
        for (const QString &file : files) {
            QProcess tool;
            tool.start(QStringLiteral(KEST_QDBUSXML2CPP),
                       {QStringLiteral("-p"), output.filePath(QStringLiteral("proxy")), QStringLiteral("-a"),
                        output.filePath(QStringLiteral("adaptor")), QStringLiteral(KEST_INTERFACE_DIR "/") + file});
            QVERIFY(tool.waitForFinished());
            QVERIFY2(tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0
                         && tool.readAllStandardError().isEmpty(),
                     qPrintable(file));
        }
    }

    void introspectionIsTheInterfaceFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("interface");
        QTest::newRow("playlist") << KestBusNames::playlistPath(Published) << KestBusNames::playlistInterface();
        QTest::newRow("playlist model") << KestBusNames::playlistModelPath(Published)
                                        << KestBusNames::playlistModelInterface();
        QTest::newRow("source result receiver")
            << KestBusNames::proxySourcePath(Uuid) << KestBusNames::proxySourceInterface();
    }

    void introspectionIsTheInterfaceFile()
    {
        QFETCH(QString, path);
        QFETCH(QString, interface);
        const KestInterfaceXml file = KestInterfaceXml::fromFile(interface);
        QVERIFY(!file.isEmpty());
        const QMap<QString, KestInterfaceXml> live = KestInterfaceXml::parse(introspect(path));
        QVERIFY2(live.contains(interface), qPrintable(QStringList(live.keys()).join(QLatin1Char(' '))));
        QCOMPARE(live.value(interface).describe(), file.describe());
    }

    // QtDBus serves every public slot of an adaptor, declared or not.
    void adaptorsServeNothingUndeclared()
    {
        const QList<QPair<const QMetaObject *, QString>> adaptors = {
            {&KestPlaylistAdaptor::staticMetaObject, KestBusNames::playlistInterface()},
            {&KestPlaylistModelAdaptor::staticMetaObject, KestBusNames::playlistModelInterface()},
            {&DBusAdaptor::staticMetaObject, KestBusNames::proxySourceInterface()}};
        for (const auto &adaptor : adaptors) {
            const QMetaObject *meta = adaptor.first;
            QStringList served;
            for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
                const QMetaMethod method = meta->method(i);
                if (method.methodType() == QMetaMethod::Slot && method.access() == QMetaMethod::Public)
                    served << QString::fromLatin1(method.name());
            }
            served.sort();
            QCOMPARE(served, KestInterfaceXml::fromFile(adaptor.second).methodNames());
        }
    }

    // Every declared method answered with its declared out arguments, and every signal that the
    // adaptors send seen with its declared arguments, by a client that does not use Qt.
    void everyDeclaredMemberWorksAsDeclared()
    {
        if (!KestBusClient::isAvailable())
            QSKIP("No independent D-Bus client (/usr/bin/python3 with GLib's gi) on this machine");
        const QString id = QStringLiteral("served");
        const QList<QPair<QString, QString>> objects = {
            {KestBusNames::playlistPath(id), KestBusNames::playlistInterface()},
            {KestBusNames::playlistModelPath(id), KestBusNames::playlistModelInterface()}};
        KestBusClient client(KestBusNames::playlistService(id), QString(), QString());
        client.watch(KestBusNames::playlistInterface());
        client.watch(KestBusNames::playlistModelInterface());
        client.waitFor(QStringLiteral("playlist_created"));
        QStringList expectedReplies;
        for (const auto &object : objects) {
            const KestInterfaceXml xml = KestInterfaceXml::fromFile(object.second);
            for (const QString &method : xml.methodNames()) {
                client.callAt(object.first, object.second, method, xml.inSignature(method),
                              sampleArguments(xml, method));
                expectedReplies << method + QLatin1String(" (") + xml.outSignature(method) + QLatin1Char(')');
            }
        }
        QVERIFY(client.start());

        auto *playlist = new KestLocalPlaylist(id, QStringLiteral("Served"), nullptr);
        QVERIFY(KestShared::instance()->publishPlaylist(playlist));
        playlist->appendItem(KestContent(QStringLiteral("a")));
        playlist->appendItem(KestContent(QStringLiteral("b")));
        QVERIFY(playlist->setCurrentIndex(1));
        playlist->setRepeat(KestPlaylist::KestRepeatMode(1));
        QVERIFY(playlist->removeItem(0));
        playlist->shuffle();
        QVERIFY(client.finish());

        QStringList replies;
        for (int call = 0; call < expectedReplies.size(); ++call)
            replies << expectedReplies.at(call).section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ')
                    + client.reply(call).type;
        QCOMPARE(replies, expectedReplies);
        QVERIFY(!client.hasErrors());

        // Results are taken only from the source, so its own process calls the result receiver.
        const KestInterfaceXml receiver = KestInterfaceXml::fromFile(KestBusNames::proxySourceInterface());
        QStringList expectedResults;
        for (const QString &method : receiver.methodNames()) {
            QVERIFY(m_source.call(KestTestBus::uniqueName(), KestBusNames::proxySourcePath(Uuid),
                                  KestBusNames::proxySourceInterface(), method, sampleArguments(receiver, method)));
            expectedResults << method + QLatin1String(" (") + receiver.outSignature(method) + QLatin1Char(')');
        }
        QVERIFY(m_source.waitForCallResults(expectedResults.size()));
        QStringList results;
        const QList<QVariantMap> outcomes = m_source.callResults();
        for (const QVariantMap &outcome : outcomes)
            results << outcome.value(QStringLiteral("member")).toString()
                    + outcome.value(QStringLiteral("errorName")).toString() + QLatin1String(" (")
                    + outcome.value(QStringLiteral("signature")).toString() + QLatin1Char(')');
        QCOMPARE(results, expectedResults);

        QStringList seen;
        for (int i = 0; i < 2; ++i) {
            const KestInterfaceXml xml = KestInterfaceXml::fromFile(objects.at(i).second);
            for (const QString &signal : xml.signalNames()) {
                const QList<QVariantMap> sent = client.signalsNamed(signal);
                for (const QVariantMap &one : sent)
                    QCOMPARE(one.value(QStringLiteral("type")).toString(),
                             QLatin1Char('(') + xml.signalSignature(signal) + QLatin1Char(')'));
                if (!sent.isEmpty())
                    seen << signal;
            }
        }
        seen.sort();
        // item_moved and property_changed are followed by proxies but sent by nobody here.
        QCOMPARE(seen,
                 (QStringList{QStringLiteral("contents_changed"), QStringLiteral("model_reset"),
                              QStringLiteral("model_rows_inserted"), QStringLiteral("model_rows_removed"),
                              QStringLiteral("playlist_created"), QStringLiteral("playlist_updated"),
                              QStringLiteral("repeat_mode_changed")}));
    }

private:
    KestTestPeer m_source;
    std::unique_ptr<KestProxySource> m_proxy;
};

QTEST_GUILESS_MAIN(IntrospectionTest)
#include "tst_introspection.moc"
