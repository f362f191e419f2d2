// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

// A second application with a tracker of its own, for the tests of playlist sharing between trackers.
//
//   kest-tracker-peer --control NAME
//
// It tracks playlists and their signals, and publishes, changes and unpublishes local playlists when
// the test says so through "/kesttest/tracker" (interface com.zorvo.kesttest.Tracker).

#include "kestpeercontrol.h"

#include <kestlocalplaylist.h>
#include <kestregistry.h>
#include <kestshared.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDBusConnection>

#include <cstdio>

class KestTrackerPeer : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kesttest.Tracker")
public Q_SLOTS:
    bool Publish(const QString &id, const QString &name, const QStringList &items)
    {
        auto *playlist = new KestLocalPlaylist(id, name, nullptr);
        for (const QString &item : items)
            playlist->appendItem(KestContent(item));
        if (KestShared::instance()->publishPlaylist(playlist))
            return true;
        delete playlist;
        return false;
    }

    bool Unpublish(const QString &id) { return KestShared::instance()->unPublishPlaylist(id); }

    bool Append(const QString &id, const QString &item)
    {
        auto *playlist = qobject_cast<KestLocalPlaylist *>(KestRegistry::instance()->findPlaylist(id));
        if (!playlist)
            return false;
        playlist->appendItem(KestContent(item));
        return true;
    }

    //! The registered playlists as "id class-name".
    QStringList Playlists()
    {
        QStringList result;
        const QList<KestPlaylist *> playlists = KestRegistry::instance()->playlists();
        for (KestPlaylist *playlist : playlists)
            result << playlist->id() + QLatin1Char(' ') + QLatin1String(playlist->metaObject()->className());
        return result;
    }

    //! How often the playlist with \a id reported a change of its contents.
    int ContentsChanges(const QString &id) { return m_contentsChanges.value(id); }

public:
    void follow(KestPlaylist *playlist)
    {
        const QString id = playlist->id();
        connect(playlist, &KestPlaylist::contentsChanged, this, [this, id] { ++m_contentsChanges[id]; });
    }

private:
    QHash<QString, int> m_contentsChanges;
};

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption control(QStringLiteral("control"), QStringLiteral("Control bus name."),
                                     QStringLiteral("name"));
    parser.addOption(control);
    parser.process(app);

    QDBusConnection bus = QDBusConnection::sessionBus();
    KestPeerControl peerControl;
    KestTrackerPeer peer;
    QObject::connect(KestRegistry::instance(), &KestRegistry::playlistAdded, &peer, &KestTrackerPeer::follow);
    if (!bus.isConnected() || !peerControl.registerOn(bus)
        || !bus.registerObject(QStringLiteral("/kesttest/tracker"), &peer, QDBusConnection::ExportAllSlots)
        || !KestShared::instance()->initialize(KestShared::TrackPlaylists | KestShared::TrackPlaylistSignals)
        || !bus.registerService(parser.value(control))) {
        std::fprintf(stderr, "kest-tracker-peer: cannot set up\n");
        return 1;
    }
    return app.exec();
}

#include "kesttrackerpeer.moc"
