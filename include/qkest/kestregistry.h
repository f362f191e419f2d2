// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTREGISTRY_H
#define KESTREGISTRY_H

#include "qkest_export.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>

#include <memory>

class KestPlaylist;
class KestPluginControlInterface;
class KestRenderer;
class KestSource;
class KestRegistryPrivate;

/*!
 * \inmodule QKest
 * \inheaderfile kestregistry.h
 * \brief The process-wide record of renderers, sources, playlists and plugin control interfaces.
 *
 * The registry owns what is registered. A removed object is announced with the matching
 * ...Removed() signal and then deleted with deleteLater(), so it never dies while one of its
 * own slots is running. The registry is a child of the application object and deletes what
 * is still registered when it goes. Look-ups return null, and lists are empty, when nothing
 * matches; the pointers stay valid until the matching ...Removed() signal.
 */
class QKEST_EXPORT KestRegistry : public QObject
{
    Q_OBJECT
public:
    /*! Returns the registry, created on first use; a QCoreApplication must exist. */
    static KestRegistry *instance();

    /*! Returns the source with \a uuid, or null. */
    KestSource *findSource(const QString &uuid) const;
    /*! Returns the renderer with \a uuid, or null. */
    KestRenderer *findRenderer(const QString &uuid) const;
    /*! Returns the playlist with \a id, or null. */
    KestPlaylist *findPlaylist(const QString &id) const;
    /*! Returns the control interface of the plugin \a pluginName, or null. */
    KestPluginControlInterface *findPluginControlInterface(const QString &pluginName) const;

    /*! Returns the renderers, in the order of registration. */
    QList<KestRenderer *> renderers() const;
    /*! Returns the sources, in the order of registration. */
    QList<KestSource *> sources() const;
    /*! Returns the playlists, in the order of registration. */
    QList<KestPlaylist *> playlists() const;
    /*! Returns the plugin control interfaces by plugin name. */
    QMap<QString, KestPluginControlInterface *> pluginControlInterfaces() const;

Q_SIGNALS:
    /*! \a renderer was registered. */
    void rendererAdded(KestRenderer *renderer);
    /*! \a renderer was taken out; it is deleted once control returns to the event loop. */
    void rendererRemoved(KestRenderer *renderer);
    /*! \a source was registered. */
    void sourceAdded(KestSource *source);
    /*! \a source was taken out; it is deleted once control returns to the event loop. */
    void sourceRemoved(KestSource *source);
    /*! \a playlist was registered. */
    void playlistAdded(KestPlaylist *playlist);
    /*! \a playlist was taken out; deleted later unless it was taken back by its owner. */
    void playlistRemoved(KestPlaylist *playlist);
    /*! The control \a interface of the plugin \a pluginName was registered. */
    void pluginControlInterfaceAdded(const QString &pluginName, KestPluginControlInterface *interface);
    /*! The control \a interface of \a pluginName was taken out; it is deleted later. */
    void pluginControlInterfaceRemoved(const QString &pluginName, KestPluginControlInterface *interface);

protected:
    /*! The registry of KestInternalRegistry, a child of \a parent. */
    explicit KestRegistry(QObject *parent);
    /*! Deletes every object still registered. */
    ~KestRegistry() override;

    std::unique_ptr<KestRegistryPrivate> d;

private:
    Q_DISABLE_COPY(KestRegistry)
};

#endif
