// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestplaylistmodeladaptor.h"
#include "kestplaylistmodeladaptor_p.h"

#include "kestbusnames_p.h"
#include "kestlogging_p.h"
#include "kestproxymodelerror.h"

#include <QAbstractItemModel>
#include <QDBusConnection>
#include <QDBusMessage>

namespace {

// What the bus carries for a cell or header: the value, or the error structure when the
// model has nothing to show.
QDBusVariant replyValue(const QVariant &value, const char *invalidMessage)
{
    if (value.isValid())
        return QDBusVariant(value);
    qCDebug(lcKestPlaylist) << invalidMessage;
    return QDBusVariant(QVariant::fromValue(KestProxyModelError()));
}

} // namespace

KestPlaylistModelAdaptor::KestPlaylistModelAdaptor(QAbstractItemModel &model)
    : QDBusAbstractAdaptor(&model)
    , d(new KestPlaylistModelAdaptorPrivate(&model))
{
    KestProxyModelError::registerType();
}

KestPlaylistModelAdaptor::~KestPlaylistModelAdaptor()
{
    qCDebug(lcKestPlaylist) << "KestPlaylistModelAdaptor::~KestPlaylistModelAdaptor: " << d->m_objectPath;
    withdraw();
}

void KestPlaylistModelAdaptor::withdraw()
{
    disconnect(d->m_model, nullptr, this, nullptr);
    if (d->m_initialized)
        QDBusConnection::sessionBus().unregisterObject(d->m_objectPath, QDBusConnection::UnregisterNode);
    d->m_initialized = false;
}

bool KestPlaylistModelAdaptor::init(const QString &id)
{
    qCDebug(lcKestPlaylist).nospace() << "KestPlaylistModelAdaptor::init( id = " << id << " )";
    if (d->m_initialized) {
        qCDebug(lcKestPlaylist) << "Adaptor has initialized successfully beforehand.";
        return true;
    }
    if (id.isEmpty()) {
        qCWarning(lcKestPlaylist) << "KestPlaylistModelAdaptor: Playlist id cannot be empty";
        return false;
    }
    d->m_objectPath = KestBusNames::playlistModelPath(id);
    d->m_initialized = QDBusConnection::sessionBus().registerObject(d->m_objectPath, d->m_model,
                                                                    QDBusConnection::ExportAdaptors);
    if (!d->m_initialized)
        return false;
    qCDebug(lcKestPlaylist) << "KestPlaylistModelAdaptor, object registered in path: " << d->m_objectPath;
    // Changes are relayed only while the model is on the bus: before, or after a refusal, the
    // path may belong to another process.
    connect(d->m_model, &QAbstractItemModel::rowsInserted, this, &KestPlaylistModelAdaptor::handleRowsInserted);
    connect(d->m_model, &QAbstractItemModel::rowsRemoved, this, &KestPlaylistModelAdaptor::handleRowsRemoved);
    connect(d->m_model, &QAbstractItemModel::modelReset, this, &KestPlaylistModelAdaptor::handleModelReset);
    // Moves and layout changes have no signal of their own on the bus; remote views must
    // read everything again.
    connect(d->m_model, &QAbstractItemModel::rowsMoved, this, &KestPlaylistModelAdaptor::handleModelReset);
    connect(d->m_model, &QAbstractItemModel::layoutChanged, this, &KestPlaylistModelAdaptor::handleModelReset);
    return true;
}

QDBusVariant KestPlaylistModelAdaptor::get_data(int row, int column)
{
    // Rows and columns come from other processes: only cells that exist reach the model.
    QVariant value;
    if (d->m_model->hasIndex(row, column))
        value = d->m_model->data(d->m_model->index(row, column, QModelIndex()), Qt::DisplayRole);
    return replyValue(value, "KestPlaylistModelAdaptor:get_data invalid data requested.");
}

uint KestPlaylistModelAdaptor::get_row_count()
{
    return uint(d->m_model->rowCount(QModelIndex()));
}

uint KestPlaylistModelAdaptor::get_column_count()
{
    return uint(d->m_model->columnCount(QModelIndex()));
}

QDBusVariant KestPlaylistModelAdaptor::get_header_data(int section)
{
    QVariant value;
    if (section >= 0 && section < d->m_model->columnCount(QModelIndex()))
        value = d->m_model->headerData(section, Qt::Horizontal, Qt::DisplayRole);
    return replyValue(value, "KestPlaylistModelAdaptor:get_header_data invalid data requested.");
}

void KestPlaylistModelAdaptorPrivate::sendSignal(const QString &member, const QList<QVariant> &arguments,
                                                 const char *failure) const
{
    QDBusMessage signal = QDBusMessage::createSignal(m_objectPath, KestBusNames::playlistModelInterface(), member);
    signal.setArguments(arguments);
    if (!QDBusConnection::sessionBus().send(signal))
        qCWarning(lcKestPlaylist) << failure;
}

void KestPlaylistModelAdaptor::handleRowsInserted(const QModelIndex &, int start, int end)
{
    qCDebug(lcKestPlaylist) << "void KestPlaylistModelAdaptor::handleRowsInserted(const QModelIndex&, int, int)";
    d->sendSignal(QStringLiteral("model_rows_inserted"), {uint(start), uint(end)},
                  "Sending KEST_PLAYLIST_MODEL_SIGNAL_ROWS_INSERTED failed.");
}

void KestPlaylistModelAdaptor::handleRowsRemoved(const QModelIndex &, int start, int end)
{
    qCDebug(lcKestPlaylist) << "void KestPlaylistModelAdaptor::handleRowsRemoved(const QModelIndex&, int, int)";
    d->sendSignal(QStringLiteral("model_rows_removed"), {uint(start), uint(end)},
                  "Sending KEST_PLAYLIST_MODEL_SIGNAL_ROWS_REMOVED failed.");
}

void KestPlaylistModelAdaptor::handleModelReset()
{
    qCDebug(lcKestPlaylist) << "void KestPlaylistModelAdaptor::handleModelReset()";
    d->sendSignal(QStringLiteral("model_reset"), {}, "Sending KEST_PLAYLIST_MODEL_RESET failed.");
}
