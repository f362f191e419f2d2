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
 * Exports a local playlist on the session bus under its own bus name and object path, as
 * interface "com.zorvo.kest.playlist", and announces it with playlist_created.
 *
 * The adaptor is a child of the playlist and dies with it. The playlist's change signals are
 * forwarded as bus signals while the playlist is on the bus.
 */
class QKESTSHARED_EXPORT KestPlaylistAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.playlist")
    // interfaces/com.zorvo.kest.playlist.xml, read by moc from the generated kestintrospection.h
    Q_CLASSINFO("D-Bus Introspection", KEST_PLAYLIST_INTROSPECTION)
public:
    explicit KestPlaylistAdaptor(KestPlaylist &playlist);
    //! Withdraws the playlist from the bus.
    ~KestPlaylistAdaptor() override;

    /*!
     * Claims the playlist's bus name, registers the playlist at its object path and sends
     * playlist_created. False when any step fails; a bus name that was claimed stays owned
     * until the adaptor is withdrawn or destroyed.
     */
    bool init();

    /*!
     * Unregisters the object, then releases the bus name, as far as init() got. Qt's adaptors
     * live as long as the object they export and must not be deleted on their own; withdrawing
     * is how a playlist leaves the bus early. init() may be called again afterwards.
     */
    void withdraw();

public Q_SLOTS:
    QString get_name();
    QString id();
    void shuffle();
    void unshuffle();
    //! Replies with the item's uuid, or an empty string when there is no such item.
    void get_item(int index, const QDBusMessage &message);
    //! Replies with the uuid of the item's media information, or an empty string.
    void get_item_media_info(int index, const QDBusMessage &message);
    uint get_size();
    int get_current();
    int get_next(int index);
    int get_prev(int index);
    void set_repeat(int repeat);
    int get_repeat();
    bool is_shuffled();
    void increment_use_count();
    void decrement_use_count();
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
