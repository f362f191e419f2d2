// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTINTERNALREGISTRY_H
#define KESTINTERNALREGISTRY_H

#include "qkest_export.h"
#include "kestregistry.h"

/*!
 * The registry's face for the framework's own layers, which add and remove components.
 *
 * The add operations return true when the object was registered; the registry then owns it.
 * On false (null object, or its uuid, id or plugin name is taken) the caller keeps it.
 */
class QKEST_EXPORT KestInternalRegistry : public KestRegistry
{
    Q_OBJECT
public:
    static KestInternalRegistry &internalInstance();

    bool addRenderer(KestRenderer *renderer);
    bool addSource(KestSource *source);
    bool addPlaylist(KestPlaylist *playlist);
    bool addPluginControlInterface(const QString &pluginName, KestPluginControlInterface *interface);

    //! Removes the renderer or source with \a uuid; false when there is none.
    bool removeExtension(const QString &uuid);
    //! Removes the renderer with \a uuid only, leaving a source of the same uuid registered.
    bool removeRenderer(const QString &uuid);
    //! Removes the source with \a uuid only, leaving a renderer of the same uuid registered.
    bool removeSource(const QString &uuid);
    bool removePlaylist(const QString &id);
    /*!
     * Takes the playlist with \a id out of the registry without deleting it: the caller owns it
     * again. Null when there is none.
     */
    KestPlaylist *takePlaylist(const QString &id);
    /*!
     * Takes the renderer with \a uuid out of the registry without deleting it: the caller owns it
     * again. Null when there is none.
     */
    KestRenderer *takeRenderer(const QString &uuid);
    //! Takes the source with \a uuid out of the registry without deleting it; null when there is none.
    KestSource *takeSource(const QString &uuid);
    bool removePluginControlInterface(const QString &pluginName);

private:
    explicit KestInternalRegistry(QObject *parent);
    ~KestInternalRegistry() override;
};

#endif
