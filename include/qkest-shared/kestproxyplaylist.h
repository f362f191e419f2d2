// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYPLAYLIST_H
#define KESTPROXYPLAYLIST_H

#include "qkestshared_export.h"

#include <kestplaylist.h>

#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class KestProxyPlaylistPrivate;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxyplaylist.h
 * \brief A read-only local view of a playlist that another process exports.
 *
 * The exporting process uses KestPlaylistAdaptor. KestShared creates a proxy for each playlist
 * announced on the bus (with KestShared::TrackPlaylists) and registers it; the registry owns it.
 *
 * Name (once known), size and current index are answered from local copies that follow the
 * remote playlist's signals once connectToPlaylistSignals() has been called; every other
 * question is one blocking round trip, and a failed one gives a warning and the "nothing" value
 * (-1, null, an invalid value). Operations that would change the playlist do nothing.
 *
 * \sa {Waiting and time-outs}
 */
class QKESTSHARED_EXPORT KestProxyPlaylist : public KestPlaylist
{
    Q_OBJECT
public:
    /*!
     * The proxy of the remote playlist \a id, as announced: display \a name, \a size items and
     * \a currentIndex. A negative size counts as 0, a current index below -1 as -1.
     */
    KestProxyPlaylist(const QString &id, const QString &name, int size, int currentIndex);
    /*! Destroys the proxy and its model; the remote playlist is not touched. */
    ~KestProxyPlaylist() override;

    /*!
     * Follows the remote playlist's signals. Returns false when there is no bus or a subscription
     * is refused; true at once when already done.
     */
    bool connectToPlaylistSignals();
    /*!
     * Connects the remote playlist's bus signal \a name to this object's \a slot (SLOT() coding).
     * Returns false, with a warning, when the bus refuses.
     */
    bool connectToSignal(const QString &name, const char *slot);
    /*!
     * Calls \a method with \a arguments on the remote playlist and blocks until it answers or the
     * call times out. Returns the reply's first argument, or an invalid value after a warning.
     */
    QVariant makeDBusMethodCall(const QString &method, const QList<QVariant> &arguments) const;
    /*!
     * Asks the exporting application for the playlist's name, size and current index without waiting. What
     * differs from the local copies is announced when the answers arrive: the size with contentsChanged() (all
     * items replaced by as many as there are now), the current index with playlistUpdated() (CurrentIndexChanged)
     * and a name, when none was known, with nameChanged(). Answers that do not fit are ignored with a warning.
     */
    void refresh();
    /*!
     * Fetches the name from the remote playlist, blocking whatever \a mode says. Returns false,
     * keeping the old name, when there is no usable answer.
     */
    bool getName(QDBus::CallMode mode);
    /*!
     * Updates the local size by a change that removed \a remove and added \a get items; it stays within 0 and INT_MAX.
     */
    void updateSize(int remove, int get);
    /*!
     * Moves the local current index as a change at \a from that replaced \a remove items by
     * \a get items moves it. Negative values are refused with a warning.
     */
    void updateCurrentIndex(int from, int remove, int get);

    /*! Returns the name; the first call while it is unknown fetches it, blocking. \reimp */
    QString name() override;
    /*!
     * Returns the remote playlist's item model, a KestProxyModel created on first use, in Blocking
     * mode, and owned by the playlist. An application that shows it in a view switches it to
     * KestProxyModel::Background.
     * eimp
     */
    QAbstractItemModel *model() override;
    /*! Does nothing: a proxy cannot sort the remote playlist. \reimp */
    void sort(int column, KestPlaylist::KestSortOrder order) override;
    /*! Does nothing: a proxy cannot sort the remote playlist. \reimp */
    void sort(const QString &key, KestPlaylist::KestSortOrder order) override;
    /*! Returns an empty list. \reimp */
    QStringList getColumnNames() override;
    /*! Does nothing: a proxy cannot shuffle the remote playlist. \reimp */
    void shuffle() override;
    /*! Does nothing. \reimp */
    void unShuffle() override;
    /*! Returns false: a proxy cannot remove items. \reimp */
    bool removeItem(int index) override;
    /*! Returns false: a proxy cannot remove items. \reimp */
    bool removeItems(int index, int count) override;
    /*! Returns false: a proxy cannot move items. \reimp */
    bool moveItem(int from, int to) override;
    /*! Does nothing. \reimp */
    void clear() override;
    /*!
     * Returns a new content carrying only the item's uuid (the caller owns it); null when there
     * is none or the call failed. One blocking round trip; the item becomes the local current one.
     * \reimp
     */
    KestContent *getItem(int index) override;
    /*! Returns the local copy of the size. \reimp */
    int size() override;
    /*! Returns the local copy of the current index. \reimp */
    int getCurrentIndex() override;
    /*! Asks the remote playlist, blocking; returns -1 when the call failed. \reimp */
    int getNext(int index) override;
    /*! Asks the remote playlist, blocking; returns -1 when the call failed. \reimp */
    int getPrevious(int index) override;
    /*! Does nothing: a proxy cannot change the repeat mode. \reimp */
    void setRepeat(KestPlaylist::KestRepeatMode mode) override;
    /*! Returns RepeatNone; the remote mode is not read. \reimp */
    KestPlaylist::KestRepeatMode repeatMode() override;
    /*! Asks the remote playlist, blocking; returns Unsorted, with a warning, for an unknown answer. \reimp */
    KestPlaylist::KestSortOrder getSortOrder() override;
    /*! Returns false; the remote state is not read. \reimp */
    bool isShuffled() override;
    /*! Returns false: a proxy cannot import. \reimp */
    bool import(QFile &file) override;
    /*! Returns media information with only the uuid, asked blocking; invalid when the call failed. \reimp */
    KestMediaInfo getItemMediaInfo(int index) override;

    /*! Does nothing: the remote playlist belongs to its process. */
    void destroy();
    /*! Does nothing: a proxy cannot insert \a content at \a index; the caller keeps \a content. */
    void insertItem(int index, KestContent *content);
    /*! Does nothing: a proxy cannot append \a content; the caller keeps it. */
    void appendItem(KestContent *content);
    /*! Returns false: a proxy cannot remove \a content. */
    bool removeItem(KestContent *content);
    /*! Returns false: a proxy cannot insert \a uri at \a index. */
    bool insertUri(int index, const QString &uri);
    /*! Returns false: a proxy cannot append \a uri. */
    bool appendUri(const QString &uri);
    /*! Returns 0, the first index. */
    int getStartingIndex();
    /*! Returns the last index by the local size, -1 for an empty playlist. */
    int getLastIndex();
    /*! Only warns: a proxy cannot rename the remote playlist to \a name. */
    void setName(const QString &name);

Q_SIGNALS:
    /*! The playlist's display name became known as \a name. */
    void nameChanged(const QString &name);

public Q_SLOTS:
    /*!
     * Receives contents_changed: at \a from, \a remove items were replaced by \a get items. Updates
     * the size and current index and emits contentsChanged(); ignored when \a id is another playlist's.
     */
    void catchContentsChangedSignal(QString id, uint from, uint remove, uint get);
    /*!
     * Receives playlist_updated of playlist \a id: \a updated is a KestPlaylistUpdate, \a newIndex
     * the current index; emits playlistUpdated(). Unknown kinds are refused with a warning.
     */
    void catchPlaylistUpdatedSignal(QString id, int updated, int newIndex);
    /*! Receives item_moved (\a from, \a to); contents_changed tells the same, so it does nothing. */
    void catchItemMovedSignal(uint from, uint to);
    /*! Receives property_changed for \a property; does nothing. */
    void catchPropertyChangedSignal(QString property);
    /*! Receives repeat_mode_changed and emits repeatModeChanged(). */
    void catchRepeatModeChangedSignal();

private:
    std::unique_ptr<KestProxyPlaylistPrivate> const d;
};

#endif
