// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPLAYLISTMODELADAPTOR_H
#define KESTPLAYLISTMODELADAPTOR_H

#include "qkestshared_export.h"

#include <QDBusAbstractAdaptor>
#include <QDBusVariant>
#include <QString>

#include <memory>

class KestPlaylistModelAdaptorPrivate;
class QAbstractItemModel;
class QModelIndex;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestplaylistmodeladaptor.h
 * \brief Exports the item model of a published playlist on the session bus.
 *
 * The model goes on the bus as interface "com.zorvo.kest.playlistmodel" at the playlist's model
 * path. It claims no bus name: callers reach it through the bus name of the playlist's
 * KestPlaylistAdaptor in the same process. KestShared::publishPlaylist() creates the adaptor as a
 * child of the model.
 *
 * Only the display role and horizontal headers are served; a cell or header that the model
 * does not have is answered with a KestProxyModelError, never with a D-Bus error. The model
 * is treated as a flat list. Row insertions, removals and resets are sent as bus signals; moves
 * and layout changes are sent as resets.
 */
class QKESTSHARED_EXPORT KestPlaylistModelAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.playlistmodel")
    // interfaces/com.zorvo.kest.playlistmodel.xml, read by moc from the generated kestintrospection.h
    Q_CLASSINFO("D-Bus Introspection", KEST_PLAYLISTMODEL_INTROSPECTION)
public:
    /*! An adaptor for \a model, as its child; nothing is on the bus before init(). */
    explicit KestPlaylistModelAdaptor(QAbstractItemModel &model);
    /*! Takes the model off the bus. */
    ~KestPlaylistModelAdaptor() override;

    /*!
     * Registers the model at the model path of playlist \a id; returns true at once when already
     * done, false for an empty id or when the bus refuses the path.
     */
    bool init(const QString &id);
    /*!
     * Unregisters the model if init() registered it. The adaptor stays with its model, as Qt's
     * adaptors must; init() may be called again afterwards.
     */
    void withdraw();

public Q_SLOTS:
    /*! Returns the display data of the cell at \a row and \a column, or a KestProxyModelError when there is none. */
    QDBusVariant get_data(int row, int column);
    /*! Returns the number of rows. */
    uint get_row_count();
    /*! Returns the number of columns. */
    uint get_column_count();
    /*! Returns the horizontal header of \a section, or a KestProxyModelError when there is none. */
    QDBusVariant get_header_data(int section);

private Q_SLOTS:
    void handleRowsInserted(const QModelIndex &parent, int start, int end);
    void handleRowsRemoved(const QModelIndex &parent, int start, int end);
    void handleModelReset();

private:
    std::unique_ptr<KestPlaylistModelAdaptorPrivate> const d;
};

#endif
