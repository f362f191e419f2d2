// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestlocalplaylistmodel.h"

namespace {
const QString TitleKey = QStringLiteral("title");
}

KestLocalPlaylistModel::KestLocalPlaylistModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

KestLocalPlaylistModel::~KestLocalPlaylistModel() = default;

int KestLocalPlaylistModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant KestLocalPlaylistModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.model() != this || index.column() != 0
        || !isValidRow(index.row()))
        return QVariant();
    const KestContent &content = m_items.at(index.row());
    const QVariant title = content.metaData().value(TitleKey);
    return title.isValid() ? title : QVariant(content.uuid());
}

QVariant KestLocalPlaylistModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section != 0)
        return QVariant();
    return QStringLiteral("Title");
}

int KestLocalPlaylistModel::count() const
{
    return int(m_items.size());
}

bool KestLocalPlaylistModel::isValidRow(int row) const
{
    return row >= 0 && row < m_items.size();
}

KestContent KestLocalPlaylistModel::item(int row) const
{
    return isValidRow(row) ? m_items.at(row) : KestContent();
}

const QList<KestContent> &KestLocalPlaylistModel::items() const
{
    return m_items;
}

bool KestLocalPlaylistModel::insertItems(int row, const QList<KestContent> &items)
{
    if (row < 0 || row > m_items.size() || items.isEmpty())
        return false;
    beginInsertRows(QModelIndex(), row, row + int(items.size()) - 1);
    for (int i = 0; i < items.size(); ++i)
        m_items.insert(row + i, items.at(i));
    endInsertRows();
    return true;
}

bool KestLocalPlaylistModel::removeItems(int row, int count)
{
    if (row < 0 || count <= 0 || row > m_items.size() - count)
        return false;
    beginRemoveRows(QModelIndex(), row, row + count - 1);
    m_items.erase(m_items.begin() + row, m_items.begin() + row + count);
    endRemoveRows();
    return true;
}

bool KestLocalPlaylistModel::moveItem(int from, int to)
{
    if (!isValidRow(from) || !isValidRow(to) || from == to)
        return false;
    // Qt counts the destination before the move: moving down lands in front of row to + 1.
    beginMoveRows(QModelIndex(), from, from, QModelIndex(), to > from ? to + 1 : to);
    m_items.move(from, to);
    endMoveRows();
    return true;
}

void KestLocalPlaylistModel::setItems(const QList<KestContent> &items)
{
    beginResetModel();
    m_items = items;
    endResetModel();
}
