// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// Publishes an in-memory playlist with both adaptors, as an application that shares its
// playlist does, and lets the test change it through a control object of its own.
//
//   kest-playlist-peer --id ID [--name NAME] [--items N] --control NAME
//
// Item i (counting from 0) has the uuid "item<i>" and the title "Title <i>".

#include "kestpeercontrol.h"

#include <kestlocalplaylist.h>
#include <kestplaylistadaptor.h>
#include <kestplaylistmodeladaptor.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>

namespace {

KestContent makeItem(const QString &uuid, const QString &title)
{
    KestContent content(uuid);
    content.setMetaData({{QStringLiteral("title"), title}});
    return content;
}

} // namespace

// Changes the published playlist on the test's behalf.
class PlaylistControl : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kesttest.Playlist")
public:
    static QString path() { return QStringLiteral("/kesttest/playlist"); }

    explicit PlaylistControl(KestLocalPlaylist &playlist)
        : m_playlist(playlist)
    {
    }

public Q_SLOTS:
    Q_SCRIPTABLE bool Insert(int index, const QString &uuid, const QString &title)
    {
        return m_playlist.insertItem(index, makeItem(uuid, title));
    }
    Q_SCRIPTABLE bool Remove(int index, int count) { return m_playlist.removeItems(index, count); }
    Q_SCRIPTABLE bool Move(int from, int to) { return m_playlist.moveItem(from, to); }
    Q_SCRIPTABLE bool SetCurrent(int index) { return m_playlist.setCurrentIndex(index); }
    Q_SCRIPTABLE void SetRepeat(int mode) { m_playlist.setRepeat(KestPlaylist::KestRepeatMode(mode)); }
    Q_SCRIPTABLE void Sort(int order) { m_playlist.sort(0, KestPlaylist::KestSortOrder(order)); }
    Q_SCRIPTABLE void Clear() { m_playlist.clear(); }
    Q_SCRIPTABLE int Current() { return m_playlist.getCurrentIndex(); }

private:
    KestLocalPlaylist &m_playlist;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption id(QStringLiteral("id"), QStringLiteral("Playlist id."), QStringLiteral("id"));
    const QCommandLineOption name(QStringLiteral("name"), QStringLiteral("Playlist name."), QStringLiteral("name"));
    const QCommandLineOption items(QStringLiteral("items"), QStringLiteral("Number of items."), QStringLiteral("n"));
    const QCommandLineOption control(QStringLiteral("control"),
                                     QStringLiteral("Bus name owned last, once everything is in place."),
                                     QStringLiteral("name"));
    parser.addOptions({id, name, items, control});
    parser.process(app);

    KestLocalPlaylist playlist(parser.value(id), parser.value(name), nullptr);
    const int count = parser.value(items).toInt();
    for (int i = 0; i < count; ++i)
        playlist.appendItem(makeItem(QStringLiteral("item%1").arg(i), QStringLiteral("Title %1").arg(i)));

    // Both adaptors are children of what they export and die with the playlist.
    auto *playlistAdaptor = new KestPlaylistAdaptor(playlist);
    auto *modelAdaptor = new KestPlaylistModelAdaptor(*playlist.model());
    QDBusConnection bus = QDBusConnection::sessionBus();
    KestPeerControl peer;
    PlaylistControl playlistControl(playlist);
    if (!bus.isConnected() || !peer.registerOn(bus)
        || !bus.registerObject(PlaylistControl::path(), &playlistControl, QDBusConnection::ExportScriptableSlots)
        || !playlistAdaptor->init() || !modelAdaptor->init(playlist.id()) || !peer.RequestName(parser.value(control))) {
        std::fprintf(stderr, "kest-playlist-peer: cannot publish playlist %s\n", qPrintable(playlist.id()));
        return 1;
    }
    return app.exec();
}

#include "kestplaylistpeer.moc"
