// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTLOCALPLAYLIST_H
#define KESTLOCALPLAYLIST_H

#include "qkest_export.h"
#include "kestplaylist.h"

#include <QList>

class KestLocalPlaylistModel;

/*!
 * \inmodule QKest
 * \inheaderfile kestlocalplaylist.h
 * \brief A playlist held in memory.
 *
 * It holds items with uuids, a current index, a repeat mode, shuffling and sorting, and a flat
 * item model with a display column (KestLocalPlaylistModel).
 *
 * Every index is checked, so indexes that arrive from other processes are safe to pass on.
 * Generated ids consist of letters and digits and start with a letter, so they can stand in
 * a bus name and in an object path. Changes are told by contentsChanged() and, when the
 * current index moves, playlistUpdated().
 */
class QKEST_EXPORT KestLocalPlaylist : public KestPlaylist
{
    Q_OBJECT
public:
    /*! An empty playlist with a generated id and the display \a name, a child of \a parent. */
    explicit KestLocalPlaylist(const QString &name, QObject *parent = nullptr);
    /*!
     * An empty playlist with the chosen \a id and display \a name, a child of \a parent. Only ids
     * made of letters, digits and underscores that do not start with a digit can be published
     * on the bus.
     */
    KestLocalPlaylist(const QString &id, const QString &name, QObject *parent);
    /*! Destroys the playlist and its model. */
    ~KestLocalPlaylist() override;

    /*! Returns the KestLocalPlaylistModel, owned by the playlist. \reimp */
    QAbstractItemModel *model() override;
    /*! Only column 0 can be sorted, by the "title" metadata; other columns are ignored. \reimp */
    void sort(int column, KestPlaylist::KestSortOrder order) override;
    /*!
     * Items without the \a key are sorted by their uuid. Sorting keeps the current item
     * current and emits playlistUpdated() with Sorted; an \a order of Unsorted does nothing.
     * \reimp
     */
    void sort(const QString &key, KestPlaylist::KestSortOrder order) override;
    /*! Returns the model's one column title, "Title". \reimp */
    QStringList getColumnNames() override;
    /*! The current item stays current; shuffling again keeps the first order to go back to. \reimp */
    void shuffle() override;
    /*! Items added while shuffled go to the end, in their order. \reimp */
    void unShuffle() override;
    /*! \reimp */
    bool removeItem(int index) override;
    /*! Removing the current item makes the next remaining one current. \reimp */
    bool removeItems(int index, int count) override;
    /*! The current item stays current wherever it moves. \reimp */
    bool moveItem(int from, int to) override;
    /*! Also leaves no current item and ends the shuffle. \reimp */
    void clear() override;
    /*! \reimp */
    KestContent *getItem(int index) override;
    /*! \reimp */
    int size() override;
    /*! \reimp */
    int getCurrentIndex() override;
    /*! \reimp */
    int getNext(int index) override;
    /*! \reimp */
    int getPrevious(int index) override;
    /*! An unknown \a mode gives a warning and changes nothing. \reimp */
    void setRepeat(KestPlaylist::KestRepeatMode mode) override;
    /*! \reimp */
    KestPlaylist::KestRepeatMode repeatMode() override;
    /*! \reimp */
    KestPlaylist::KestSortOrder getSortOrder() override;
    /*! \reimp */
    bool isShuffled() override;
    /*! Each metadata value of the item becomes a list of one value. \reimp */
    KestMediaInfo getItemMediaInfo(int index) override;

    /*! Appends a copy of \a content. */
    void appendItem(const KestContent &content);
    /*! Inserts a copy of \a content at \a index; returns false for an index past the end. */
    bool insertItem(int index, const KestContent &content);
    /*! Makes \a index current (-1 for none); returns false for an index that does not exist. */
    bool setCurrentIndex(int index);

private:
    void replaceItems(const QList<KestContent> &items, KestPlaylist::KestPlaylistUpdate update);

    KestLocalPlaylistModel *m_model;
    int m_currentIndex;
    KestPlaylist::KestRepeatMode m_repeatMode;
    KestPlaylist::KestSortOrder m_sortOrder;
    QList<KestContent> m_unshuffledItems;
    bool m_shuffled;
};

#endif
