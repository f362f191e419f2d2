// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTBUSNAMES_P_H
#define KESTBUSNAMES_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QString>

/*!
 * Composes the bus names, object paths and interface names under which the framework's
 * components are reached on the session bus. Identities are inserted as they are, unchecked.
 */
class KestBusNames
{
public:
    // Service name prefixes.
    static QString kestPrefix() { return QStringLiteral("com.zorvo.kest"); }
    static QString rendererPrefix() { return QStringLiteral("com.zorvo.kest.renderer"); }
    static QString sourcePrefix() { return QStringLiteral("com.zorvo.kest.source"); }
    static QString playlistPrefix() { return QStringLiteral("com.zorvo.kest.playlist"); }
    static QString pluginPrefix() { return QStringLiteral("com.zorvo.kest.plugin"); }

    // Interfaces.
    static QString rendererInterface() { return QStringLiteral("com.zorvo.kest.renderer"); }
    static QString extensionInterface() { return QStringLiteral("com.zorvo.kest.extension"); }
    static QString sourceInterface() { return QStringLiteral("com.zorvo.kest.source"); }
    static QString proxySourceInterface() { return QStringLiteral("com.zorvo.kest.proxy_source"); }
    static QString playlistInterface() { return QStringLiteral("com.zorvo.kest.playlist"); }
    static QString playlistModelInterface() { return QStringLiteral("com.zorvo.kest.playlistmodel"); }
    static QString pluginInterface() { return QStringLiteral("com.zorvo.kest.plugin"); }
    static QString registryInterface() { return QStringLiteral("com.zorvo.kest.registry"); }

    // The bus daemon.
    static QString busDaemonService() { return QStringLiteral("org.freedesktop.DBus"); }
    static QString busDaemonPath() { return QStringLiteral("/org/freedesktop/DBus"); }
    static QString busDaemonInterface() { return QStringLiteral("org.freedesktop.DBus"); }
    //! Where the bus library reports the loss of its own connection.
    static QString localPath() { return QStringLiteral("/org/freedesktop/DBus/Local"); }
    static QString localInterface() { return QStringLiteral("org.freedesktop.DBus.Local"); }

    //! Where the registry process sends new_source and new_renderer.
    static QString registryPath() { return QStringLiteral("/com/zorvo/kest/registry"); }
    //! Where playlist_created is sent: the playlist path without an id.
    static QString playlistRootPath() { return QStringLiteral("/com/zorvo/kest/playlist"); }

    static QString rendererService(const QString &pluginName, const QString &uuid);
    static QString rendererPath(const QString &uuid);
    static QString sourceService(const QString &pluginName, const QString &uuid);
    static QString sourcePath(const QString &uuid);
    //! The result receiver that a source proxy exports in the application's own process.
    static QString proxySourcePath(const QString &uuid);
    static QString playlistService(const QString &id);
    static QString playlistPath(const QString &id);
    //! A playlist's model lives on its playlist's service.
    static QString playlistModelPath(const QString &id);
    static QString pluginService(const QString &pluginName);
    static QString pluginPath(const QString &pluginName);
};

#endif
