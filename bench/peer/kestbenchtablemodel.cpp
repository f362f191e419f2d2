// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbenchtablemodel.h"

KestBenchTableModel::KestBenchTableModel(int rows, int columns)
    : m_rows(rows)
    , m_columns(columns)
{
}

int KestBenchTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int KestBenchTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_columns;
}

QVariant KestBenchTableModel::data(const QModelIndex &index, int role) const
{
    ++m_dataCalls;
    if (role != Qt::DisplayRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    return QStringLiteral("Item %1, column %2").arg(index.row()).arg(index.column());
}
