// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPLAYLIST_H
#define KESTPLAYLIST_H

#include "qkest_export.h"
#include "kestcontent.h"
#include "kestmediainfo.h"

#include <QObject>
#include <QString>
#include <QStringList>

class QAbstractItemModel;
class QFile;

/*!
 * \inmodule QKest
 * \inheaderfile kestplaylist.h
 * \brief An ordered list of media items with a current index.
 *
 * The default operations do nothing and return 0, -1, false or null; concrete playlists
 * (KestLocalPlaylist, KestProxyPlaylist) override them. Indexes count from 0; -1 stands for
 * "no item". The registry owns the playlists registered in it.
 */
class QKEST_EXPORT KestPlaylist : public QObject
{
    Q_OBJECT
public:
    /*!
     * What a playlistUpdated() reports. The first two carry a new current index.
     * \value CurrentIndexChanged Another item, or none (-1), became current.
     * \value CurrentIndexReset The current index was reset to the update's new index.
     * \value Shuffled The items were shuffled.
     * \value UnShuffled The items went back to their order before shuffling.
     * \value Sorted The items were sorted.
     */
    enum KestPlaylistUpdate {
        CurrentIndexChanged = 0,
        CurrentIndexReset = 1,
        Shuffled = 2,
        UnShuffled = 3,
        Sorted = 4
    };
    Q_ENUM(KestPlaylistUpdate)

    /*!
     * What getNext() and getPrevious() do at an item and at the ends of the list.
     * \value RepeatNone Step to the neighbour; none past either end.
     * \value RepeatOne Stay on the same item.
     * \value RepeatAll Step to the neighbour, wrapping around at the ends.
     */
    enum KestRepeatMode {
        RepeatNone = 0,
        RepeatOne = 1,
        RepeatAll = 2
    };
    Q_ENUM(KestRepeatMode)

    /*!
     * The order in which the items were last sorted.
     * \value Unsorted Not sorted, or changed since.
     * \value Ascending Sorted from least to greatest.
     * \value Descending Sorted from greatest to least.
     */
    enum KestSortOrder {
        Unsorted = 0,
        Ascending = 1,
        Descending = 2
    };
    Q_ENUM(KestSortOrder)

    /*! A playlist with \a id and display \a name, a child of \a parent. */
    KestPlaylist(const QString &id, const QString &name, QObject *parent = nullptr);
    /*! Destroys the playlist; a published one must be unpublished first. */
    ~KestPlaylist() override;

    /*! Returns the id, which never changes. */
    QString id() const;
    /*! Sets the display name to \a name; no signal tells of it. */
    void setName(const QString &name);

    /*! Returns whether the playlist is to be kept across sessions; false unless set. */
    bool persistent() const;
    /*! Marks the playlist as one to keep (\a persistent true) or not; nothing is stored by this library. */
    void setPersistent(bool persistent);

    /*! Returns the display name. */
    virtual QString name();
    /*! Returns the item model; the playlist owns it. The default returns null. */
    virtual QAbstractItemModel *model();
    /*! Sorts the items by the model's \a column in \a order. The default does nothing. */
    virtual void sort(int column, KestPlaylist::KestSortOrder order);
    /*! Sorts the items by the metadata \a key in \a order. The default does nothing. */
    virtual void sort(const QString &key, KestPlaylist::KestSortOrder order);
    /*! Returns the model's column titles; the default returns an empty list. */
    virtual QStringList getColumnNames();
    /*! Shuffles the items. The default does nothing. */
    virtual void shuffle();
    /*! Puts the items back in their order before shuffle(). The default does nothing. */
    virtual void unShuffle();
    /*! Removes the item at \a index; returns false when there is none. The default returns false. */
    virtual bool removeItem(int index);
    /*! Removes \a count items starting at \a index; returns false, removing nothing, when they do not all exist. */
    virtual bool removeItems(int index, int count);
    /*! Moves the item at \a from to \a to; returns false when either index does not exist. */
    virtual bool moveItem(int from, int to);
    /*! Removes every item. The default does nothing. */
    virtual void clear();
    /*! Returns a new content for the item at \a index (the caller owns it), or null. */
    virtual KestContent *getItem(int index);
    /*! Returns the number of items; the default returns 0. */
    virtual int size();
    /*! Returns the current index, -1 when there is none. */
    virtual int getCurrentIndex();
    /*! Returns the index after \a index, following the repeat mode; -1 when there is none. */
    virtual int getNext(int index);
    /*! Returns the index before \a index, following the repeat mode; -1 when there is none. */
    virtual int getPrevious(int index);
    /*! Sets the repeat \a mode and emits repeatModeChanged() when it changes. The default does nothing. */
    virtual void setRepeat(KestPlaylist::KestRepeatMode mode);
    /*! Returns the repeat mode; the default returns RepeatNone. */
    virtual KestPlaylist::KestRepeatMode repeatMode();
    /*! Returns the order of the last sort; the default returns Unsorted. */
    virtual KestPlaylist::KestSortOrder getSortOrder();
    /*! Returns true while the items are shuffled; the default returns false. */
    virtual bool isShuffled();
    /*! Reads items from \a file; returns false when nothing was read. The default returns false. */
    virtual bool import(QFile &file);
    /*! Returns the media information of the item at \a index; invalid when there is no such item. */
    virtual KestMediaInfo getItemMediaInfo(int index);

Q_SIGNALS:
    /*! At \a from, \a remove items were replaced by \a get items. */
    void contentsChanged(uint from, uint remove, uint get);
    /*!
     * The playlist changed as \a update tells; \a newIndex is the current index afterwards
     * (-1 for none).
     */
    void playlistUpdated(KestPlaylist::KestPlaylistUpdate update, int newIndex);
    /*! The repeat mode changed; repeatMode() tells the new one. */
    void repeatModeChanged();

protected:
    QString m_id;
    QString m_name;

private:
    bool m_persistent;
};

#endif
