// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Catches: an exported object whose introspection, seen from another process, is not its interface
// file (playlists, their models, result receivers, and published renderers, sources and plugins); an
// adaptor serving a method its file does not declare, or answering or signalling with other types
// than the file declares.

#include "kestbusclient.h"
#include "kestinterfacexml.h"
#include "kesttestbus.h"

#include "kestbusnames_p.h"
#include <dbusadaptor.h>
#include <kestlocalplaylist.h>
#include <kestplaylistadaptor.h>
#include <kestplaylistmodeladaptor.h>
#include <kestpluginadaptor.h>
#include <kestplugincontrolinterface.h>
#include <kestproxysource.h>
#include <kestrenderer.h>
#include <kestrendereradaptor.h>
#include <kestshared.h>
#include <kestsourceadaptor.h>

#include <QMetaMethod>
#include <QProcess>
#include <QTest>

Q_DECLARE_METATYPE(const QMetaObject *)

namespace {

const QString Uuid = QStringLiteral("receiver1");
const QString Published = QStringLiteral("contract");
const QString Plugin = QStringLiteral("plug");

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

} // namespace

class IntrospectionTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(KestShared::instance()->initialize(KestShared::TrackPlaylists));
        auto *playlist = new KestLocalPlaylist(Published, QStringLiteral("Contract"), nullptr);
        playlist->appendItem(KestContent(QStringLiteral("a")));
        QVERIFY(KestShared::instance()->publishPlaylist(playlist));
        QVERIFY(m_proxy.initDBusConnection());
        QVERIFY(KestShared::instance()->publishRenderer(new KestRenderer(Published, Plugin)));
        QVERIFY(KestShared::instance()->publishSource(new KestSource(nullptr, Published, Plugin)));
        QVERIFY(KestShared::instance()->publishPlugin(Plugin, &m_control));
    }

    void introspectionIsTheInterfaceFile_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("interface");
        QTest::addColumn<const QMetaObject *>("adaptor");
        QTest::newRow("playlist") << KestBusNames::playlistPath(Published) << KestBusNames::playlistInterface()
                                  << &KestPlaylistAdaptor::staticMetaObject;
        QTest::newRow("playlist model") << KestBusNames::playlistModelPath(Published)
                                        << KestBusNames::playlistModelInterface()
                                        << &KestPlaylistModelAdaptor::staticMetaObject;
        QTest::newRow("source result receiver")
            << KestBusNames::proxySourcePath(Uuid) << KestBusNames::proxySourceInterface()
            << &DBusAdaptor::staticMetaObject;
        QTest::newRow("renderer") << KestBusNames::rendererPath(Published) << KestBusNames::rendererInterface()
                                  << &KestRendererAdaptor::staticMetaObject;
        // Served by an adaptor that is not public.
        QTest::newRow("renderer extension") << KestBusNames::rendererPath(Published)
                                            << KestBusNames::extensionInterface() << (const QMetaObject *)nullptr;
        QTest::newRow("source") << KestBusNames::sourcePath(Published) << KestBusNames::sourceInterface()
                                << &KestSourceAdaptor::staticMetaObject;
        QTest::newRow("source extension") << KestBusNames::sourcePath(Published) << KestBusNames::extensionInterface()
                                          << (const QMetaObject *)nullptr;
        QTest::newRow("plugin") << KestBusNames::pluginPath(Plugin) << KestBusNames::pluginInterface()
                                << &KestPluginAdaptor::staticMetaObject;
    }

    void introspectionIsTheInterfaceFile()
    {
        QFETCH(QString, path);
        QFETCH(QString, interface);
        QFETCH(const QMetaObject *, adaptor);
        const KestInterfaceXml file = KestInterfaceXml::fromFile(interface);
        QVERIFY(!file.methodNames().isEmpty());
        const QMap<QString, KestInterfaceXml> live = KestInterfaceXml::parse(introspect(path));
        QVERIFY2(live.contains(interface), qPrintable(QStringList(live.keys()).join(QLatin1Char(' '))));
        QCOMPARE(live.value(interface).describe(), file.describe());
        if (!adaptor)
            return;

        // The bus library serves every public slot of an adaptor, declared or not.
        QStringList served;
        for (int i = adaptor->methodOffset(); i < adaptor->methodCount(); ++i) {
            const QMetaMethod method = adaptor->method(i);
            if (method.methodType() == QMetaMethod::Slot && method.access() == QMetaMethod::Public)
                served << QString::fromLatin1(method.name());
        }
        served.sort();
        QCOMPARE(served, file.methodNames());
    }

    // Every declared method answered with its declared out arguments, and every signal that the
    // adaptors send seen with its declared arguments, by clients that do not use Qt.
    void everyDeclaredMemberWorksAsDeclared()
    {
        const QString id = QStringLiteral("served");
        const QList<QPair<QString, QString>> objects = {
            {KestBusNames::playlistPath(id), KestBusNames::playlistInterface()},
            {KestBusNames::playlistModelPath(id), KestBusNames::playlistModelInterface()}};
        KestBusClient client(KestBusNames::playlistService(id), QString(), QString());
        client.watch(KestBusNames::playlistInterface());
        client.watch(KestBusNames::playlistModelInterface());
        client.waitFor(QStringLiteral("playlist_created"));
        QStringList expected;
        const QVariantMap samples{{QStringLiteral("s"), QString()}, {QStringLiteral("u"), 0u}}; // others: 0
        for (const auto &object : objects) {
            const KestInterfaceXml xml = KestInterfaceXml::fromFile(object.second);
            for (const QString &method : xml.methodNames()) {
                QVariantList arguments; // a value for each in argument
                for (const QString &type : xml.types(QStringLiteral("method ") + method, "in"))
                    arguments << samples.value(type, 0);
                client.callAt(object.first, object.second, method, xml.inSignature(method), arguments);
                expected << method + QLatin1String(" (") + xml.outSignature(method) + QLatin1Char(')');
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
        QVERIFY(!client.hasErrors());
        QStringList replies;
        for (int call = 0; call < expected.size(); ++call)
            replies << expected.at(call).section(QLatin1Char(' '), 0, 0) + QLatin1Char(' ') + client.reply(call).type;
        QCOMPARE(replies, expected);

        QStringList seen;
        for (const auto &object : objects) {
            const KestInterfaceXml xml = KestInterfaceXml::fromFile(object.second);
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
                 QStringLiteral("contents_changed model_reset model_rows_inserted model_rows_removed playlist_created "
                                "playlist_updated repeat_mode_changed")
                     .split(QLatin1Char(' ')));
    }

private:
    KestProxySource m_proxy{nullptr, Uuid, Plugin, QStringLiteral("Source")};
    KestPluginControlInterface m_control;
};

QTEST_GUILESS_MAIN(IntrospectionTest)
#include "tst_exportedobjects.moc"
