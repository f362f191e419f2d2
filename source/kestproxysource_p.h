// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYSOURCE_P_H
#define KESTPROXYSOURCE_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestproxysource.h"

#include <QMap>
#include <QString>

class DBusAdaptor;
class KestProxySourceNameRequest;

// Pending requests by id, and where the remote source is.
class KestProxySourcePrivate
{
public:
    QMap<uint, KestProxySource::KestOngoingAction *> m_ongoingGetMetas;
    uint m_getMetaId = 0;
    DBusAdaptor *m_dbusAdaptor = nullptr;
    QMap<uint, KestProxySource::KestOngoingAction *> m_ongoingQueries;
    QMap<uint, KestProxySource::KestOngoingAction *> m_ongoingBrowses;
    KestProxySourceNameRequest *m_nameRequest = nullptr;
    QString m_serviceName;
    QString m_objectPath;
};

#endif
