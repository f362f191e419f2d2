// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTLOCALPLAYLISTMODEL_H
#define KESTLOCALPLAYLISTMODEL_H

#include "qkest_export.h"
#include "kestcontent.h"

#include <QAbstractListModel>
#include <QList>

/*!
 * \inmodule QKest
 * \inheaderfile kestlocalplaylistmodel.h
 * \brief The items of a KestLocalPlaylist as a flat model with one column.
 *
 * The column shows the item's "title" metadata, or its uuid when it has no title. The model
 * stores the items; the playlist changes them through it so that views see every change.
 * Rows that do not exist give invalid data and false results, never a crash.
 */
class QKEST_EXPORT KestLocalPlaylistModel : public QAbstractListModel
{
    Q_OBJECT
public:
    /*! An empty model, a child of \a parent. */
    explicit KestLocalPlaylistModel(QObject *parent = nullptr);
    /*! Destroys the model and its items. */
    ~KestLocalPlaylistModel() override;

    /*! \reimp */
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    /*! Only the display role of column 0 has data. \reimp */
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    /*! Only the horizontal header of column 0 has data, "Title". \reimp */
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    /*! Returns the number of items. */
    int count() const;
    /*! Returns true when \a row holds an item. */
    bool isValidRow(int row) const;
    /*! Returns the item at \a row; a default content for a row that does not exist. */
    KestContent item(int row) const;
    /*! Returns every item, in order. */
    const QList<KestContent> &items() const;

    /*! Inserts \a items at \a row; returns false, inserting nothing, for a bad row or no items. */
    bool insertItems(int row, const QList<KestContent> &items);
    /*! Removes \a count items from \a row; returns false, removing nothing, when they do not all exist. */
    bool removeItems(int row, int count);
    /*! Moves the item at \a from to \a to; returns false when either row does not exist or they are equal. */
    bool moveItem(int from, int to);
    /*! Replaces every item at once with \a items (views are reset). */
    void setItems(const QList<KestContent> &items);

private:
    QList<KestContent> m_items;
};

#endif
