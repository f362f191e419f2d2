// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestsharedprivate_p.h"

#include "kestbuscall_p.h"
#include "kestbusnames_p.h"
#include "kestlogging_p.h"
#include "kestownerwatch_p.h"
#include "kestproxyplaylist.h"
#include "kestproxyplugincontrolinterface.h"
#include "kestproxyrenderer.h"
#include "kestproxysource.h"

#include <kestinternalregistry.h>
#include <kestplugincontrolinterface.h>

#include <QDBusConnection>

// Owned through the tracker's d-pointer; a child as well, so that it moves to another thread with the tracker.
KestSharedPrivate::KestSharedPrivate(KestShared *shared)
    : QObject(shared)
    , m_shared(shared)
    , m_initialized(false)
    , m_connectPlaylistSignals(false)
    , m_listingBus(false)
{
}

KestSharedPrivate::~KestSharedPrivate()
{
    // The proxies stay registered; only this tracker stops following their names.
    for (auto it = m_components.cbegin(); it != m_components.cend(); ++it)
        disconnectNameOwnerChanged(it.key());
    for (auto it = m_announcedPlugins.cbegin(); it != m_announcedPlugins.cend(); ++it)
        disconnectNameOwnerChanged(it.key());
}

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

    // Owners are followed before the bus is listed, so that no release in between goes unseen.
    KestOwnerWatch *owners = KestOwnerWatch::instance();
    connect(owners, &KestOwnerWatch::ownerChanged, this, &KestSharedPrivate::handleRemoval);
    connect(owners, &KestOwnerWatch::ownerResolved, this, &KestSharedPrivate::checkOwner);
    connect(owners, &KestOwnerWatch::disconnected, this, &KestSharedPrivate::removeEverything);

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
                    SLOT(catchNewPluginSignal(QString)));
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
    // A name that only looks like a component's is nobody's: no proxy could reach a component under it.
    if (busName.isPlugin() && (m_trackFlags & KestShared::TrackPlugins)) {
        if (busName.isComposedAs(KestBusName::Plugin)) {
            qCDebug(lcKestTracker) << "Creating control interface for plugin";
            createPluginControlInterfaceProxy(busName.lastPiece());
        }
        return;
    }
    if (busName.isPlaylist(KestBusName::StartsWith) && (m_trackFlags & KestShared::TrackPlaylists)) {
        if (busName.isComposedAs(KestBusName::Playlist)) {
            qCDebug(lcKestTracker) << "Creating proxy playlist" << busName.lastPiece();
            // Only its name was listed: the rest is asked for, and announced when it arrives.
            if (KestProxyPlaylist *playlist = createProxyPlaylist(busName.lastPiece(), QString(), 0, 0))
                playlist->refresh();
        }
        return;
    }
    if (!busName.isExtension(KestBusName::StartsWith))
        return;

    const QString plugin = busName.extensionPluginName();
    const QString uuid = busName.extensionUuid();
    qCDebug(lcKestTracker) << "Creating proxy for extension:";
    qCDebug(lcKestTracker) << plugin;
    qCDebug(lcKestTracker) << uuid;
    if (!acceptsExtension(plugin, uuid))
        return;
    const KestBusName::Kind kind = busName.extensionKind(KestBusName::StartsWith);
    const bool known = kind == KestBusName::Source || kind == KestBusName::Renderer;
    if (known && !busName.isComposedAs(kind))
        return;
    if (kind == KestBusName::Source && (m_trackFlags & KestShared::TrackSources))
        createProxySource(plugin, uuid, QString());
    else if (kind == KestBusName::Renderer && (m_trackFlags & KestShared::TrackRenderers))
        createProxyRenderer(plugin, uuid, QString());
    else
        qCWarning(lcKestTracker) << "Received name is not a valid source or renderer name";
}

// Identities from the bus end up in bus names, object paths and match rules: refuse what
// cannot stand there before anything is built from it.
bool KestSharedPrivate::acceptsExtension(const QString &plugin, const QString &uuid)
{
    if (plugin.isEmpty() || uuid.isEmpty()) {
        qCCritical(lcKestTracker) << "Empty uuid or plugin name. Proxy will not be createn.";
        return false;
    }
    if (KestBusName::isValidExtension(plugin, uuid))
        return true;
    qCWarning(lcKestTracker) << "KestSharedPrivate: Invalid plugin name or uuid, no proxy created:"
                             << KestBusName::excerpt(plugin) << KestBusName::excerpt(uuid);
    return false;
}

QStringList KestSharedPrivate::activatableNames()
{
    const QDBusMessage reply = KestBusCall::blocking(KestBusNames::busDaemonService(), KestBusNames::busDaemonPath(),
                                                     KestBusNames::busDaemonInterface(),
                                                     QStringLiteral("ListActivatableNames"));
    return KestBusCall::firstArgument(reply).toStringList();
}

void KestSharedPrivate::createPluginProxies()
{
    const QStringList names = activatableNames();
    for (const QString &name : names) {
        const KestBusName busName(name);
        if (busName.isPlugin() && busName.isComposedAs(KestBusName::Plugin))
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
        if (!KestBusName::isValidPluginName(busName.lastPiece())) {
            qCWarning(lcKestTracker) << "KestSharedPrivate: Invalid plugin name, not activated:"
                                     << KestBusName::excerpt(name);
            continue;
        }
        // The full activatable name is addressed; the path carries only the last piece.
        const QDBusMessage activate = QDBusMessage::createMethodCall(name,
                                                                     KestBusNames::pluginPath(busName.lastPiece()),
                                                                     KestBusNames::pluginInterface(),
                                                                     QStringLiteral("activate"));
        if (!QDBusConnection::sessionBus().send(activate))
            qCWarning(lcKestTracker) << "Not able to send activate request to plugin:" << name;
    }
}

bool KestSharedPrivate::connectNameOwnerChanged(const QString &serviceName)
{
    if (!QDBusConnection::sessionBus().isConnected())
        return false;
    // A listed name had an owner while owners were already followed, so its release cannot go
    // unseen; only an announced one needs the daemon's answer.
    KestOwnerWatch::instance()->follow(serviceName,
                                       m_listingBus ? KestOwnerWatch::NoQuestion : KestOwnerWatch::AskOwner);
    return true;
}

void KestSharedPrivate::disconnectNameOwnerChanged(const QString &serviceName)
{
    KestOwnerWatch::instance()->unfollow(serviceName);
}

// The daemon's answer comes once the name is followed: a component announced by a process
// that has already gone, or by one that never owned the name, is taken out again.
void KestSharedPrivate::watch(const QString &serviceName, const Component &component, const char *failureMessage)
{
    const bool followed = m_components.contains(serviceName) || connectNameOwnerChanged(serviceName);
    if (!followed) {
        qCWarning(lcKestTracker) << failureMessage;
        return;
    }
    m_components.insert(serviceName, component);
}

void KestSharedPrivate::removePluginProxy(const QString &pluginName)
{
    KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
    const QPointer<KestProxyPluginControlInterface> proxy = m_plugins.take(pluginName);
    if (proxy && registry.findPluginControlInterface(pluginName) == proxy)
        registry.removePluginControlInterface(pluginName);
}

void KestSharedPrivate::checkOwner(const QString &name, const QString &owner)
{
    const auto plugin = m_announcedPlugins.constFind(name);
    if (plugin != m_announcedPlugins.cend()) {
        const QString pluginName = plugin.value();
        m_announcedPlugins.erase(plugin);
        disconnectNameOwnerChanged(name);
        if (!owner.isEmpty())
            createPluginControlInterfaceProxy(pluginName);
        else
            qCWarning(lcKestTracker) << "KestSharedPrivate: Nobody owns" << name << "- no control interface created.";
        return;
    }
    if (!m_components.contains(name))
        return;
    // A proxy of a component of this very process would call itself, with blocking calls.
    if (owner == QDBusConnection::sessionBus().baseService()) {
        qCDebug(lcKestTracker) << "KestSharedPrivate:" << name << "is this process's own, its proxy is removed.";
        remove(name);
    } else if (owner.isEmpty()) {
        qCWarning(lcKestTracker) << "KestSharedPrivate: Nobody owns" << name << "- its proxy is removed.";
        remove(name);
    }
}

void KestSharedPrivate::handleRemoval(const QString &name, const QString &oldOwner, const QString &newOwner)
{
    // Only a release counts; a name that gains or changes its owner stays.
    if (oldOwner.isEmpty() || !newOwner.isEmpty() || !m_components.contains(name))
        return;
    qCDebug(lcKestTracker) << "KestSharedPrivate::handleRemoval name: " << name;
    remove(name);
}

// Exactly the component that the name stands for goes: never another kind, or another
// plugin's component, that shares its uuid or id.
void KestSharedPrivate::remove(const QString &serviceName)
{
    const Component component = m_components.take(serviceName);
    disconnectNameOwnerChanged(serviceName);
    KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
    QObject *registered = nullptr;
    if (component.kind == KestBusName::Renderer)
        registered = registry.findRenderer(component.id);
    else if (component.kind == KestBusName::Source)
        registered = registry.findSource(component.id);
    else
        registered = registry.findPlaylist(component.id);
    if (!registered || registered != component.proxy)
        return;
    if (component.kind == KestBusName::Renderer)
        registry.removeRenderer(component.id);
    else if (component.kind == KestBusName::Source)
        registry.removeSource(component.id);
    else
        registry.removePlaylist(component.id);
}

void KestSharedPrivate::removeEverything()
{
    qCWarning(lcKestTracker) << "KestShared: The session bus connection is lost, remote components are removed.";
    const QStringList names = m_components.keys();
    for (const QString &name : names)
        remove(name);
    KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
    for (auto it = m_plugins.cbegin(); it != m_plugins.cend(); ++it) {
        if (it.value() && registry.findPluginControlInterface(it.key()) == it.value())
            registry.removePluginControlInterface(it.key());
    }
    m_plugins.clear();
}

void KestSharedPrivate::catchPlaylistCreatedSignal(const QString &id, const QString &name, int size, int currentIndex,
                                                   const QDBusMessage &message)
{
    qCDebug(lcKestTracker) << "KestShared::catchPlaylistCreatedSignal" << KestBusName::excerpt(id)
                           << KestBusName::excerpt(name);
    if (message.service() == QDBusConnection::sessionBus().baseService()) {
        qCDebug(lcKestTracker) << "KestShared::catchPlaylistCreatedSignal signal is our own. Skip it.";
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
    if (!acceptsExtension(plugin, uuid))
        return;
    KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
    if (registry.findRenderer(uuid)) {
        qCDebug(lcKestTracker)
            << "KestSharedPrivate::createProxyRenderer: Renderer with this uuid exist at registry. Not creating proxy";
        return;
    }
    auto *renderer = new KestProxyRenderer(uuid, plugin, registry, name, nullptr);
    const bool connected = !(m_trackFlags & KestShared::TrackRendererSignals) || renderer->connectToRendererSignals();
    if (!connected || !registry.addRenderer(renderer)) {
        qCCritical(lcKestTracker) << "KestSharedPrivate::createProxyRenderer: Renderer initialization failed!!";
        delete renderer;
        return;
    }
    watch(renderer->service(), {KestBusName::Renderer, uuid, renderer},
          " KestSharedPrivate::createProxyRenderer failed to connect NameOwnerChanged signal");
}

void KestSharedPrivate::createProxySource(const QString &plugin, const QString &uuid, const QString &name)
{
    qCDebug(lcKestTracker) << "KestSharedPrivate::createProxySource" << KestBusName::excerpt(plugin)
                           << KestBusName::excerpt(uuid) << KestBusName::excerpt(name);
    if (!acceptsExtension(plugin, uuid))
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
    watch(source->serviceName(), {KestBusName::Source, uuid, source},
          " KestSharedPrivate::createProxySource failed to connect NameOwnerChanged signal");
}

KestProxyPlaylist *KestSharedPrivate::createProxyPlaylist(const QString &id, const QString &name, int size,
                                                          int currentIndex)
{
    if (!KestBusName::isValidPlaylistId(id)) {
        qCWarning(lcKestTracker) << "KestSharedPrivate: Invalid playlist id, no proxy created:"
                                 << KestBusName::excerpt(id);
        return nullptr;
    }
    auto *playlist = new KestProxyPlaylist(id, name, size, currentIndex);
    const bool connectSignals = (m_trackFlags & KestShared::TrackPlaylistSignals) || m_connectPlaylistSignals;
    const bool connected = !connectSignals || playlist->connectToPlaylistSignals();
    if (!connected || !KestInternalRegistry::internalInstance().addPlaylist(playlist)) {
        qCWarning(lcKestTracker) << "KestSharedPrivate::createProxyPlaylist: Initializing playlist proxy fails.";
        delete playlist;
        return nullptr;
    }
    watch(KestBusNames::playlistService(id), {KestBusName::Playlist, id, playlist},
          " KestSharedPrivate::createProxyPlaylist failed to connect NameOwnerChanged signal");
    return playlist;
}

// A running plugin announces itself; the announcement counts once the daemon confirms that
// somebody owns the plugin's name.
void KestSharedPrivate::catchNewPluginSignal(const QString &pluginName)
{
    if (!KestBusName::isValidPluginName(pluginName)) {
        qCWarning(lcKestTracker) << "KestSharedPrivate: Invalid plugin name, no control interface created:"
                                 << KestBusName::excerpt(pluginName);
        return;
    }
    if (KestInternalRegistry::internalInstance().findPluginControlInterface(pluginName)) {
        createPluginControlInterfaceProxy(pluginName); // says so, and keeps the one there is
        return;
    }
    const QString serviceName = KestBusNames::pluginService(pluginName);
    if (!m_announcedPlugins.contains(serviceName) && connectNameOwnerChanged(serviceName))
        m_announcedPlugins.insert(serviceName, pluginName);
}

void KestSharedPrivate::createPluginControlInterfaceProxy(const QString &pluginUuid)
{
    qCDebug(lcKestTracker) << "KestSharedPrivate::createPluginControlInterfaceProxy"
                           << KestBusName::excerpt(pluginUuid);
    if (!KestBusName::isValidPluginName(pluginUuid)) {
        qCWarning(lcKestTracker) << "KestSharedPrivate: Invalid plugin name, no control interface created:"
                                 << KestBusName::excerpt(pluginUuid);
        return;
    }
    KestInternalRegistry &registry = KestInternalRegistry::internalInstance();
    if (registry.findPluginControlInterface(pluginUuid) || m_publishedPlugins.value(pluginUuid))
        return;
    auto *control = new KestProxyPluginControlInterface(pluginUuid);
    if (registry.addPluginControlInterface(pluginUuid, control))
        m_plugins.insert(pluginUuid, control);
    else
        delete control;
}
