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
 * A renderer that lives in another process, reached on the session bus under
 * KestBusNames::rendererService() and KestBusNames::rendererPath().
 *
 * Commands and queries become method calls on the remote renderer; they return as soon as the
 * call is on its way, and query results arrive at the caller's member later. Once
 * connectToRendererSignals() has run, the remote renderer's signals are emitted as the
 * KestRenderer signals of this object.
 *
 * \code
 * KestProxyRenderer *renderer = new KestProxyRenderer(uuid, plugin, KestInternalRegistry::internalInstance());
 * renderer->connectToRendererSignals();
 * renderer->play(QUrl(QStringLiteral("file:///music/song.ogg")), 0);
 * renderer->getPosition(this, SLOT(onPosition(KestRenderer*,uint)));
 * \endcode
 */
class QKESTSHARED_EXPORT KestProxyRenderer : public KestRenderer
{
    Q_OBJECT
public:
    /*!
     * Addresses the renderer of \a pluginName with \a uuid. Without a \a name, the display name
     * is fetched from the remote renderer and announced with nameChanged(). \a registry is
     * consulted for the playlists that the renderer names.
     */
    KestProxyRenderer(const QString &uuid, const QString &pluginName, const KestInternalRegistry &registry,
                      const QString &name = QString(), QObject *parent = nullptr);
    ~KestProxyRenderer() override;

    /*!
     * Follows the remote renderer's signals, as sent by the owner of its bus name; false when
     * there is no bus or it refuses the subscriptions. Calling it again changes nothing.
     */
    bool connectToRendererSignals();
    /*! Fetches the display name unless there is one already. */
    bool getName();

    const QString &service() const;
    const QString &objectPath() const;

    /*! Forgets and destroys \a request, whose reply or error has been handled. */
    void completeRequest(KestProxyRendererRequest *request);

    bool play() override;
    bool play(const QUrl &url, uint value) override;
    bool play(const QUrl &url, const QString &contentType) override;
    bool stop() override;
    bool pause() override;
    bool pauseAt(uint value) override;
    bool resume() override;
    bool next() override;
    bool previous() override;
    bool gotoIndex(uint index) override;
    bool setPosition(int position, KestRenderer::SeekMode mode) override;
    bool getStatus(QObject *receiver, const char *member) override;
    bool assignPlaylist(KestPlaylist *playlist) override;
    bool getPosition(QObject *receiver, const char *member) override;
    /*!
     * Sends the value to the remote renderer, false only when the bus is lost; the local value
     * changes when the renderer announces it.
     */
    bool setKestProperty(const QString &name, const QVariant &value) override;
    bool kestProperty(QString &name, QObject *receiver, const char *member) override;
    /*! Only while playing or paused (states 1 and 2); false otherwise. */
    bool getCurrentMediaInfo(QObject *receiver, const char *member, const QString &argument) override;

public Q_SLOTS:
    void catchStateChangedSignal(int state);
    void catchMediaChangedSignal(int index, const QString &objectId);
    void catchPlaybackCompletedSignal();
    void catchPlaylistChangedSignal(const QString &playlistId);
    void catchMetadataChangedSignal(const QString &metadata, const QList<QVariant> &values);
    void catchBufferingInfoSignal(double status);
    void catchScanningInfoSignal(double status);
    void catchPropertyChangedSignal(const QString &name, const QDBusVariant &value);
    void catchErrorSignal(int code, const QString &message);

private Q_SLOTS:
    void getNameCallback(const QString &name);
    void getNameErrorCallback(KestRenderer *renderer, const KestError &error);
    void unassignPlaylist();

private:
    std::unique_ptr<KestProxyRendererPrivate> const d;
};

#endif
