// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYPLAYLIST_P_H
#define KESTPROXYPLAYLIST_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestproxymodel.h"

#include <QString>

#include <memory>

// Where the remote playlist is, and the local copies that its signals keep up to date.
class KestProxyPlaylistPrivate
{
public:
    KestProxyPlaylistPrivate(const QString &id, int size, int currentIndex);

    const QString m_serviceName;
    const QString m_objectPath;
    std::unique_ptr<KestProxyModel> m_model;
    int m_currentIndex;
    int m_size;
    // The bus refuses a subscription that exists already, so a second connect must not ask again.
    bool m_signalsConnected = false;
};

#endif
