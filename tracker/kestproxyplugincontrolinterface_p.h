// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYPLUGINCONTROLINTERFACE_P_H
#define KESTPROXYPLUGINCONTROLINTERFACE_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QDBusMessage>

// The two calls, composed once: a plugin's name and path do not change.
class KestProxyPluginControlInterfacePrivate
{
public:
    const QDBusMessage m_activateMessage;
    const QDBusMessage m_deactivateMessage;
};

#endif
