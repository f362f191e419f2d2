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
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxymodel.h
 * \brief A flat, read-only view of the item model that another process exports for a playlist.
 *
 * The exporting process uses KestPlaylistModelAdaptor; KestProxyPlaylist::model() creates and
 * owns the proxy. Every question is one blocking round trip to that process; nothing is cached.
 * A failed call gives a warning and reads as nothing: 0 rows or columns, invalid data. The
 * remote model's change signals become this model's reset, insert and remove notifications
 * once connectToSignals() has been called.
 *
 * index() asks nothing: it refuses only negative positions and children, so an index past
 * the end is valid and its data() is invalid.
 *
 * \sa {Waiting and time-outs}
 */
class QKESTSHARED_EXPORT KestProxyModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    /*! The proxy of the model that the process publishing playlist \a id exports. */
    explicit KestProxyModel(const QString &id);
    /*! Destroys the proxy; the remote model is not touched. */
    ~KestProxyModel() override;

    /*! Follows the remote model's changes; returns false when there is no bus or a subscription was refused. */
    bool connectToSignals();
    /*!
     * Connects the remote model's bus signal \a name to this object's \a slot (SLOT() coding);
     * returns false when the bus refuses.
     */
    bool connectToSignal(const QString &name, const char *slot);
    /*!
     * Calls \a method with \a arguments on the remote model and blocks until it answers or the
     * call times out. Returns the reply's first argument, or an invalid value after a warning.
     */
    QVariant makeDBusMethodCall(const QString &method, QList<QVariant> arguments) const;

    /*! Returns an index for any \a row and \a column from 0 without asking; invalid for a child of \a parent. \reimp */
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    /*! Returns an invalid index: the model is flat. \reimp */
    QModelIndex parent(const QModelIndex &child) const override;
    /*! Asks the remote model, blocking; 0 when the call failed or \a parent is valid. \reimp */
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    /*! Asks the remote model, blocking; 0 when the call failed or \a parent is valid. \reimp */
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    /*!
     * Asks the remote model for the display role, blocking. Returns an invalid value for other
     * roles, cells that the remote model does not have and failed calls.
     * \reimp
     */
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    /*! Asks for horizontal display headers, blocking; an invalid value for others or on failure. \reimp */
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

public Q_SLOTS:
    /*! Receives model_reset and resets the model. */
    void catchModelResetSignal();
    /*!
     * Receives model_rows_inserted for rows \a start to \a end and announces them; a range that
     * does not fit the remote model resets the model instead, with a warning.
     */
    void catchModelRowsInsertedSignal(uint start, uint end);
    /*!
     * Receives model_rows_removed for rows \a start to \a end and announces them; a range that
     * does not fit resets the model instead, with a warning.
     */
    void catchModelRowsRemovedSignal(uint start, uint end);

private:
    friend class KestProxyModelPrivate;
    std::unique_ptr<KestProxyModelPrivate> const d;
};

#endif
