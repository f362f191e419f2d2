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
 * An ordered list of media items with a current index. The default operations do nothing
 * and return 0, false or null; concrete playlists override them.
 */
class QKEST_EXPORT KestPlaylist : public QObject
{
    Q_OBJECT
public:
    //! What a playlistUpdated() reports. The first two carry a new current index.
    enum KestPlaylistUpdate {
        CurrentIndexChanged = 0,
        CurrentIndexReset = 1,
        Shuffled = 2,
        UnShuffled = 3,
        Sorted = 4
    };
    Q_ENUM(KestPlaylistUpdate)

    enum KestRepeatMode {
        RepeatNone = 0,
        RepeatOne = 1,
        RepeatAll = 2
    };
    Q_ENUM(KestRepeatMode)

    enum KestSortOrder {
        Unsorted = 0,
        Ascending = 1,
        Descending = 2
    };
    Q_ENUM(KestSortOrder)

    KestPlaylist(const QString &id, const QString &name, QObject *parent = nullptr);
    ~KestPlaylist() override;

    QString id() const;
    void setName(const QString &name);

    bool persistent() const;
    void setPersistent(bool persistent);

    virtual QString name();
    virtual QAbstractItemModel *model();
    virtual void sort(int column, KestPlaylist::KestSortOrder order);
    virtual void sort(const QString &key, KestPlaylist::KestSortOrder order);
    virtual QStringList getColumnNames();
    virtual void shuffle();
    virtual void unShuffle();
    virtual bool removeItem(int index);
    //! Removes \a count items starting at \a index.
    virtual bool removeItems(int index, int count);
    virtual bool moveItem(int from, int to);
    virtual void clear();
    //! A new content for the item at \a index (the caller owns it), or null.
    virtual KestContent *getItem(int index);
    virtual int size();
    //! The current index, -1 when there is none.
    virtual int getCurrentIndex();
    //! The index after \a index, following the repeat mode; -1 when there is none.
    virtual int getNext(int index);
    //! The index before \a index, following the repeat mode; -1 when there is none.
    virtual int getPrevious(int index);
    virtual void setRepeat(KestPlaylist::KestRepeatMode mode);
    virtual KestPlaylist::KestRepeatMode repeatMode();
    virtual KestPlaylist::KestSortOrder getSortOrder();
    virtual bool isShuffled();
    virtual bool import(QFile &file);
    //! Media information of the item at \a index; invalid when there is no such item.
    virtual KestMediaInfo getItemMediaInfo(int index);

Q_SIGNALS:
    //! At \a from, \a remove items were replaced by \a get items.
    void contentsChanged(uint from, uint remove, uint get);
    void playlistUpdated(KestPlaylist::KestPlaylistUpdate update, int newIndex);
    void repeatModeChanged();

protected:
    QString m_id;
    QString m_name;

private:
    bool m_persistent;
};

#endif
