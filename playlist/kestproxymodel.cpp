// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxymodel.h"
#include "kestproxymodel_p.h"

#include "kestbuscall_p.h"
#include "kestbusnames_p.h"
#include "kestlogging_p.h"

#include <QDBusConnection>
#include <QDBusVariant>

#include <limits>

namespace {

// The remote side sent something other than a basic value or container, such as its error
// structure.
QVariant unwrapValue(const QVariant &reply, const char *invalidMessage)
{
    const QVariant value = qvariant_cast<QDBusVariant>(reply).variant();
    if (value.userType() >= QMetaType::User) {
        qCDebug(lcKestPlaylist) << invalidMessage;
        return QVariant();
    }
    return value;
}

} // namespace

KestProxyModelPrivate::KestProxyModelPrivate(KestProxyModel *q, const QString &id)
    : q(q)
    , m_objectPath(KestBusNames::playlistModelPath(id))
    , m_serviceName(KestBusNames::playlistService(id))
{
}

KestProxyModel::KestProxyModel(const QString &id)
    : d(new KestProxyModelPrivate(this, id))
{
}

KestProxyModel::~KestProxyModel() = default;

bool KestProxyModel::connectToSignals()
{
    qCDebug(lcKestPlaylist) << "KestProxyModel::connectToSignals()";
    if (!QDBusConnection::sessionBus().isConnected())
        return false;
    return connectToSignal(QStringLiteral("model_reset"), SLOT(catchModelResetSignal()))
        && connectToSignal(QStringLiteral("model_rows_inserted"), SLOT(catchModelRowsInsertedSignal(uint, uint)))
        && connectToSignal(QStringLiteral("model_rows_removed"), SLOT(catchModelRowsRemovedSignal(uint, uint)));
}

bool KestProxyModel::connectToSignal(const QString &name, const char *slot)
{
    return QDBusConnection::sessionBus().connect(d->m_serviceName, d->m_objectPath,
                                                 KestBusNames::playlistModelInterface(), name, this, slot);
}

QVariant KestProxyModel::makeDBusMethodCall(const QString &method, QList<QVariant> arguments) const
{
    const QVariant result = KestBusCall::firstArgument(KestBusCall::blocking(
        d->m_serviceName, d->m_objectPath, KestBusNames::playlistModelInterface(), method, arguments));
    if (!result.isValid())
        qCWarning(lcKestPlaylist).nospace() << "KestProxyModel, invalid reply for method: " << method;
    return result;
}

QModelIndex KestProxyModel::index(int row, int column, const QModelIndex &parent) const
{
    // Views ask for an index before every cell: checking the range here would cost two round
    // trips each time. A cell past the end reads as nothing, since the exporting side answers
    // it with its error structure.
    if (row < 0 || column < 0 || parent.isValid())
        return QModelIndex();
    return createIndex(row, column);
}

QModelIndex KestProxyModel::parent(const QModelIndex &) const
{
    return QModelIndex();
}

int KestProxyModel::rowCount(const QModelIndex &parent) const
{
    // A flat list: items have no children.
    if (parent.isValid())
        return 0;
    qCDebug(lcKestPlaylist) << "virtual int KestProxyModel::rowCount(const QModelIndex&) const";
    return std::max(0, d->remoteRowCount() - d->m_announcedDelta);
}

int KestProxyModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return makeDBusMethodCall(QStringLiteral("get_column_count"), {}).toInt();
}

QVariant KestProxyModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    const int row = d->remoteRow(index.row());
    if (row < 0)
        return QVariant();
    return unwrapValue(makeDBusMethodCall(QStringLiteral("get_data"), {row, index.column()}),
                       "KestProxyModel:data invalid data received.");
}

QVariant KestProxyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QVariant();
    return unwrapValue(makeDBusMethodCall(QStringLiteral("get_header_data"), {section}),
                       "KestProxyModel:headerData invalid data received.");
}

void KestProxyModel::catchModelResetSignal()
{
    qCDebug(lcKestPlaylist) << "void KestProxyModel::catchModelResetSignal()";
    beginResetModel();
    endResetModel();
}

void KestProxyModel::catchModelRowsInsertedSignal(uint start, uint end)
{
    qCDebug(lcKestPlaylist) << "void KestProxyModel::catchModelRowsInsertedSignal(uint, uint)";
    if (!d->announceRows(start, end, 1))
        catchModelResetSignal();
}

void KestProxyModel::catchModelRowsRemovedSignal(uint start, uint end)
{
    qCDebug(lcKestPlaylist) << "void KestProxyModel::catchModelRowsRemovedSignal(uint, uint)";
    if (!d->announceRows(start, end, -1))
        catchModelResetSignal();
}

/*
 * Announces rows start to end as inserted (direction 1) or removed (-1). Views rely on the
 * rows they are told about; a range that cannot describe the remote model as it is now is
 * refused, and the caller resets the model instead.
 */
bool KestProxyModelPrivate::announceRows(uint start, uint end, int direction)
{
    const uint maxRow = uint(std::numeric_limits<int>::max()) - 1;
    const int rows = start <= end && end <= maxRow ? remoteRowCount() : -1;
    const int count = int(end - start + 1);
    // Inserted rows are there now; removed ones were there before.
    const bool fits = rows >= 0
        && (direction > 0 ? int(end) < rows
                          : int(start) <= rows && qint64(rows) + count <= std::numeric_limits<int>::max());
    if (!fits) {
        qCWarning(lcKestPlaylist) << "KestProxyModel: rows" << start << "to" << end
                                  << "do not fit the remote model, resetting.";
        return false;
    }
    m_announcedFirst = int(start);
    m_announcedDelta = direction * count;
    if (direction > 0)
        q->beginInsertRows(QModelIndex(), int(start), int(end));
    else
        q->beginRemoveRows(QModelIndex(), int(start), int(end));
    m_announcedDelta = 0;
    if (direction > 0)
        q->endInsertRows();
    else
        q->endRemoveRows();
    return true;
}

int KestProxyModelPrivate::remoteRowCount() const
{
    return q->makeDBusMethodCall(QStringLiteral("get_row_count"), {}).toInt();
}

// The remote row that a view's row stands for; -1 for a row already removed remotely.
int KestProxyModelPrivate::remoteRow(int row) const
{
    if (m_announcedDelta == 0 || row < m_announcedFirst)
        return row;
    if (m_announcedDelta < 0 && row < m_announcedFirst - m_announcedDelta)
        return -1;
    return row + m_announcedDelta;
}
