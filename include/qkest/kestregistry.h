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
 * The process-wide record of renderers, sources, playlists and plugin control interfaces.
 *
 * The registry owns what is registered. A removed object is announced with the matching
 * ...Removed() signal and then deleted with deleteLater(), so it never dies while one of its
 * own slots is running. The registry is a child of the application object and deletes what
 * is still registered when it goes.
 */
class QKEST_EXPORT KestRegistry : public QObject
{
    Q_OBJECT
public:
    static KestRegistry *instance();

    KestSource *findSource(const QString &uuid) const;
    KestRenderer *findRenderer(const QString &uuid) const;
    KestPlaylist *findPlaylist(const QString &id) const;
    KestPluginControlInterface *findPluginControlInterface(const QString &pluginName) const;

    //! In the order of registration.
    QList<KestRenderer *> renderers() const;
    QList<KestSource *> sources() const;
    QList<KestPlaylist *> playlists() const;
    QMap<QString, KestPluginControlInterface *> pluginControlInterfaces() const;

Q_SIGNALS:
    void rendererAdded(KestRenderer *renderer);
    void rendererRemoved(KestRenderer *renderer);
    void sourceAdded(KestSource *source);
    void sourceRemoved(KestSource *source);
    void playlistAdded(KestPlaylist *playlist);
    void playlistRemoved(KestPlaylist *playlist);
    void pluginControlInterfaceAdded(const QString &pluginName, KestPluginControlInterface *interface);
    void pluginControlInterfaceRemoved(const QString &pluginName, KestPluginControlInterface *interface);

protected:
    explicit KestRegistry(QObject *parent);
    ~KestRegistry() override;

    std::unique_ptr<KestRegistryPrivate> d;

private:
    Q_DISABLE_COPY(KestRegistry)
};

#endif
