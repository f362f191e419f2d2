// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTINTERNALREGISTRY_H
#define KESTINTERNALREGISTRY_H

#include "qkest_export.h"
#include "kestregistry.h"

/*!
 * \inmodule QKest
 * \inheaderfile kestinternalregistry.h
 * \brief The registry's face for the framework's own layers, which add and remove components.
 *
 * The add operations return true when the object was registered and announced; the registry
 * then owns it. On false (null object, or its uuid, id or plugin name is taken) the caller keeps
 * it. The remove operations return false when nothing is registered under the name.
 */
class QKEST_EXPORT KestInternalRegistry : public KestRegistry
{
    Q_OBJECT
public:
    /*! Returns the registry, created on first use as a child of the application object. */
    static KestInternalRegistry &internalInstance();

    /*! Registers \a renderer under its uuid and returns true, or returns false. */
    bool addRenderer(KestRenderer *renderer);
    /*! Registers \a source under its uuid and returns true, or returns false. */
    bool addSource(KestSource *source);
    /*! Registers \a playlist under its id and returns true, or returns false. */
    bool addPlaylist(KestPlaylist *playlist);
    /*! Registers \a interface for the plugin \a pluginName and returns true, or returns false. */
    bool addPluginControlInterface(const QString &pluginName, KestPluginControlInterface *interface);

    /*! Removes the renderer or source with \a uuid; returns false when there is none. */
    bool removeExtension(const QString &uuid);
    /*!
     * Removes the renderer with \a uuid only, leaving a source of the same uuid registered; returns false when there
     * is none.
     */
    bool removeRenderer(const QString &uuid);
    /*!
     * Removes the source with \a uuid only, leaving a renderer of the same uuid registered; returns false when there
     * is none.
     */
    bool removeSource(const QString &uuid);
    /*! Removes and later deletes the playlist with \a id; returns false when there is none. */
    bool removePlaylist(const QString &id);
    /*!
     * Takes the playlist with \a id out of the registry without deleting it: the caller owns it
     * again. Returns null when there is none.
     */
    KestPlaylist *takePlaylist(const QString &id);
    /*!
     * Takes the renderer with \a uuid out of the registry without deleting it: the caller owns it
     * again. Returns null when there is none.
     */
    KestRenderer *takeRenderer(const QString &uuid);
    /*!
     * Takes the source with \a uuid out of the registry without deleting it: the caller owns it
     * again. Returns null when there is none.
     */
    KestSource *takeSource(const QString &uuid);
    /*! Removes and later deletes the control interface of \a pluginName; returns false when there is none. */
    bool removePluginControlInterface(const QString &pluginName);

private:
    explicit KestInternalRegistry(QObject *parent);
    ~KestInternalRegistry() override;
};

#endif
