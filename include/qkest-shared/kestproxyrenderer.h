// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERER_H
#define KESTPROXYRENDERER_H

#include "qkestshared_export.h"

#include "kestrenderer.h"

#include <QDBusVariant>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class KestInternalRegistry;
class KestProxyRendererPrivate;
class KestProxyRendererRequest;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxyrenderer.h
 * \brief A renderer that lives in another process, reached on the session bus.
 *
 * KestShared creates a proxy for each remote renderer (with KestShared::TrackRenderers) and
 * registers it; the registry owns it and removes it when the renderer's process leaves the bus.
 *
 * Commands and queries become method calls on the remote renderer; they return as soon as the
 * call is on its way, and query results arrive at the caller's member later. A false result
 * means that nothing was sent: no bus, or a callback member of the wrong signature. Once
 * connectToRendererSignals() has run, the remote renderer's signals are emitted as the
 * KestRenderer signals of this object.
 *
 * \code
 * KestProxyRenderer *renderer = new KestProxyRenderer(uuid, plugin, KestInternalRegistry::internalInstance());
 * renderer->connectToRendererSignals();
 * renderer->play(QUrl(QStringLiteral("file:///music/song.ogg")), 0);
 * renderer->getPosition(this, SLOT(onPosition(KestRenderer*,uint)));
 * \endcode
 *
 * \sa {Waiting and time-outs}
 */
class QKESTSHARED_EXPORT KestProxyRenderer : public KestRenderer
{
    Q_OBJECT
public:
    /*!
     * Addresses the renderer of \a pluginName with \a uuid, as a child of \a parent. Without a
     * \a name, the display name is fetched from the remote renderer and announced with
     * nameChanged(). \a registry is consulted for the playlists that the renderer names.
     */
    KestProxyRenderer(const QString &uuid, const QString &pluginName, const KestInternalRegistry &registry,
                      const QString &name = QString(), QObject *parent = nullptr);
    /*! Destroys the proxy and its pending requests, whose callbacks are then never called. */
    ~KestProxyRenderer() override;

    /*!
     * Follows the remote renderer's signals, as sent by the owner of its bus name. Returns false
     * when there is no bus or it refuses the subscriptions. Calling it again changes nothing.
     */
    bool connectToRendererSignals();
    /*! Fetches the display name unless there is one already; returns false when the request could not be sent. */
    bool getName();

    /*! Returns the remote renderer's bus name. */
    const QString &service() const;
    /*! Returns the remote renderer's object path. */
    const QString &objectPath() const;

    /*! Forgets and destroys \a request, whose reply or error has been handled. */
    void completeRequest(KestProxyRendererRequest *request);

    /*! Sends play. \reimp */
    bool play() override;
    /*! Sends play_uri with \a url and \a value. \reimp */
    bool play(const QUrl &url, uint value) override;
    /*! Sends play_uri_content_type with \a url and \a contentType. \reimp */
    bool play(const QUrl &url, const QString &contentType) override;
    /*! Sends stop. \reimp */
    bool stop() override;
    /*! Sends pause. \reimp */
    bool pause() override;
    /*! Sends pause_at with the position \a value. \reimp */
    bool pauseAt(uint value) override;
    /*! Sends resume. \reimp */
    bool resume() override;
    /*! Sends next. \reimp */
    bool next() override;
    /*! Sends previous. \reimp */
    bool previous() override;
    /*! Sends goto_index with \a index. \reimp */
    bool gotoIndex(uint index) override;
    /*! Sends set_position with \a position and \a mode. \reimp */
    bool setPosition(int position, KestRenderer::SeekMode mode) override;
    /*! Returns false when \a receiver lacks a \a member of the status signature. \reimp */
    bool getStatus(QObject *receiver, const char *member) override;
    /*! Sends the playlist's id; returns false for a null \a playlist. \reimp */
    bool assignPlaylist(KestPlaylist *playlist) override;
    /*! Returns false when \a receiver lacks a \a member of the position signature. \reimp */
    bool getPosition(QObject *receiver, const char *member) override;
    /*!
     * Sends \a value for the property \a name to the remote renderer; returns false only when the
     * bus is lost. The local value changes when the renderer announces it.
     * \reimp
     */
    bool setKestProperty(const QString &name, const QVariant &value) override;
    /*! The value of \a name is also kept as a dynamic property of the proxy. \reimp */
    bool kestProperty(QString &name, QObject *receiver, const char *member) override;
    /*! Only while playing or paused; returns false otherwise. \reimp */
    bool getCurrentMediaInfo(QObject *receiver, const char *member, const QString &argument) override;

public Q_SLOTS:
    /*! Receives state_changed with \a state and emits stateChanged(). */
    void catchStateChangedSignal(int state);
    /*! Receives media_changed with \a index and \a objectId and emits mediaChanged() with a content of that uuid. */
    void catchMediaChangedSignal(int index, const QString &objectId);
    /*! Receives playback_completed and emits playbackCompleted(). */
    void catchPlaybackCompletedSignal();
    /*!
     * Receives playlist_changed with \a playlistId and emits playlistChanged() with that registered playlist, or null.
     */
    void catchPlaylistChangedSignal(const QString &playlistId);
    /*! Receives metadata_changed with \a metadata and \a values and emits metadataChanged(). */
    void catchMetadataChangedSignal(const QString &metadata, const QList<QVariant> &values);
    /*! Receives buffering_info with \a status and emits bufferingInfo(). */
    void catchBufferingInfoSignal(double status);
    /*! Receives scanning_info with \a status and emits scanningInfo(). */
    void catchScanningInfoSignal(double status);
    /*! Receives property_changed: stores \a value as the dynamic property \a name. */
    void catchPropertyChangedSignal(const QString &name, const QDBusVariant &value);
    /*! Receives error with \a code and \a message and emits error(). */
    void catchErrorSignal(int code, const QString &message);

private Q_SLOTS:
    void getNameCallback(const QString &name);
    void getNameErrorCallback(KestRenderer *renderer, const KestError &error);
    void unassignPlaylist();

private:
    std::unique_ptr<KestProxyRendererPrivate> const d;
};

#endif
