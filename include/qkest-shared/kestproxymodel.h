// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYMODEL_H
#define KESTPROXYMODEL_H

#include "qkestshared_export.h"

#include <QAbstractItemModel>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class KestProxyModelPrivate;

/*!
 * A flat, read-only view of the item model that another process exports for playlist \a id
 * (see KestPlaylistModelAdaptor). Every question is one blocking round trip to that process;
 * nothing is cached. The remote model's change signals become this model's reset, insert and
 * remove notifications once connectToSignals() has been called.
 *
 * index() asks nothing: it refuses only negative positions and children, so an index past
 * the end is valid and its data() is invalid.
 */
class QKESTSHARED_EXPORT KestProxyModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    explicit KestProxyModel(const QString &id);
    ~KestProxyModel() override;

    //! Follows the remote model's changes; false when a subscription was refused.
    bool connectToSignals();
    bool connectToSignal(const QString &name, const char *slot);
    //! One blocking call; the reply's first argument, or an invalid value after a warning.
    QVariant makeDBusMethodCall(const QString &method, QList<QVariant> arguments) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

public Q_SLOTS:
    void catchModelResetSignal();
    void catchModelRowsInsertedSignal(uint start, uint end);
    void catchModelRowsRemovedSignal(uint start, uint end);

private:
    friend class KestProxyModelPrivate;
    std::unique_ptr<KestProxyModelPrivate> const d;
};

#endif
