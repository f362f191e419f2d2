// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPLAYLISTADAPTOR_P_H
#define KESTPLAYLISTADAPTOR_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QString>

class KestPlaylist;

class KestPlaylistAdaptorPrivate
{
public:
    explicit KestPlaylistAdaptorPrivate(KestPlaylist *playlist)
        : m_playlist(playlist)
    {
    }

    KestPlaylist *const m_playlist;
    // What init() has claimed and registered; withdraw() gives them up.
    QString m_serviceName;
    QString m_objectPath;
};

#endif
