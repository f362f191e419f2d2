// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// An application that shares playlists, for the tests of proxies of playlists and of sharing
// between trackers; built as kest-playlist-peer and as kest-tracker-peer.
//
//   kest-playlist-peer --id ID [--name NAME] [--items N] --control NAME
//   kest-tracker-peer --control NAME
//
// With --id it publishes an in-memory playlist with both adaptors, no tracker involved; item i
// (counting from 0) has the uuid "item<i>" and the title "Title <i>". Without, it runs a tracker
// of playlists and their signals, and publishes local playlists when the test says so. Either
// way the test changes them through "/kesttest/playlist" (interface com.zorvo.kesttest.Playlist)
// or "/kesttest/tracker" (com.zorvo.kesttest.Tracker), which offer the same methods.

#include "kestpeercontrol.h"

#include <kestlocalplaylist.h>
#include <kestplaylistadaptor.h>
#include <kestplaylistmodeladaptor.h>
#include <kestregistry.h>
#include <kestshared.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>

namespace {

KestContent makeItem(const QString &uuid, const QString &title = QString())
{
    KestContent content(uuid);
    if (!title.isEmpty())
        content.setMetaData({{QStringLiteral("title"), title}});
    return content;
}

} // namespace

class KestPlaylistPeer : public QObject
{
    Q_OBJECT
public:
    explicit KestPlaylistPeer(KestLocalPlaylist &playlist)
        : m_playlist(playlist)
    {
    }

public Q_SLOTS:
    // The playlist given with --id.
    Q_SCRIPTABLE bool Insert(int index, const QString &uuid, const QString &title)
    {
        return m_playlist.insertItem(index, makeItem(uuid, title));
    }
    Q_SCRIPTABLE bool Remove(int index, int count) { return m_playlist.removeItems(index, count); }
    Q_SCRIPTABLE bool Move(int from, int to) { return m_playlist.moveItem(from, to); }
    Q_SCRIPTABLE bool SetCurrent(int index) { return m_playlist.setCurrentIndex(index); }
    Q_SCRIPTABLE void Clear() { m_playlist.clear(); }

    // Playlists published through the tracker.
    Q_SCRIPTABLE bool Publish(const QString &id, const QString &name, const QStringList &items)
    {
        auto *playlist = new KestLocalPlaylist(id, name, nullptr);
        for (const QString &item : items)
            playlist->appendItem(makeItem(item));
        if (KestShared::instance()->publishPlaylist(playlist))
            return true;
        delete playlist;
        return false;
    }
    Q_SCRIPTABLE bool Unpublish(const QString &id) { return KestShared::instance()->unPublishPlaylist(id); }
    Q_SCRIPTABLE bool Append(const QString &id, const QString &item)
    {
        auto *playlist = qobject_cast<KestLocalPlaylist *>(KestRegistry::instance()->findPlaylist(id));
        if (playlist)
            playlist->appendItem(makeItem(item));
        return playlist;
    }
    //! The registered playlists as "id class-name".
    Q_SCRIPTABLE QStringList Playlists()
    {
        QStringList result;
        const QList<KestPlaylist *> playlists = KestRegistry::instance()->playlists();
        for (KestPlaylist *playlist : playlists)
            result << playlist->id() + QLatin1Char(' ') + QLatin1String(playlist->metaObject()->className());
        return result;
    }

private:
    KestLocalPlaylist &m_playlist;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    for (const char *option : {"id", "name", "items", "control"})
        parser.addOption({QLatin1String(option), QString(), QStringLiteral("value")});
    parser.process(app);

    KestLocalPlaylist playlist(parser.value(QStringLiteral("id")), parser.value(QStringLiteral("name")), nullptr);
    const int count = parser.value(QStringLiteral("items")).toInt();
    for (int i = 0; i < count; ++i)
        playlist.appendItem(makeItem(QStringLiteral("item%1").arg(i), QStringLiteral("Title %1").arg(i)));

    QDBusConnection bus = QDBusConnection::sessionBus();
    KestPeerControl peerControl;
    KestPlaylistPeer peer(playlist);
    bool ready = peerControl.registerOn(bus)
        && bus.registerObject(QStringLiteral("/kesttest/playlist"), QStringLiteral("com.zorvo.kesttest.Playlist"),
                              &peer, QDBusConnection::ExportScriptableSlots)
        && bus.registerObject(QStringLiteral("/kesttest/tracker"), QStringLiteral("com.zorvo.kesttest.Tracker"), &peer,
                              QDBusConnection::ExportScriptableSlots);
    if (parser.isSet(QStringLiteral("id"))) {
        // Both adaptors are children of what they export and die with the playlist.
        ready = ready && (new KestPlaylistAdaptor(playlist))->init()
            && (new KestPlaylistModelAdaptor(*playlist.model()))->init(playlist.id());
    } else {
        ready = ready
            && KestShared::instance()->initialize(KestShared::TrackPlaylists | KestShared::TrackPlaylistSignals);
    }
    if (!ready || !peerControl.RequestName(parser.value(QStringLiteral("control")))) {
        std::fprintf(stderr, "kest-playlist-peer: cannot set up\n");
        return 1;
    }
    return app.exec();
}

#include "kestplaylistpeer.moc"
