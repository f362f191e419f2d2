// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTLOCALPLAYLISTMODEL_H
#define KESTLOCALPLAYLISTMODEL_H

#include "qkest_export.h"
#include "kestcontent.h"

#include <QAbstractListModel>
#include <QList>

/*!
 * The items of a KestLocalPlaylist as a flat model with one column: the item's "title"
 * metadata, or its uuid when it has no title. The model stores the items; the playlist
 * changes them through it so that views see every change.
 */
class QKEST_EXPORT KestLocalPlaylistModel : public QAbstractListModel
{
    Q_OBJECT
public:
    explicit KestLocalPlaylistModel(QObject *parent = nullptr);
    ~KestLocalPlaylistModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    int count() const;
    bool isValidRow(int row) const;
    //! The item at \a row; a default content for a row that does not exist.
    KestContent item(int row) const;
    const QList<KestContent> &items() const;

    bool insertItems(int row, const QList<KestContent> &items);
    bool removeItems(int row, int count);
    bool moveItem(int from, int to);
    //! Replaces every item at once (views are reset).
    void setItems(const QList<KestContent> &items);

private:
    QList<KestContent> m_items;
};

#endif
