// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTSHARED_H
#define KESTSHARED_H

#include "qkestshared_export.h"

#include <QFlags>
#include <QObject>

#include <memory>

class KestPlaylist;
class KestRegistry;
class KestSharedPrivate;

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
