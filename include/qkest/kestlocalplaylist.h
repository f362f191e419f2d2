// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTLOCALPLAYLIST_H
#define KESTLOCALPLAYLIST_H

#include "qkest_export.h"
#include "kestplaylist.h"

#include <QList>

class KestLocalPlaylistModel;

/*!
 * A playlist held in memory: items with uuids, a current index, a repeat mode, shuffling
 * and sorting, and a flat item model with a display column.
 *
 * Every index is checked, so indexes that arrive from other processes are safe to pass on.
 * Generated ids consist of letters and digits and start with a letter, so they can stand in
 * a bus name and in an object path.
 */
class QKEST_EXPORT KestLocalPlaylist : public KestPlaylist
{
    Q_OBJECT
public:
    explicit KestLocalPlaylist(const QString &name, QObject *parent = nullptr);
    /*!
     * A playlist with a chosen id. Only ids made of letters, digits and underscores that do
     * not start with a digit can be published on the bus.
     */
    KestLocalPlaylist(const QString &id, const QString &name, QObject *parent);
    ~KestLocalPlaylist() override;

    QAbstractItemModel *model() override;
    void sort(int column, KestPlaylist::KestSortOrder order) override;
    void sort(const QString &key, KestPlaylist::KestSortOrder order) override;
    QStringList getColumnNames() override;
    void shuffle() override;
    void unShuffle() override;
    bool removeItem(int index) override;
    bool removeItems(int index, int count) override;
    bool moveItem(int from, int to) override;
    void clear() override;
    KestContent *getItem(int index) override;
    int size() override;
    int getCurrentIndex() override;
    int getNext(int index) override;
    int getPrevious(int index) override;
    void setRepeat(KestPlaylist::KestRepeatMode mode) override;
    KestPlaylist::KestRepeatMode repeatMode() override;
    KestPlaylist::KestSortOrder getSortOrder() override;
    bool isShuffled() override;
    KestMediaInfo getItemMediaInfo(int index) override;

    void appendItem(const KestContent &content);
    bool insertItem(int index, const KestContent &content);
    //! Makes \a index current (-1 for none); false for an index that does not exist.
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
