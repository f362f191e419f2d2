// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Catches: a proxy calling a member under a name, on an interface or object, or with argument
// types that the interface file does not declare; a reply with the declared out arguments refused
// or misread; a signal followed under another name or with other arguments than declared.

#include "kestinterfacexml.h"
#include "kestreceiver.h"
#include "kesttestpeer.h"

#include "kestbusnames_p.h"
#include <kestinternalregistry.h>
#include <kestlocalplaylist.h>
#include <kestmediainfodbus.h>
#include <kestproxyplaylist.h>
#include <kestproxyplugincontrolinterface.h>
#include <kestproxyrenderer.h>
#include <kestproxysource.h>

#include <QAbstractItemModel>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <memory>

namespace {

const QString Plugin = QStringLiteral("plug");
const QString Uuid = QStringLiteral("c1");
const QString Unnamed = QStringLiteral("c2");
const QString Id = QStringLiteral("shared");

// The values of a call's arguments as text: variants unwrapped, string lists joined with commas.
QString textOf(const QVariantList &values)
{
    QStringList words;
    for (const QVariant &value : values) {
        const bool wrapped = value.userType() == qMetaTypeId<QDBusVariant>();
        const QVariant inner = wrapped ? qvariant_cast<QDBusVariant>(value).variant() : value;
        words << (inner.userType() == QMetaType::QStringList ? inner.toStringList().join(QLatin1Char(','))
                                                             : inner.toString());
    }
    return words.join(QLatin1Char(' '));
}

// Drives a proxy; returns what reached the caller from the reply, if anything.
using Action = std::function<QVariant()>;

} // namespace

Q_DECLARE_METATYPE(Action)

class ProxyCallsTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        qDBusRegisterMetaType<KestMediaInfo>();
        QVERIFY(m_peer.start({KestBusNames::rendererService(Plugin, Uuid), KestBusNames::sourceService(Plugin, Uuid),
                              KestBusNames::sourceService(Plugin, Unnamed), KestBusNames::playlistService(Id),
                              KestBusNames::pluginService(Plugin)},
                             {KestBusNames::rendererPath(Uuid), KestBusNames::sourcePath(Uuid),
                              KestBusNames::sourcePath(Unnamed), KestBusNames::playlistPath(Id),
                              KestBusNames::playlistModelPath(Id), KestBusNames::pluginPath(Plugin)}));
        QVERIFY(m_source.initDBusConnection());
        QVERIFY(m_renderer.connectToRendererSignals());
        QVERIFY(m_playlist.connectToPlaylistSignals());
        QVERIFY(m_playlist.model());
    }

    void callsAreDeclared_data()
    {
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("member");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QVariantList>("reply");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QVariant>("delivered");

        const QString renderer = KestBusNames::rendererInterface();
        const QString extension = KestBusNames::extensionInterface();
        const QString source = KestBusNames::sourceInterface();
        const QString playlist = KestBusNames::playlistInterface();
        const QString model = KestBusNames::playlistModelInterface();
        const QString plugin = KestBusNames::pluginInterface();
        const QUrl url(QStringLiteral("http://example.com/my music/\u00e4.ogg"));
        const QVariantList volume{m_volume, QVariant::fromValue(QDBusVariant(7))};
        // Commands whose replies carry nothing; \a sent is what the arguments hold, as text.
        const auto command = [](const char *row, const QString &interface, const char *member, const char *sent,
                                const std::function<void()> &call) {
            QTest::newRow(row) << interface << QString::fromLatin1(member) << QString::fromUtf8(sent) << QVariantList()
                               << Action([call] { return call(), QVariant(); }) << QVariant();
        };
        command("renderer play", renderer, "play", "", [this] { return m_renderer.play(); });
        command("renderer play uri", renderer, "play_uri", "http://example.com/my%20music/%C3%A4.ogg 5",
                [this, url] { return m_renderer.play(url, 5u); });
        command("renderer play uri with type", renderer, "play_uri_content_type",
                "http://example.com/my%20music/%C3%A4.ogg audio/ogg",
                [this, url] { return m_renderer.play(url, QStringLiteral("audio/ogg")); });
        command("renderer stop", renderer, "stop", "", [this] { return m_renderer.stop(); });
        command("renderer pause", renderer, "pause", "", [this] { return m_renderer.pause(); });
        command("renderer pause at", renderer, "pause_at", "7", [this] { return m_renderer.pauseAt(7); });
        command("renderer resume", renderer, "resume", "", [this] { return m_renderer.resume(); });
        command("renderer next", renderer, "next", "", [this] { return m_renderer.next(); });
        command("renderer previous", renderer, "previous", "", [this] { return m_renderer.previous(); });
        command("renderer goto index", renderer, "goto_index", "2", [this] { return m_renderer.gotoIndex(2); });
        command("renderer set position", renderer, "set_position", "-10 1",
                [this] { return m_renderer.setPosition(-10, KestRenderer::SeekRelative); });
        command("renderer assign playlist", renderer, "assign_playlist", "party",
                [this] { return m_renderer.assignPlaylist(&m_localPlaylist); });
        command("renderer unassign playlist", renderer, "assign_playlist", "",
                [this] { return QMetaObject::invokeMethod(&m_renderer, "unassignPlaylist"); });
        command("renderer set property", extension, "set_extension_property", "volume 0.5",
                [this] { return m_renderer.setKestProperty(m_volume, 0.5); });
        command("source set property", extension, "set_extension_property", "volume 3",
                [this] { return m_source.setKestProperty(m_volume, 3); });
        command("source cancel browse", source, "cancel_browse", "9", [this] { m_source.cancelBrowse(9); });
        command("source cancel query", source, "cancel_query", "11", [this] { m_source.cancelQuery(11); });
        command("plugin activate", plugin, "activate", "", [this] { m_plugin.activate(); });
        command("plugin deactivate", plugin, "deactivate", "", [this] { m_plugin.deactivate(); });

        // Queries: the scripted reply has the declared out arguments and reaches the caller.
        const auto query = [](const char *row, const QString &interface, const char *member, const char *sent,
                              const QVariantList &reply, const QVariant &delivered, Action action) {
            QTest::newRow(row) << interface << QString::fromLatin1(member) << QString::fromUtf8(sent) << reply << action
                               << delivered;
        };
        const QVariantList status{QStringLiteral("p"), 1u, 2, QStringLiteral("o")};
        query("renderer status", renderer, "get_status", "", status, QStringLiteral("status p 1 2 o"),
              [this] { return after(m_renderer.getStatus(&m_receiver, STATUS_SLOT)); });
        query("renderer position", renderer, "get_position", "", {1234u}, QStringLiteral("position 1234"),
              [this] { return after(m_renderer.getPosition(&m_receiver, POSITION_SLOT)); });
        query("renderer media info", renderer, "get_current_media_info", "now",
              {QVariant::fromValue(KestMediaInfo(QStringLiteral("m1")))}, QStringLiteral("media info m1"), [this] {
                  m_renderer.catchStateChangedSignal(KestRenderer::Playing); // asked only while playing
                  return after(m_renderer.getCurrentMediaInfo(&m_receiver, MEDIA_INFO_SLOT, QStringLiteral("now")));
              });
        query("renderer property", extension, "get_extension_property", "volume", volume, QStringLiteral("volume 7"),
              [this] { return after(m_renderer.kestProperty(m_volume, &m_receiver, PROPERTY_SLOT)); });
        query("renderer name", extension, "get_name", "", {QStringLiteral("Kitchen")}, QStringLiteral("Kitchen"), [] {
            // Without a name, the proxy asks for it at once, and tells.
            KestProxyRenderer unnamed(Uuid, Plugin, KestInternalRegistry::internalInstance(), QString());
            QSignalSpy named(&unnamed, &KestRenderer::nameChanged);
            return named.wait() && unnamed.name() == named.at(0).at(0).toString() ? named.at(0).at(0) : QVariant();
        });
        query("source property", extension, "get_extension_property", "volume", volume, QStringLiteral("volume 7"),
              [this] { return after(m_source.kestProperty(m_volume, &m_receiver, PROPERTY_SLOT)); });
        query("source name", extension, "get_name", "", {QStringLiteral("Radio")}, QStringLiteral("Radio"), [] {
            KestProxySource unnamed(nullptr, Unnamed, Plugin, QString());
            unnamed.initDBusConnection();
            return QTest::qWaitFor([&] { return !unnamed.name().isEmpty(); }) ? unnamed.name() : QString();
        });
        // An empty object id is the source's root object.
        query("source browse", source, "browse", "c1::  title 3 10", {9u}, 9u, [this] {
            return m_source.browse(QString(), QString(), {QStringLiteral("title")}, 3, 10, &m_receiver, SLOT(onRow()),
                                   SLOT(onError()));
        });
        query("source query", source, "query", "genre:jazz", {11u}, 11u, [this] {
            return m_source.query(QStringLiteral("genre:jazz"), &m_receiver, SLOT(onRow()), SLOT(onError()));
        });
        query("playlist name", playlist, "get_name", "", {QStringLiteral("Party")}, QStringLiteral("Party"),
              [] { return KestProxyPlaylist(Id, QString(), 0, 0).name(); });
        query("playlist item", playlist, "get_item", "2", {QStringLiteral("i2")}, QStringLiteral("i2"), [this] {
            const std::unique_ptr<KestContent> item(m_playlist.getItem(2));
            return item ? item->uuid() : QString();
        });
        query("playlist media info", playlist, "get_item_media_info", "2", {QStringLiteral("i2")}, QStringLiteral("i2"),
              [this] { return m_playlist.getItemMediaInfo(2).uuid(); });
        query("playlist next", playlist, "get_next", "2", {3}, 3, [this] { return m_playlist.getNext(2); });
        query("playlist previous", playlist, "get_prev", "2", {1}, 1, [this] { return m_playlist.getPrevious(2); });
        query("playlist sort order", playlist, "get_sort_order", "", {1u}, 1,
              [this] { return int(m_playlist.getSortOrder()); });
        query("playlistmodel rows", model, "get_row_count", "", {4u}, 4,
              [this] { return m_playlist.model()->rowCount(); });
        query("playlistmodel columns", model, "get_column_count", "", {1u}, 1,
              [this] { return m_playlist.model()->columnCount(); });
        query("playlistmodel data", model, "get_data", "1 0",
              {QVariant::fromValue(QDBusVariant(QStringLiteral("cell")))}, QStringLiteral("cell"), [this] {
                  // In case index() asks for the size.
                  m_peer.scriptReply(QStringLiteral("get_row_count"), {4u});
                  m_peer.scriptReply(QStringLiteral("get_column_count"), {1u});
                  QAbstractItemModel *items = m_playlist.model();
                  return items->data(items->index(1, 0));
              });
        query("playlistmodel header", model, "get_header_data", "0",
              {QVariant::fromValue(QDBusVariant(QStringLiteral("Title")))}, QStringLiteral("Title"),
              [this] { return m_playlist.model()->headerData(0, Qt::Horizontal); });
    }

    void callsAreDeclared()
    {
        QFETCH(QString, interface);
        QFETCH(QString, member);
        QFETCH(QString, sent);
        QFETCH(QVariantList, reply);
        QFETCH(Action, action);
        QFETCH(QVariant, delivered);
        // Undeclared members have no out arguments; the calls below must be declared.
        QCOMPARE(KestInterfaceXml::signatureOf(reply), KestInterfaceXml::fromFile(interface).outSignature(member));

        QVERIFY(m_peer.reset());
        QVERIFY(m_peer.scriptReply(member, reply));
        const QVariant result = action();
        const bool called = m_peer.waitForCalls(member, 1, 5000);
        // Whatever else the proxy called must be declared too.
        const QList<KestRecordedCall> calls = m_peer.calls();
        for (const KestRecordedCall &call : calls) {
            const KestInterfaceXml declared = KestInterfaceXml::fromFile(call.interface);
            QVERIFY2(declared.methodNames().contains(call.member),
                     qPrintable(call.interface + QLatin1Char('.') + call.member));
            QCOMPARE(call.signature, declared.inSignature(call.member));
        }
        QVERIFY(called);
        const KestRecordedCall call = m_peer.callsTo(member).constFirst();
        QCOMPARE(call.interface, interface);
        QCOMPARE(textOf(call.arguments), sent);
        // To the object of the kind of proxy that the row's name begins with.
        const QString kind = QString::fromLatin1(QTest::currentDataTag()).section(QLatin1Char(' '), 0, 0);
        QCOMPARE(call.path.section(QLatin1Char('/'), 0, -2), QStringLiteral("/com/zorvo/kest/") + kind);
        if (delivered.isValid())
            QCOMPARE(result, delivered);
    }

    void followedSignalsAreDeclared_data()
    {
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("signal");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QObject *>("follower");
        QTest::addColumn<QByteArray>("reaction");

        // The renderer's signals are followed in its own test, with their values.
        const QString playlist = KestBusNames::playlistInterface();
        const QString model = KestBusNames::playlistModelInterface();
        QAbstractItemModel *items = m_playlist.model();
        const auto row = [](const char *name, const QString &interface, const QVariantList &arguments,
                            QObject *follower, const char *reaction) {
            QTest::newRow(name) << interface << QString::fromLatin1(name) << arguments << follower
                                << QByteArray(reaction);
        };
        row("property_changed", KestBusNames::extensionInterface(),
            {QStringLiteral("volume"), QVariant::fromValue(QDBusVariant(7))}, &m_source,
            SIGNAL(kestPropertyChanged(QString, QVariant)));
        row("contents_changed", playlist, {Id, 0u, 0u, 1u}, &m_playlist, SIGNAL(contentsChanged(uint, uint, uint)));
        row("repeat_mode_changed", playlist, {Id}, &m_playlist, SIGNAL(repeatModeChanged()));
        row("playlist_updated", playlist, {Id, 2, 0}, &m_playlist,
            SIGNAL(playlistUpdated(KestPlaylist::KestPlaylistUpdate, int)));
        row("model_reset", model, {}, items, SIGNAL(modelReset()));
        row("model_rows_inserted", model, {1u, 1u}, items, SIGNAL(rowsInserted(QModelIndex, int, int)));
        row("model_rows_removed", model, {1u, 1u}, items, SIGNAL(rowsRemoved(QModelIndex, int, int)));
    }

    // The peer sends what the file declares; the proxy must take it up.
    void followedSignalsAreDeclared()
    {
        QFETCH(QString, interface);
        QFETCH(QString, signal);
        QFETCH(QVariantList, arguments);
        QFETCH(QObject *, follower);
        QFETCH(QByteArray, reaction);
        const KestInterfaceXml xml = KestInterfaceXml::fromFile(interface);
        QVERIFY2(xml.signalNames().contains(signal), qPrintable(signal));
        QCOMPARE(KestInterfaceXml::signatureOf(arguments), xml.signalSignature(signal));

        QVERIFY(m_peer.reset());
        // The proxy model checks announced rows against the remote size.
        QVERIFY(m_peer.scriptReply(QStringLiteral("get_row_count"), {4u}));
        QSignalSpy reacted(follower, reaction.constData());
        // At the object of the follower's kind.
        const QString path = follower == &m_source ? KestBusNames::sourcePath(Uuid)
            : follower == &m_playlist              ? KestBusNames::playlistPath(Id)
                                                   : KestBusNames::playlistModelPath(Id);
        QVERIFY(m_peer.emitSignal(path, interface, signal, arguments));
        QVERIFY(reacted.wait());
    }

private:
    // What the receiver was told, once a started request has called it.
    QVariant after(bool started)
    {
        return started && QTest::qWaitFor([this] { return !m_receiver.events.isEmpty(); })
            ? m_receiver.events.takeFirst()
            : QVariant();
    }

    KestTestPeer m_peer;
    KestReceiver m_receiver;
    QString m_volume = QStringLiteral("volume");
    KestLocalPlaylist m_localPlaylist{QStringLiteral("party"), QStringLiteral("Party"), nullptr};
    KestProxyRenderer m_renderer{Uuid, Plugin, KestInternalRegistry::internalInstance(), QStringLiteral("Renderer")};
    KestProxySource m_source{nullptr, Uuid, Plugin, QStringLiteral("Source")};
    KestProxyPlaylist m_playlist{Id, QStringLiteral("Shared"), 3, 0};
    KestProxyPluginControlInterface m_plugin{Plugin};
};

QTEST_GUILESS_MAIN(ProxyCallsTest)
#include "tst_proxycalls.moc"
