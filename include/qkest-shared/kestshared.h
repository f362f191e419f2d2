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
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestshared.h
 * \brief The library's entry point: a process-wide tracker of the framework's components on the
 * session bus.
 *
 * It discovers the components, registers a local proxy for each in the core registry
 * (KestRegistry) and keeps the registry in step with the bus: a proxy is taken out again when
 * its process leaves the bus. It also publishes the application's own playlists.
 *
 * \code
 * KestShared::instance()->initialize(KestShared::TrackSources | KestShared::TrackRenderers);
 * for (KestRenderer *renderer : KestRegistry::instance()->renderers())
 *     renderer->play();
 * \endcode
 *
 * \sa {Waiting and time-outs}, {Writing a plugin}
 */
class QKESTSHARED_EXPORT KestShared : public QObject
{
    Q_OBJECT
public:
    /*!
     * The kinds of components to follow, and whose signals to relay.
     * \value TrackPlugins Control proxies for the activatable plugins (KestProxyPluginControlInterface).
     * \value TrackSources Proxies for remote sources (KestProxySource).
     * \value TrackRenderers Proxies for remote renderers (KestProxyRenderer).
     * \value TrackPlaylists Proxies for playlists that other processes publish (KestProxyPlaylist).
     * \value TrackRendererSignals Relay each remote renderer's signals as its proxy's signals.
     * \value TrackPlaylistSignals Relay each remote playlist's signals as its proxy's signals.
     */
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

    /*! Returns the tracker, created on first use as a child of the application object. */
    static KestShared *instance();

    /*! A tracker that is a child of \a parent; most applications use instance() instead. */
    explicit KestShared(QObject *parent);
    /*! Destroys the tracker; the proxies stay in the registry, which owns them. */
    ~KestShared() override;

    /*!
     * Starts tracking the kinds in \a flags: subscribes to the announcements of new components,
     * creates proxies for those already on the bus and, with TrackPlugins, control proxies for the
     * activatable plugins. Returns false when there is no session bus; a second call changes nothing.
     */
    bool initialize(KestShared::TrackFlagSet flags);
    /*!
     * Adds TrackSources, TrackRenderers and TrackPlaylists to the flags and initialises; returns
     * what initialize() returns. \a registry is not used: there is one registry per process.
     */
    bool trackKestComponents(KestRegistry *registry = nullptr);
    /*!
     * Adds every flag, initialises and activates the activatable plugins; returns false when
     * initialisation failed. \a registry is not used: there is one registry per process.
     */
    bool initTracking(KestRegistry *registry = nullptr);

    /*!
     * Shares the local \a playlist with other processes: exports it and its model on the bus and
     * registers it in the core registry, which then owns it. Returns false, with a warning and
     * nothing left on the bus, when the tracker is not initialised, \a playlist is null or has no
     * model, its id is taken in the registry or cannot be published, or the bus refuses.
     */
    bool publishPlaylist(KestPlaylist *playlist);
    /*!
     * Takes the published local playlist \a id off the bus and out of the registry. The playlist
     * stays alive and is the caller's again. Returns false for an id that is not registered or
     * that names another process's playlist.
     */
    bool unPublishPlaylist(const QString &id);
    /*! Connects every proxy playlist, now and later, to its remote playlist's signals; warns when not initialised. */
    void connectToPlaylistsSignals();

    /*!
     * Serves the local \a renderer to other processes, which see it as a KestProxyRenderer: puts
     * it on the bus under the bus name and object path that its plugin name and uuid compose,
     * served by a KestRendererAdaptor that calls the renderer's own operations, and announces it
     * with new_renderer. Any KestRenderer subclass will do.
     *
     * Like a published playlist, the renderer is registered in the core registry, beside the
     * proxies of remote renderers, and the registry owns it while it is published; a tracker in
     * this process never makes a proxy of it. The tracker must be initialised, with any flags.
     *
     * Returns true when the renderer is on the bus and in the registry. Returns false, after a
     * warning that says why, when the tracker is not initialised, for a null renderer, a plugin
     * name or uuid that cannot stand in a bus name (the rules that the tracker applies to names
     * from the bus), a uuid that the registry holds already, or a bus name or path that is taken;
     * then nothing is published and nothing relayed, and the caller keeps the renderer.
     *
     * \sa unPublishRenderer(), {Writing a plugin}
     */
    bool publishRenderer(KestRenderer *renderer);
    /*!
     * Takes the published \a renderer off the bus, where trackers in other processes then remove
     * their proxies of it, and out of the registry. Calls still waiting for the renderer's answer
     * are answered with an error. The renderer stays alive and is the caller's again, to delete
     * or to publish again.
     *
     * Returns true when it was published; false, with a warning, for a null renderer or one that
     * is not published.
     */
    bool unPublishRenderer(KestRenderer *renderer);
    /*!
     * Serves the local \a source to other processes, which see it as a KestProxySource: as
     * publishRenderer() does for a renderer, with a KestSourceAdaptor, announced with new_source.
     * See KestSourceAdaptor for how the source delivers its rows, how it says that there are none,
     * and what each caller may ask of it. The source is registered in the core registry, which
     * owns it while it is published.
     *
     * Returns true when the source is on the bus and in the registry; false, after a warning, for
     * the reasons that publishRenderer() gives, and then the caller keeps the source.
     *
     * \sa unPublishSource(), {Writing a plugin}
     */
    bool publishSource(KestSource *source);
    /*!
     * Takes the published \a source off the bus and out of the registry. Every browse and query
     * in progress is cancelled at the source and forgotten: its callers get no more rows, nor an
     * end. The source stays alive and is the caller's again.
     *
     * Returns true when it was published; false, with a warning, for a null source or one that is
     * not published.
     */
    bool unPublishSource(KestSource *source);
    /*!
     * Serves the control interface of this plugin process: puts \a control on the bus under the
     * bus name and path of plugin \a pluginName, served by a KestPluginAdaptor, so that activate
     * and deactivate from other processes reach it, and announces the plugin with new_plugin.
     * The caller keeps \a control; deleting it takes the plugin off the bus.
     *
     * The control interface is not registered in the core registry, whose control interfaces
     * are there to control other processes' plugins; a control proxy that this process's tracker
     * made for \a pluginName is removed from it, since it would only reach this process. The
     * tracker must be initialised.
     *
     * Returns true when the plugin is on the bus. Returns false, after a warning, when the tracker
     * is not initialised, for a null interface, a plugin name that cannot stand in a bus name and
     * a path, a plugin name published already, or a bus name or path that is taken.
     *
     * \sa unPublishPlugin(), {Writing a plugin}
     */
    bool publishPlugin(const QString &pluginName, KestPluginControlInterface *control);
    /*!
     * Takes the published plugin \a pluginName off the bus; its control interface stays alive and
     * is not told. Returns true when it was published; false, with a warning, when it is not.
     */
    bool unPublishPlugin(const QString &pluginName);

    /*!
     * Bounds every wait for an answer from another process: a call that the library makes and whose
     * reply matters, blocking or not, gives up after \a milliseconds. A component that has let a call
     * time out is not waited for again: blocking calls to it fail at once, with a warning, until it
     * answers again or its bus name changes hands. The default is the bus library's own, 25 seconds.
     * A value of 0 or less is refused with a warning, and the time-out stays as it was.
     */
    void setReplyTimeout(int milliseconds);
    /*! Returns the time-out of every wait for an answer, in milliseconds. */
    int replyTimeout() const;
    /*! Returns true once initialize() has succeeded. */
    bool isInitialized() const;
    /*! Returns the kinds tracked, as given to initialize() and the functions that call it. */
    KestShared::TrackFlagSet trackFlags() const;

private:
    friend class KestSharedPrivate;
    std::unique_ptr<KestSharedPrivate> const d;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(KestShared::TrackFlagSet)

#endif
