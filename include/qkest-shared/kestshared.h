// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTSHARED_H
#define KESTSHARED_H

#include "qkestshared_export.h"

#include <QFlags>
#include <QObject>

#include <memory>

class KestPlaylist;
class KestPluginControlInterface;
class KestRegistry;
class KestRenderer;
class KestSharedPrivate;
class KestSource;

/*!
 * The library's entry point: a process-wide tracker that discovers the framework's components
 * on the session bus, registers a local proxy for each in the core registry and keeps the
 * registry in step with the bus.
 *
 * \code
 * KestShared::instance()->initialize(KestShared::TrackSources | KestShared::TrackRenderers);
 * for (KestRenderer *renderer : KestRegistry::instance()->renderers())
 *     renderer->play();
 * \endcode
 */
class QKESTSHARED_EXPORT KestShared : public QObject
{
    Q_OBJECT
public:
    enum TrackFlags {
        TrackPlugins = 0x01,
        TrackSources = 0x02,
        TrackRenderers = 0x04,
        TrackPlaylists = 0x08,
        TrackRendererSignals = 0x10,
        TrackPlaylistSignals = 0x20
    };
    Q_DECLARE_FLAGS(TrackFlagSet, TrackFlags)
    Q_FLAG(TrackFlagSet)

    //! The tracker, created on first use as a child of the application object.
    static KestShared *instance();

    explicit KestShared(QObject *parent);
    ~KestShared() override;

    /*!
     * Starts tracking the kinds in \a flags: subscribes to the announcements of new components,
     * creates proxies for those already on the bus and, with TrackPlugins, control proxies for the
     * activatable plugins. False when there is no session bus; a second call changes nothing.
     */
    bool initialize(KestShared::TrackFlagSet flags);
    //! Adds TrackSources, TrackRenderers and TrackPlaylists to the flags and initialises.
    bool trackKestComponents(KestRegistry *registry = nullptr);
    //! Adds every flag, initialises and activates the activatable plugins.
    bool initTracking(KestRegistry *registry = nullptr);

    /*!
     * Shares a local playlist with other processes: exports it and its model on the bus and
     * registers it in the core registry, which then owns it. The tracker must be initialised.
     */
    bool publishPlaylist(KestPlaylist *playlist);
    /*!
     * Takes a published local playlist off the bus and out of the registry. The playlist stays
     * alive and is the caller's again.
     */
    bool unPublishPlaylist(const QString &id);
    //! Connects every proxy playlist, now and later, to its remote playlist's signals.
    void connectToPlaylistsSignals();

    /*!
     * Serves a local renderer to other processes, which see it as a KestProxyRenderer: puts it on
     * the bus under the bus name and object path that its plugin name and uuid compose, served by
     * a KestRendererAdaptor that calls the renderer's own operations, and announces it with
     * new_renderer. Any KestRenderer subclass will do.
     *
     * Like a published playlist, the renderer is registered in the core registry, beside the
     * proxies of remote renderers, and the registry owns it while it is published; a tracker in
     * this process never makes a proxy of it. The tracker must be initialised, with any flags.
     * False, after a warning that says why, for a null renderer, a plugin name or uuid that
     * cannot stand in a bus name (the rules that the tracker applies to names from the bus), a
     * uuid that the registry holds already, or a bus name or path that is taken; then nothing is
     * published and nothing relayed.
     */
    bool publishRenderer(KestRenderer *renderer);
    /*!
     * Takes a published renderer off the bus (trackers elsewhere remove their proxies) and out of
     * the registry. The renderer stays alive and is the caller's again. False when it is not
     * published.
     */
    bool unPublishRenderer(KestRenderer *renderer);
    /*!
     * Serves a local source to other processes, which see it as a KestProxySource: as
     * publishRenderer() does for a renderer, with a KestSourceAdaptor, announced with new_source.
     * See KestSourceAdaptor for how the source delivers its rows, and how it says that there are
     * none. The source is registered in the core registry while it is published.
     */
    bool publishSource(KestSource *source);
    //! Takes a published source off the bus and out of the registry, alive; false when it is not published.
    bool unPublishSource(KestSource *source);
    /*!
     * Serves the control interface of this plugin process: puts \a control on the bus under the
     * bus name and path of plugin \a pluginName, served by a KestPluginAdaptor, so that activate
     * and deactivate from other processes reach it, and announces the plugin with new_plugin.
     *
     * The control interface is not registered in the core registry, whose control interfaces
     * are there to control other processes' plugins; a control proxy that this process's tracker
     * made for \a pluginName is removed from it, since it would only reach this process. The
     * tracker must be initialised. False, after a warning, for a null interface, a plugin name
     * that cannot stand in a bus name and a path, a plugin name published already, or a bus name
     * or path that is taken.
     */
    bool publishPlugin(const QString &pluginName, KestPluginControlInterface *control);
    //! Takes a published plugin off the bus; its control interface stays alive. False when it is not published.
    bool unPublishPlugin(const QString &pluginName);

    /*!
     * Bounds every wait for an answer from another process: a call that the library makes and whose
     * reply matters, blocking or not, gives up after \a milliseconds. A component that has let a call
     * time out is not waited for again: blocking calls to it fail at once, with a warning, until it
     * answers again or its bus name changes hands. The default is the bus library's own, 25 seconds.
     * A value of 0 or less is refused with a warning, and the time-out stays as it was.
     */
    void setReplyTimeout(int milliseconds);
    //! The time-out of every wait for an answer, in milliseconds.
    int replyTimeout() const;
    bool isInitialized() const;
    KestShared::TrackFlagSet trackFlags() const;

private:
    friend class KestSharedPrivate;
    std::unique_ptr<KestSharedPrivate> const d;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(KestShared::TrackFlagSet)

#endif
