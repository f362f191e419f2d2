// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTSHAREDPRIVATE_P_H
#define KESTSHAREDPRIVATE_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestbusname_p.h"
#include "kestshared.h"

#include <QDBusMessage>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>

class KestPluginControlInterface;
class KestProxyPlaylist;
class KestProxyPluginControlInterface;

// The tracker's state and the slots that bus signals are delivered to.
class KestSharedPrivate : public QObject
{
    Q_OBJECT
public:
    explicit KestSharedPrivate(KestShared *shared);
    ~KestSharedPrivate() override;

    bool initialize(KestShared::TrackFlagSet flags);

    void createProxies();
    void createProxy(const QString &name);
    void createPluginProxies();
    void activatePlugins();
    //! The registered proxy, or null when it was refused.
    KestProxyPlaylist *createProxyPlaylist(const QString &id, const QString &name, int size, int currentIndex);

    //! Follows a registered proxy's service name; false when there is no bus to follow it on.
    bool connectNameOwnerChanged(const QString &serviceName);
    void disconnectNameOwnerChanged(const QString &serviceName);

    KestShared *m_shared;
    bool m_initialized;
    KestShared::TrackFlagSet m_trackFlags;
    bool m_connectPlaylistSignals;

private Q_SLOTS:
    void handleRemoval(const QString &name, const QString &oldOwner, const QString &newOwner);
    void catchPlaylistCreatedSignal(const QString &id, const QString &name, int size, int currentIndex,
                                    const QDBusMessage &message);
    void createProxyRenderer(const QString &plugin, const QString &uuid, const QString &name);
    void createProxySource(const QString &plugin, const QString &uuid, const QString &name);
    void createPluginControlInterfaceProxy(const QString &pluginUuid);
    void catchNewPluginSignal(const QString &pluginName);
    void checkOwner(const QString &name, const QString &owner);
    void removeEverything();

private:
    // What a followed service name stands for in the registry.
    struct Component
    {
        KestBusName::Kind kind;
        QString id;
        QPointer<QObject> proxy;
    };

    static QStringList activatableNames();
    static bool acceptsExtension(const QString &plugin, const QString &uuid);
    void watch(const QString &serviceName, const Component &component, const char *failureMessage);
    void remove(const QString &serviceName);

    QHash<QString, Component> m_components;
    QHash<QString, QPointer<KestProxyPluginControlInterface>> m_plugins;
    // Plugins announced with new_plugin whose owner is still being asked for, by service name.
    QHash<QString, QString> m_announcedPlugins;
    // Set while the names listed at start-up are turned into proxies.
    bool m_listingBus;

public:
    // The plugins that this process publishes, by plugin name; its renderers and sources are in the registry.
    QHash<QString, QPointer<KestPluginControlInterface>> m_publishedPlugins;
    //! Removes a control proxy of plugin \a pluginName that this tracker made.
    void removePluginProxy(const QString &pluginName);
};

#endif
