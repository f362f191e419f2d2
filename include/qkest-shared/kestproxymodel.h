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
 * (see KestPlaylistModelAdaptor). The remote model's change signals become this model's reset,
 * insert and remove notifications once connectToSignals() has been called. How questions are
 * answered depends on fetchMode().
 *
 * In Blocking mode (the default) every question is one blocking round trip to that process and
 * nothing is kept. index() asks nothing: it refuses only negative positions and children, so an
 * index past the end is valid and its data() is invalid.
 */
class QKESTSHARED_EXPORT KestProxyModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    /*!
     * \value Blocking Every question is one blocking call to the exporting process, bounded by
     *        the reply time-out and refused at once while that process is not answering.
     * \value Background Questions are answered at once from what the model holds; what it does
     *        not hold yet is fetched without blocking, a bounded number of calls at a time, and
     *        announced with rowsInserted(), columnsInserted(), dataChanged() and
     *        headerDataChanged() as it arrives. Until then counts are 0 and cells are empty.
     *        Nothing is sent to a process that has let a call time out until it answers again.
     *        Cells that the exporting process answers with values of the wrong type, or with an
     *        error, stay empty and are not asked for again until the model is reset or their
     *        row changes; counts out of range are taken as 0. When the exporting process leaves
     *        the bus, every row is removed; when one takes its place, the model is reset.
     */
    enum FetchMode {
        Blocking,
        Background
    };
    Q_ENUM(FetchMode)

    explicit KestProxyModel(const QString &id);
    ~KestProxyModel() override;

    //! Follows the remote model's changes; false when a subscription was refused.
    bool connectToSignals();
    bool connectToSignal(const QString &name, const char *slot);
    //! One blocking call; the reply's first argument, or an invalid value after a warning.
    QVariant makeDBusMethodCall(const QString &method, QList<QVariant> arguments) const;

    //! How views' questions are answered; Blocking unless set otherwise.
    FetchMode fetchMode() const;
    /*!
     * Switches to \a mode. Either way the model is reset and whatever it held is dropped: into
     * Background mode it starts fetching the counts at once, into Blocking mode it asks the
     * exporting process again for every question. Setting the current mode changes nothing.
     */
    void setFetchMode(FetchMode mode);

    //! In Background mode, an invalid index for positions past the counts held.
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
