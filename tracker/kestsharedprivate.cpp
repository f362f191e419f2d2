#include "kestsharedprivate_p.h"

#include "kestbuscall_p.h"
#include "kestbusname.h"
#include "kestbusnames.h"
#include "kestlogging_p.h"

#include <QDBusConnection>

KestSharedPrivate::KestSharedPrivate(KestShared *shared)
    : QObject(shared)
    , m_shared(shared)
    , m_initialized(false)
    , m_connectPlaylistSignals(false)
{
}

KestSharedPrivate::~KestSharedPrivate() = default;

bool KestSharedPrivate::initialize(KestShared::TrackFlagSet flags)
{
    if (m_initialized) {
        qCDebug(lcKestTracker) << "KestShared::initialize already initialized.";
        return true;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCDebug(lcKestTracker) << "KestShared::initialize d-bus not connected";
        return false;
    }
    m_trackFlags = flags;

    // A subscription that fails leaves that kind undiscovered after start-up; nothing else depends on it.
    if (flags & KestShared::TrackSources)
        bus.connect(QString(), KestBusNames::registryPath(), KestBusNames::registryInterface(),
                    QStringLiteral("new_source"), this, SLOT(createProxySource(QString, QString, QString)));
    if (flags & KestShared::TrackRenderers)
        bus.connect(QString(), KestBusNames::registryPath(), KestBusNames::registryInterface(),
                    QStringLiteral("new_renderer"), this, SLOT(createProxyRenderer(QString, QString, QString)));
    if (flags & KestShared::TrackPlaylists)
        bus.connect(QString(), QString(), KestBusNames::playlistInterface(), QStringLiteral("playlist_created"), this,
                    SLOT(catchPlaylistCreatedSignal(QString, QString, int, int, QDBusMessage)));

    createProxies();

    if (flags & KestShared::TrackPlugins) {
        bus.connect(QString(), QString(), KestBusNames::pluginInterface(), QStringLiteral("new_plugin"), this,
                    SLOT(createPluginControlInterfaceProxy(QString)));
        createPluginProxies();
    }

    m_initialized = true;
    return true;
}

void KestSharedPrivate::createProxies()
{
    const QDBusMessage reply = KestBusCall::blocking(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                                                     KestBusNames::busDaemonInterface(), QStringLiteral("ListNames"));
    if (reply.type() != QDBusMessage::ReplyMessage)
        return;
    const QList<QVariant> arguments = reply.arguments();
    for (const QVariant &argument : arguments) {
        const QStringList names = argument.toStringList();
        for (const QString &name : names)
            createProxy(name);
    }
}

void KestSharedPrivate::createProxy(const QString &name)
{
    const KestBusName busName(name);
    if (busName.isPlugin() && (m_trackFlags & KestShared::TrackPlugins)) {
        qCDebug(lcKestTracker) << "Creating control interface for plugin";
        createPluginControlInterfaceProxy(busName.lastPiece());
        return;
    }
    if (busName.isPlaylist(KestBusName::StartsWith) && (m_trackFlags & KestShared::TrackPlaylists)) {
        qCDebug(lcKestTracker) << "Creating proxy playlist" << busName.lastPiece();
        createProxyPlaylist(busName.lastPiece(), QString(), 0, 0);
        return;
    }
    if (!busName.isExtension(KestBusName::StartsWith))
        return;

    const QString plugin = busName.extensionPluginName();
    const QString uuid = busName.extensionUuid();
    qCDebug(lcKestTracker) << "Creating proxy for extension:";
    qCDebug(lcKestTracker) << plugin;
    qCDebug(lcKestTracker) << uuid;
    if (plugin.isEmpty() || uuid.isEmpty()) {
        qCCritical(lcKestTracker) << "Empty uuid or plugin name. Proxy will not be createn.";
        return;
    }
    const KestBusName::Kind kind = busName.extensionKind(KestBusName::StartsWith);
    if (kind == KestBusName::Source && (m_trackFlags & KestShared::TrackSources))
        createProxySource(plugin, uuid, QString());
    else if (kind == KestBusName::Renderer && (m_trackFlags & KestShared::TrackRenderers))
        createProxyRenderer(plugin, uuid, QString());
    else
        qCWarning(lcKestTracker) << "Received name is not a valid source or renderer name";
}

QStringList KestSharedPrivate::activatableNames()
{
    const QDBusMessage reply =
        KestBusCall::blocking(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                              KestBusNames::busDaemonInterface(), QStringLiteral("ListActivatableNames"));
    return KestBusCall::firstArgument(reply).toStringList();
}

void KestSharedPrivate::createPluginProxies()
{
    const QStringList names = activatableNames();
    for (const QString &name : names) {
        const KestBusName busName(name);
        if (busName.isPlugin())
            createPluginControlInterfaceProxy(busName.lastPiece());
    }
}

void KestSharedPrivate::activatePlugins()
{
    const QStringList names = activatableNames();
    for (const QString &name : names) {
        const KestBusName busName(name);
        if (!busName.isPlugin())
            continue;
        // The full activatable name is addressed; the path carries only the last piece.
        const QDBusMessage activate = QDBusMessage::createMethodCall(
            name, KestBusNames::pluginPath(busName.lastPiece()), KestBusNames::pluginInterface(),
            QStringLiteral("activate"));
        if (!QDBusConnection::sessionBus().send(activate))
            qCWarning(lcKestTracker) << "Not able to send activate request to plugin:" << name;
    }
}

void KestSharedPrivate::handleRemoval(const QDBusMessage &)
{
}

void KestSharedPrivate::catchPlaylistCreatedSignal(const QString &id, const QString &name, int, int,
                                                   const QDBusMessage &)
{
    qCDebug(lcKestTracker) << "KestShared::catchPlaylistCreatedSignal" << id << name;
}

void KestSharedPrivate::createProxyRenderer(const QString &plugin, const QString &uuid, const QString &name)
{
    qCDebug(lcKestTracker) << "KestSharedPrivate::createProxyRenderer" << plugin << uuid << name;
}

void KestSharedPrivate::createProxySource(const QString &plugin, const QString &uuid, const QString &name)
{
    qCDebug(lcKestTracker) << "KestSharedPrivate::createProxySource" << plugin << uuid << name;
}

void KestSharedPrivate::createProxyPlaylist(const QString &, const QString &, int, int)
{
}

void KestSharedPrivate::createPluginControlInterfaceProxy(const QString &pluginUuid)
{
    qCDebug(lcKestTracker) << "KestSharedPrivate::createPluginControlInterfaceProxy" << pluginUuid;
}
