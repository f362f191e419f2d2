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
 * owns the proxy. The remote model's change signals become this model's reset, insert and remove
 * notifications once connectToSignals() has been called. How questions are answered depends on
 * fetchMode().
 *
 * In Blocking mode (the default) every question is one blocking round trip to that process and
 * nothing is kept; a failed call gives a warning and reads as nothing: 0 rows or columns, invalid
 * data. index() asks nothing: it refuses only negative positions and children, so an index past
 * the end is valid and its data() is invalid. In Background mode nothing blocks: see FetchMode.
 *
 * \sa {Waiting and time-outs}
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

    /*! The proxy of the model that the process publishing playlist \a id exports, in Blocking mode. */
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

    /*! Returns how views' questions are answered; Blocking unless set otherwise. */
    FetchMode fetchMode() const;
    /*!
     * Switches to \a mode. Either way the model is reset and whatever it held is dropped: into
     * Background mode it starts fetching the counts at once, into Blocking mode it asks the
     * exporting process again for every question. Setting the current mode changes nothing.
     */
    void setFetchMode(FetchMode mode);

    /*!
     * Returns an index for \a row and \a column; invalid for a child of \a parent, for negative
     * positions and, in Background mode, for positions past the counts held. \reimp
     */
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    /*! Returns an invalid index: the model is flat. \reimp */
    QModelIndex parent(const QModelIndex &child) const override;
    /*!
     * Returns the number of rows: asked of the remote model, blocking, or in Background mode the
     * number held. 0 when the call failed or \a parent is valid. \reimp
     */
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    /*!
     * Returns the number of columns, asked or held like rowCount(); 0 when the call failed or
     * \a parent is valid. \reimp
     */
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    /*!
     * Returns the display role of \a index, asked of the remote model, blocking, or in Background
     * mode what is held (fetched in the background when it is not). Returns an invalid value for
     * other values of \a role, cells that the remote model does not have and failed calls.
     * \reimp
     */
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    /*!
     * Returns the horizontal display header of \a section, asked or held like data(); an invalid value
     * for other values of \a orientation or \a role, or on failure. \reimp
     */
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
