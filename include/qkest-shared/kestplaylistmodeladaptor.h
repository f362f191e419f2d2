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
 * Exports the item model of a published playlist as interface "com.zorvo.kest.playlistmodel"
 * at the playlist's model path. It claims no bus name: callers reach it through the bus name
 * of the playlist's KestPlaylistAdaptor in the same process.
 *
 * Only the display role and horizontal headers are served; a cell or header that the model
 * does not have is answered with a KestProxyModelError, never with a D-Bus error. The model
 * is treated as a flat list.
 */
class QKESTSHARED_EXPORT KestPlaylistModelAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.playlistmodel")
    // interfaces/com.zorvo.kest.playlistmodel.xml, read by moc from the generated kestintrospection.h
    Q_CLASSINFO("D-Bus Introspection", KEST_PLAYLISTMODEL_INTROSPECTION)
public:
    explicit KestPlaylistModelAdaptor(QAbstractItemModel &model);
    ~KestPlaylistModelAdaptor() override;

    //! Registers the model at the model path of playlist \a id; true at once when already done.
    bool init(const QString &id);
    /*!
     * Unregisters the model if init() registered it. The adaptor stays with its model, as Qt's
     * adaptors must; init() may be called again afterwards.
     */
    void withdraw();

public Q_SLOTS:
    QDBusVariant get_data(int row, int column);
    uint get_row_count();
    uint get_column_count();
    QDBusVariant get_header_data(int section);

private Q_SLOTS:
    void handleRowsInserted(const QModelIndex &parent, int start, int end);
    void handleRowsRemoved(const QModelIndex &parent, int start, int end);
    void handleModelReset();

private:
    std::unique_ptr<KestPlaylistModelAdaptorPrivate> const d;
};

#endif
