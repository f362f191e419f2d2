// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPLAYLISTADAPTOR_H
#define KESTPLAYLISTADAPTOR_H

#include "qkestshared_export.h"

#include <kestplaylist.h>

#include <QDBusAbstractAdaptor>
#include <QString>

#include <memory>

class KestPlaylistAdaptorPrivate;
class QDBusMessage;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestplaylistadaptor.h
 * \brief Exports a local playlist on the session bus.
 *
 * The playlist goes on the bus under its own bus name and object path, as interface
 * "com.zorvo.kest.playlist", and is announced with playlist_created. KestShared::publishPlaylist()
 * creates the adaptor; applications rarely need it directly.
 *
 * The adaptor is a child of the playlist and dies with it. The playlist's change signals are
 * forwarded as bus signals while the playlist is on the bus. Its slots serve other processes;
 * every index they pass is checked by the playlist.
 */
class QKESTSHARED_EXPORT KestPlaylistAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.playlist")
    // interfaces/com.zorvo.kest.playlist.xml, read by moc from the generated kestintrospection.h
    Q_CLASSINFO("D-Bus Introspection", KEST_PLAYLIST_INTROSPECTION)
public:
    /*! An adaptor for \a playlist, as its child; nothing is on the bus before init(). */
    explicit KestPlaylistAdaptor(KestPlaylist &playlist);
    /*! Withdraws the playlist from the bus. */
    ~KestPlaylistAdaptor() override;

    /*!
     * Claims the playlist's bus name, registers the playlist at its object path and sends
     * playlist_created. Returns false, with a warning, when any step fails: the id cannot stand in
     * a bus name, the name is owned already (even by this process) or the bus refuses. A bus name
     * that was claimed stays owned until the adaptor is withdrawn or destroyed.
     */
    bool init();

    /*!
     * Unregisters the object, then releases the bus name, as far as init() got. Qt's adaptors
     * live as long as the object they export and must not be deleted on their own; withdrawing
     * is how a playlist leaves the bus early. init() may be called again afterwards.
     */
    void withdraw();

public Q_SLOTS:
    /*! Returns the playlist's display name (bus method get_name). */
    QString get_name();
    /*! Returns the playlist's id. */
    QString id();
    /*! Shuffles the playlist. */
    void shuffle();
    /*! Puts the playlist back in its order before shuffling. */
    void unshuffle();
    /*! Replies to \a message with the uuid of the item at \a index, or an empty string when there is no such item. */
    void get_item(int index, const QDBusMessage &message);
    /*! Replies to \a message with the uuid of the media information of the item at \a index, or an empty string. */
    void get_item_media_info(int index, const QDBusMessage &message);
    /*! Returns the number of items. */
    uint get_size();
    /*! Returns the current index, -1 when there is none. */
    int get_current();
    /*! Returns the index after \a index by the repeat mode, -1 when there is none. */
    int get_next(int index);
    /*! Returns the index before \a index by the repeat mode, -1 when there is none. */
    int get_prev(int index);
    /*! Sets the repeat mode to \a repeat, a KestPlaylist::KestRepeatMode; other values are refused with a warning. */
    void set_repeat(int repeat);
    /*! Returns the repeat mode, a KestPlaylist::KestRepeatMode. */
    int get_repeat();
    /*! Returns true while the playlist is shuffled. */
    bool is_shuffled();
    /*! Accepted for compatibility; the library keeps no use count. */
    void increment_use_count();
    /*! Accepted for compatibility; the library keeps no use count. */
    void decrement_use_count();
    /*! Returns the sort order, a KestPlaylist::KestSortOrder. */
    uint get_sort_order();

private Q_SLOTS:
    void send_contents_changed(uint from, uint remove, uint get);
    void sendPlaylistUpdated(KestPlaylist::KestPlaylistUpdate update, int newIndex);
    bool sendPlaylistCreatedSignal();
    void send_repeat_mode_changed();

private:
    std::unique_ptr<KestPlaylistAdaptorPrivate> const d;
};

#endif
