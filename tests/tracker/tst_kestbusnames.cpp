// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbusname_p.h"
#include "kestbusnames_p.h"

#include <QTest>

class BusNamesTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void composesEveryNameAndPath()
    {
        QCOMPARE(KestBusNames::rendererService(QStringLiteral("myplugin"), QStringLiteral("1234")),
                 QStringLiteral("com.zorvo.kest.renderer.myplugin.1234"));
        QCOMPARE(KestBusNames::rendererPath(QStringLiteral("1234")), QStringLiteral("/com/zorvo/kest/renderer/1234"));
        QCOMPARE(KestBusNames::sourceService(QStringLiteral("p"), QStringLiteral("u")),
                 QStringLiteral("com.zorvo.kest.source.p.u"));
        QCOMPARE(KestBusNames::sourcePath(QStringLiteral("u")), QStringLiteral("/com/zorvo/kest/source/u"));
        QCOMPARE(KestBusNames::proxySourcePath(QStringLiteral("u")), QStringLiteral("/com/zorvo/kest/proxy_source/u"));
        QCOMPARE(KestBusNames::playlistService(QStringLiteral("42")), QStringLiteral("com.zorvo.kest.playlist.42"));
        QCOMPARE(KestBusNames::playlistPath(QStringLiteral("42")), QStringLiteral("/com/zorvo/kest/playlist/42"));
        QCOMPARE(KestBusNames::playlistModelPath(QStringLiteral("42")),
                 QStringLiteral("/com/zorvo/kest/playlistmodel/42"));
        QCOMPARE(KestBusNames::pluginService(QStringLiteral("p")), QStringLiteral("com.zorvo.kest.plugin.p"));
        QCOMPARE(KestBusNames::pluginPath(QStringLiteral("p")), QStringLiteral("/com/zorvo/kest/plugin/p"));
        // Identities are not checked: an empty id leaves the separator dangling.
        QCOMPARE(KestBusNames::playlistService(QString()), QStringLiteral("com.zorvo.kest.playlist."));
        // Placeholders are filled one by one, so a "%1" inside an identity stays as it is.
        QCOMPARE(KestBusNames::sourceService(QStringLiteral("%2"), QStringLiteral("u")),
                 QStringLiteral("com.zorvo.kest.source.%2.u"));
    }

    void classifies_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("atStartup");
        QTest::addColumn<int>("onRemoval");
        QTest::addColumn<QString>("identity");

        const int none = KestBusName::NoComponent;
        QTest::newRow("renderer") << "com.zorvo.kest.renderer.myplugin.1234" << int(KestBusName::Renderer)
                                  << int(KestBusName::Renderer) << "myplugin/1234";
        QTest::newRow("source") << "com.zorvo.kest.source.p.u" << int(KestBusName::Source) << int(KestBusName::Source)
                                << "p/u";
        QTest::newRow("seven pieces") << "com.zorvo.kest.source.a.b.c" << none << none << "";
        QTest::newRow("five pieces") << "com.zorvo.kest.source.a" << none << none << "";
        QTest::newRow("empty plugin") << "com.zorvo.kest.renderer..1234" << int(KestBusName::Renderer)
                                      << int(KestBusName::Renderer) << "/1234";
        QTest::newRow("other kind") << "com.zorvo.kest.other.p.u" << int(KestBusName::UnknownExtension)
                                    << int(KestBusName::UnknownExtension) << "p/u";
        QTest::newRow("playlist") << "com.zorvo.kest.playlist.42" << int(KestBusName::Playlist)
                                  << int(KestBusName::Playlist) << "42";
        QTest::newRow("playlistmodel prefix")
            << "com.zorvo.kest.playlistmodel.x" << int(KestBusName::Playlist) << int(KestBusName::Playlist) << "x";
        QTest::newRow("plugin") << "com.zorvo.kest.plugin.p" << int(KestBusName::Plugin) << none << "p";
        // Six pieces: when it leaves, a plugin name like this one reads as an extension.
        QTest::newRow("plugin x.y") << "com.zorvo.kest.plugin.x.y" << int(KestBusName::Plugin)
                                    << int(KestBusName::UnknownExtension) << "y";
        QTest::newRow("capitals") << "COM.ZORVO.KEST.renderer.p.u" << none << none << "";
        QTest::newRow("capital kind") << "com.zorvo.kest.Renderer.p.u" << int(KestBusName::UnknownExtension)
                                      << int(KestBusName::UnknownExtension) << "p/u";
        // Leaving names are matched anywhere in the name, joining names only at the start.
        QTest::newRow("embedded") << "x.com.zorvo.kest.renderer.p" << none << int(KestBusName::Renderer) << "";
        QTest::newRow("embedded playlist")
            << "org.com.zorvo.kest.playlist.x.7" << none << int(KestBusName::Playlist) << "7";
        QTest::newRow("unrelated") << "org.freedesktop.DBus" << none << none << "";
        QTest::newRow("unique") << ":1.42" << none << none << "";
    }

    void classifies()
    {
        QFETCH(QString, name);
        QFETCH(int, atStartup);
        QFETCH(int, onRemoval);
        QFETCH(QString, identity);

        const KestBusName busName(name);
        QCOMPARE(int(busName.classify(KestBusName::StartsWith)), atStartup);
        QCOMPARE(int(busName.classify(KestBusName::Contains)), onRemoval);
        const int kind = atStartup != KestBusName::NoComponent ? atStartup : onRemoval;
        if (kind == KestBusName::Plugin || onRemoval == KestBusName::Playlist)
            QCOMPARE(busName.lastPiece(), identity);
        else if (kind != KestBusName::NoComponent && !identity.isEmpty())
            QCOMPARE(busName.extensionPluginName() + QLatin1Char('/') + busName.extensionUuid(), identity);
    }

    void removalTestsExtensionsBeforePlaylists()
    {
        // Six pieces under the prefix read as an extension when leaving, even with the playlist prefix.
        const KestBusName name(QStringLiteral("com.zorvo.kest.playlist.a.b"));
        QCOMPARE(name.classify(KestBusName::StartsWith), KestBusName::Playlist);
        QCOMPARE(name.classify(KestBusName::Contains), KestBusName::UnknownExtension);
        QCOMPARE(name.extensionUuid(), QStringLiteral("b"));
    }

    void validElements()
    {
        QVERIFY(KestBusName::isValidElement(QStringLiteral("u1234")));
        QVERIFY(KestBusName::isValidElement(QStringLiteral("_a_1")));
        QVERIFY(!KestBusName::isValidElement(QStringLiteral("42")));
        QVERIFY(!KestBusName::isValidElement(QStringLiteral("a-b")));
        QVERIFY(!KestBusName::isValidElement(QStringLiteral("a.b")));
        QVERIFY(!KestBusName::isValidElement(QString()));
    }
};

QTEST_GUILESS_MAIN(BusNamesTest)
#include "tst_kestbusnames.moc"
