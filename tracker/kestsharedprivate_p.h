#ifndef KESTSHAREDPRIVATE_P_H
#define KESTSHAREDPRIVATE_P_H

#include "kestshared.h"

#include <QDBusMessage>
#include <QObject>
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
    void createProxyPlaylist(const QString &id, const QString &name, int size, int currentIndex);
    static QStringList activatableNames();
};

#endif
