#include "kestsharedprivate_p.h"

#include "kestbuscall_p.h"
#include "kestbusname.h"
#include "kestbusnames.h"
#include "kestlogging_p.h"
#include "kestproxyplaylist.h"
#include "kestproxyplugincontrolinterface.h"
#include "kestproxyrenderer.h"
#include "kestproxysource.h"

#include <kestinternalregistry.h>

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

KestSharedPrivate::KestSharedPrivate(KestShared *shared)
    : QObject(shared)
    , m_shared(shared)
    , m_initialized(false)
    , m_connectPlaylistSignals(false)
    , m_listingBus(false)
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
    m_listingBus = true;
    const QList<QVariant> arguments = reply.arguments();
    for (const QVariant &argument : arguments) {
        const QStringList names = argument.toStringList();
        for (const QString &name : names)
            createProxy(name);
    }
    m_listingBus = false;
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
    if (!isAddressable(plugin, uuid))
        return;
    const KestBusName::Kind kind = busName.extensionKind(KestBusName::StartsWith);
    if (kind == KestBusName::Source && (m_trackFlags & KestShared::TrackSources))
        createProxySource(plugin, uuid, QString());
    else if (kind == KestBusName::Renderer && (m_trackFlags & KestShared::TrackRenderers))
        createProxyRenderer(plugin, uuid, QString());
    else
        qCWarning(lcKestTracker) << "Received name is not a valid source or renderer name";
}

// Without both a plugin name and a uuid a component has no bus name to reach it by.
bool KestSharedPrivate::isAddressable(const QString &plugin, const QString &uuid)
{
    if (!plugin.isEmpty() && !uuid.isEmpty())
        return true;
    qCCritical(lcKestTracker) << "Empty uuid or plugin name. Proxy will not be createn.";
    return false;
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

bool KestSharedPrivate::connectNameOwnerChanged(const QString &serviceName)
{
    // The bus refuses a second, identical subscription; the first one serves.
    if (m_watchedNames.contains(serviceName))
        return true;
    const bool connected = QDBusConnection::sessionBus().connect(
        QString(), QString(), KestBusNames::busDaemonInterface(), QStringLiteral("NameOwnerChanged"),
        QStringList{serviceName}, QString(), this, SLOT(handleRemoval(QDBusMessage)));
    if (connected)
        m_watchedNames.insert(serviceName);
    return connected;
}

bool KestSharedPrivate::disconnectNameOwnerChanged(const QString &serviceName)
{
    m_watchedNames.remove(serviceName);
    return QDBusConnection::sessionBus().disconnect(
        QString(), QString(), KestBusNames::busDaemonInterface(), QStringLiteral("NameOwnerChanged"),
        QStringList{serviceName}, QString(), this, SLOT(handleRemoval(QDBusMessage)));
}

void KestSharedPrivate::watch(const QString &serviceName, const char *failureMessage)
{
    if (!connectNameOwnerChanged(serviceName)) {
        qCWarning(lcKestTracker) << failureMessage;
        return;
    }
    if (m_listingBus)
        checkStillOwned(serviceName);
}

// A name listed at start-up may have lost its owner before it was watched; such a release was
// never seen, so ask once, without blocking, whether it still has one.
void KestSharedPrivate::checkStillOwned(const QString &serviceName)
{
    QDBusMessage question =
        QDBusMessage::createMethodCall(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                                       KestBusNames::busDaemonInterface(), QStringLiteral("NameHasOwner"));
    question << serviceName;
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(question), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, serviceName](QDBusPendingCallWatcher *call) {
        const QDBusPendingReply<bool> reply = *call;
        if (!reply.isError() && !reply.value() && m_watchedNames.contains(serviceName))
            removeReleased(serviceName);
        call->deleteLater();
    });
}

void KestSharedPrivate::handleRemoval(const QDBusMessage &message)
{
    if (message.type() != QDBusMessage::SignalMessage)
        return;
    const QList<QVariant> arguments = message.arguments();
    const QString name = arguments.value(0).toString();
    const QString oldOwner = arguments.value(1).toString();
    const QString newOwner = arguments.value(2).toString();
    // Only a release counts; a name that gains or changes its owner stays.
    if (oldOwner.isEmpty() || !newOwner.isEmpty())
        return;
    removeReleased(name);
}

void KestSharedPrivate::removeReleased(const QString &serviceName)
{
    if (!disconnectNameOwnerChanged(serviceName))
        qCWarning(lcKestTracker) << " KestSharedPrivate::handleRemoval failed to disconnect NameOwnerChanged signal";
    qCDebug(lcKestTracker) << "KestSharedPrivate::handleRemoval name: " << serviceName;

    const KestBusName busName(serviceName);
    KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
    if (busName.isExtension(KestBusName::Contains))
        registry.removeExtension(busName.extensionUuid());
    else if (busName.isPlaylist(KestBusName::Contains))
        registry.removePlaylist(busName.lastPiece());
}

void KestSharedPrivate::catchPlaylistCreatedSignal(const QString &id, const QString &name, int size,
                                                   int currentIndex, const QDBusMessage &message)
{
    qCDebug(lcKestTracker) << "KestShared::catchPlaylistCreatedSignal" << id << name;
    if (message.service() == QDBusConnection::sessionBus().baseService()) {
        qCDebug(lcKestTracker) << "KestShared::catchPlaylistCreatedSignal signal is our own. Skip it.";
        return;
    }
    if (id.isEmpty()) {
        qCWarning(lcKestTracker) << "KestShared::catchPlaylistCreatedSignal playlist without an id. Skip it.";
        return;
    }
    if (KestInternalRegistry::internalInstance().findPlaylist(id)) {
        qCCritical(lcKestTracker) << "KestShared::catchPlaylistCreatedSignal playlist exists already";
        return;
    }
    qCDebug(lcKestTracker) << "Creating new proxy playlist";
    createProxyPlaylist(id, name, size, currentIndex);
}

void KestSharedPrivate::createProxyRenderer(const QString &plugin, const QString &uuid, const QString &name)
{
    if (!isAddressable(plugin, uuid))
        return;
    KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
    if (registry.findRenderer(uuid)) {
        qCDebug(lcKestTracker)
            << "KestSharedPrivate::createProxyRenderer: Renderer with this uuid exist at registry. Not creating proxy";
        return;
    }
    auto *renderer = new KestProxyRenderer(uuid, plugin, registry, name, nullptr);
    const bool connected =
        !(m_trackFlags & KestShared::TrackRendererSignals) || renderer->connectToRendererSignals();
    if (!connected || !registry.addRenderer(renderer)) {
        qCCritical(lcKestTracker) << "KestSharedPrivate::createProxyRenderer: Renderer initialization failed!!";
        delete renderer;
        return;
    }
    watch(KestBusNames::rendererService(plugin, uuid),
          " KestSharedPrivate::createProxyRenderer failed to connect NameOwnerChanged signal");
}

void KestSharedPrivate::createProxySource(const QString &plugin, const QString &uuid, const QString &name)
{
    qCDebug(lcKestTracker) << "KestSharedPrivate::createProxySource" << plugin << uuid << name;
    if (!isAddressable(plugin, uuid))
        return;
    KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
    if (registry.findSource(uuid)) {
        qCDebug(lcKestTracker)
            << "KestSharedPrivate::createProxySource: Source with this uuid exist at registry. Not creating proxy";
        return;
    }
    auto *source = new KestProxySource(KestRegistry::instance(), uuid, plugin, name);
    if (!source->initDBusConnection() || !registry.addSource(source)) {
        qCCritical(lcKestTracker)
            << "KestSharedPrivate::createProxySource: Initializing proxy source or adding it to registry fails!!";
        delete source;
        return;
    }
    watch(KestBusNames::sourceService(plugin, uuid),
          " KestSharedPrivate::createProxySource failed to connect NameOwnerChanged signal");
}

void KestSharedPrivate::createProxyPlaylist(const QString &id, const QString &name, int size, int currentIndex)
{
    auto *playlist = new KestProxyPlaylist(id, name, size, currentIndex);
    const bool connectSignals = (m_trackFlags & KestShared::TrackPlaylistSignals) || m_connectPlaylistSignals;
    const bool connected = !connectSignals || playlist->connectToPlaylistSignals();
    if (!connected || !KestInternalRegistry::internalInstance().addPlaylist(playlist)) {
        qCWarning(lcKestTracker) << "KestSharedPrivate::createProxyPlaylist: Initializing playlist proxy fails.";
        delete playlist;
        return;
    }
    watch(KestBusNames::playlistService(id),
          " KestSharedPrivate::createProxyPlaylist failed to connect NameOwnerChanged signal");
}

void KestSharedPrivate::createPluginControlInterfaceProxy(const QString &pluginUuid)
{
    qCDebug(lcKestTracker) << "KestSharedPrivate::createPluginControlInterfaceProxy" << pluginUuid;
    KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
    if (registry.findPluginControlInterface(pluginUuid))
        return;
    registry.addPluginControlInterface(pluginUuid, new KestProxyPluginControlInterface(pluginUuid));
}
