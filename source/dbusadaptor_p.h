// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef DBUSADAPTOR_P_H
#define DBUSADAPTOR_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

class KestProxySource;
class QDBusMessage;

class DBusAdaptorPrivate
{
public:
    //! True for the owner of the source's name; anybody else gets an AccessDenied error reply.
    bool acceptsCaller(const QDBusMessage &message) const;

    KestProxySource *const m_source;
};

#endif
