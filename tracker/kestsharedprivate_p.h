#ifndef KESTSHAREDPRIVATE_P_H
#define KESTSHAREDPRIVATE_P_H

#include "kestshared.h"

#include <QDBusMessage>
#include <QObject>
#include <QSet>
#include <QStringList>

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
    void createProxyPlaylist(const QString &id, const QString &name, int size, int currentIndex);

    bool connectNameOwnerChanged(const QString &serviceName);
    bool disconnectNameOwnerChanged(const QString &serviceName);

    KestShared *m_shared;
    bool m_initialized;
    KestShared::TrackFlagSet m_trackFlags;
    bool m_connectPlaylistSignals;

private Q_SLOTS:
    void handleRemoval(const QDBusMessage &message);
    void catchPlaylistCreatedSignal(const QString &id, const QString &name, int size, int currentIndex,
                                    const QDBusMessage &message);
    void createProxyRenderer(const QString &plugin, const QString &uuid, const QString &name);
    void createProxySource(const QString &plugin, const QString &uuid, const QString &name);
    void createPluginControlInterfaceProxy(const QString &pluginUuid);

private:
    static QStringList activatableNames();
    static bool isAddressable(const QString &plugin, const QString &uuid);
    // Watches a new proxy's service name; says so with \a failureMessage when the bus refuses.
    void watch(const QString &serviceName, const char *failureMessage);
    void removeReleased(const QString &serviceName);
    void checkStillOwned(const QString &serviceName);

    QSet<QString> m_watchedNames;
    // Set while the names listed at start-up are turned into proxies.
    bool m_listingBus;
};

#endif
