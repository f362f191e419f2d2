// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHTABLEMODEL_H
#define KESTBENCHTABLEMODEL_H

#include <QAbstractTableModel>

//! A playlist's item model of fixed size whose cells are short texts; it counts the cells asked for.
class KestBenchTableModel : public QAbstractTableModel
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kestbench.Model")
public:
    KestBenchTableModel(int rows, int columns);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

public Q_SLOTS:
    Q_SCRIPTABLE uint DataCalls() const { return m_dataCalls; }

private:
    int m_rows;
    int m_columns;
    mutable uint m_dataCalls = 0;
};

#endif
