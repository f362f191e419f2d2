// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHTABLEMODEL_H
#define KESTBENCHTABLEMODEL_H

#include <QAbstractTableModel>

//! A playlist's item model of fixed size whose cells are short texts.
class KestBenchTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    KestBenchTableModel(int rows, int columns);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    int m_rows;
    int m_columns;
};

#endif
