// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxymodel.h"
#include "kestproxymodel_p.h"

#include "kestbuscall_p.h"
#include "kestbusnames_p.h"
#include "kestlogging_p.h"
#include "kestownerwatch_p.h"
#include "kestsilentpeers_p.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>

#include <limits>
#include <utility>

namespace {

const int IntMax = std::numeric_limits<int>::max();
// Calls on their way at once: enough to keep the exporting process busy, few enough that a
// process which stops answering holds little.
const int MaxInFlight = 32;
// Cells asked for and not sent yet; past this the oldest are forgotten, and asked for again
// when a view comes back to them.
const std::size_t MaxQueued = 4096;
// Views ask for a row's cells one after the other: the following ones are fetched with the first.
const int CellsAhead = 16;

/*
 * The value inside \a argument, the variant of a get_data or get_header_data reply. \a expected is
 * false for anything but a basic value, a container of them or the exporter's error structure,
 * which stands for a cell with nothing to show.
 */
QVariant remoteValue(const QVariant &argument, bool *expected)
{
    *expected = false;
    if (argument.userType() != qMetaTypeId<QDBusVariant>())
        return QVariant();
    const QVariant value = qvariant_cast<QDBusVariant>(argument).variant();
    if (value.userType() < QMetaType::User) {
        *expected = true;
        return value;
    }
    *expected = value.userType() == qMetaTypeId<QDBusArgument>()
        && value.value<QDBusArgument>().currentSignature() == QLatin1String("(i)");
    return QVariant();
}

// The remote side sent something other than a basic value or container, such as its error structure.
QVariant unwrapValue(const QVariant &reply, const char *invalidMessage)
{
    bool expected = false;
    const QVariant value = remoteValue(reply, &expected);
    if (reply.isValid() && !value.isValid())
        qCDebug(lcKestPlaylist) << invalidMessage;
    return value;
}

// A count as the exporter sends it (unsigned) or as a signed integer; -1 for anything else or
// anything outside [0, INT_MAX].
int remoteCount(const QDBusMessage &reply)
{
    const QVariant value = KestBusCall::firstArgument(reply);
    if (value.userType() == QMetaType::UInt)
        return value.toUInt() <= uint(IntMax) ? int(value.toUInt()) : -1;
    if (value.userType() == QMetaType::Int)
        return std::max(-1, value.toInt());
    return -1;
}

QString member(KestProxyModelPrivate::Fetch::Kind kind)
{
    switch (kind) {
    case KestProxyModelPrivate::Fetch::RowCount: return QStringLiteral("get_row_count");
    case KestProxyModelPrivate::Fetch::ColumnCount: return QStringLiteral("get_column_count");
    case KestProxyModelPrivate::Fetch::Header: return QStringLiteral("get_header_data");
    case KestProxyModelPrivate::Fetch::Cell: break;
    }
    return QStringLiteral("get_data");
}

} // namespace

KestProxyModelPrivate::KestProxyModelPrivate(KestProxyModel *q, const QString &id)
    : q(q)
    , m_objectPath(KestBusNames::playlistModelPath(id))
    , m_serviceName(KestBusNames::playlistService(id))
{
    m_notify.setSingleShot(true);
    m_notify.setInterval(0);
    QObject::connect(&m_notify, &QTimer::timeout, q, [this] { notifyChanges(); });
}

KestProxyModelPrivate::~KestProxyModelPrivate()
{
    if (m_ownerWatch)
        m_ownerWatch->unfollow(m_serviceName);
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

KestProxyModel::FetchMode KestProxyModel::fetchMode() const
{
    return d->m_mode;
}

void KestProxyModel::setFetchMode(FetchMode mode)
{
    d->setFetchMode(mode);
}

QModelIndex KestProxyModel::index(int row, int column, const QModelIndex &parent) const
{
    // Views ask for an index before every cell: in Blocking mode checking the range here would
    // cost two round trips each time. A cell past the end reads as nothing, since the exporting
    // side answers it with its error structure.
    if (row < 0 || column < 0 || parent.isValid())
        return QModelIndex();
    if (d->m_mode == Background && (row >= d->m_rows || column >= d->m_columns))
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
    if (d->m_mode == Background)
        return d->m_rows;
    qCDebug(lcKestPlaylist) << "virtual int KestProxyModel::rowCount(const QModelIndex&) const";
    return std::max(0, d->remoteRowCount() - d->m_announcedDelta);
}

int KestProxyModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    if (d->m_mode == Background)
        return d->m_columns;
    return makeDBusMethodCall(QStringLiteral("get_column_count"), {}).toInt();
}

QVariant KestProxyModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return QVariant();
    if (d->m_mode == Background)
        return d->cell(index.row(), index.column());
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
    if (d->m_mode == Background)
        return d->header(section);
    return unwrapValue(makeDBusMethodCall(QStringLiteral("get_header_data"), {section}),
                       "KestProxyModel:headerData invalid data received.");
}

void KestProxyModel::catchModelResetSignal()
{
    qCDebug(lcKestPlaylist) << "void KestProxyModel::catchModelResetSignal()";
    d->reset();
}

void KestProxyModel::catchModelRowsInsertedSignal(uint start, uint end)
{
    qCDebug(lcKestPlaylist) << "void KestProxyModel::catchModelRowsInsertedSignal(uint, uint)";
    if (!d->announceRows(start, end, 1))
        d->reset();
}

void KestProxyModel::catchModelRowsRemovedSignal(uint start, uint end)
{
    qCDebug(lcKestPlaylist) << "void KestProxyModel::catchModelRowsRemovedSignal(uint, uint)";
    if (!d->announceRows(start, end, -1))
        d->reset();
}

/*
 * Announces rows start to end as inserted (direction 1) or removed (-1). Views rely on the
 * rows they are told about; a range that cannot describe the remote model as it is now is
 * refused, and the caller resets the model instead.
 */
bool KestProxyModelPrivate::announceRows(uint start, uint end, int direction)
{
    const bool background = m_mode == KestProxyModel::Background;
    // The count on its way was computed after the change: it includes it.
    if (background && !m_rowsKnown)
        return true;
    const uint maxRow = uint(IntMax) - 1;
    const bool ordered = start <= end && end <= maxRow;
    const int count = int(end - start + 1);
    // In Blocking mode the remote model has changed already: the rows it had before are derived.
    const qint64 before = !ordered ? -1 : (background ? m_rows : qint64(remoteRowCount()) - qint64(direction) * count);
    const bool fits = before >= 0 && before <= IntMax
        && (direction > 0 ? start <= before && before + count <= IntMax : end < before);
    if (!fits) {
        qCWarning(lcKestPlaylist) << "KestProxyModel: rows" << start << "to" << end
                                  << "do not fit the remote model, resetting.";
        return false;
    }
    // Changes already held are announced at the rows where they were made.
    if (background)
        notifyChanges();
    m_announcedFirst = int(start);
    m_announcedDelta = direction * count;
    if (direction > 0)
        q->beginInsertRows(QModelIndex(), int(start), int(end));
    else
        q->beginRemoveRows(QModelIndex(), int(start), int(end));
    m_announcedDelta = 0;
    if (background)
        shiftRows(int(start), direction * count);
    if (direction > 0)
        q->endInsertRows();
    else
        q->endRemoveRows();
    return true;
}

void KestProxyModelPrivate::reset()
{
    q->beginResetModel();
    drop();
    q->endResetModel();
    startFetching();
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

void KestProxyModelPrivate::setFetchMode(KestProxyModel::FetchMode mode)
{
    if (mode == m_mode)
        return;
    q->beginResetModel();
    drop();
    m_mode = mode;
    if (mode == KestProxyModel::Background) {
        if (!m_watching) {
            m_watching = true;
            QObject::connect(KestOwnerWatch::instance(), &KestOwnerWatch::ownerChanged, q,
                             [this](const QString &name, const QString &, const QString &newOwner) {
                                 ownerChanged(name, newOwner);
                             });
            QObject::connect(KestOwnerWatch::instance(), &KestOwnerWatch::ownerResolved, q,
                             [this](const QString &name) { m_ownerResolved |= name == m_serviceName; });
            QObject::connect(KestOwnerWatch::instance(), &KestOwnerWatch::disconnected, q, [this] {
                if (m_mode == KestProxyModel::Background)
                    exporterGone();
            });
            QObject::connect(KestSilentPeers::instance(), &KestSilentPeers::answering, q,
                             [this](const QString &service) {
                                 if (service == m_serviceName)
                                     pump();
                             });
        }
        // Asked before the model's own calls go out, so the daemon answers before it routes them.
        m_ownerResolved = false;
        m_ownerWatch = KestOwnerWatch::instance();
        m_ownerWatch->follow(m_serviceName, KestOwnerWatch::AskOwner);
    } else if (m_ownerWatch) {
        m_ownerWatch->unfollow(m_serviceName);
        m_ownerWatch = nullptr;
    }
    q->endResetModel();
    startFetching();
}

// Forgets everything held and everything on its way.
void KestProxyModelPrivate::drop()
{
    ++m_generation;
    m_rows = 0;
    m_columns = 0;
    m_rowsKnown = false;
    m_columnsKnown = false;
    m_cells.clear();
    m_headers.clear();
    m_queue.clear();
    m_wanted.clear();
    m_complaints.clear();
    m_changedRows.clear();
    m_firstChangedSection = -1;
    m_lastChangedSection = -1;
    m_notify.stop();
}

void KestProxyModelPrivate::startFetching()
{
    if (m_mode != KestProxyModel::Background)
        return;
    want({Fetch::RowCount, 0, 0});
    want({Fetch::ColumnCount, 0, 0});
    pump();
}

QVariant KestProxyModelPrivate::cell(int row, int column)
{
    if (row >= m_rows || column >= m_columns)
        return QVariant();
    const auto held = m_cells.find(row);
    if (held != m_cells.end()) {
        const auto value = held->second.constFind(column);
        if (value != held->second.cend())
            return *value;
    }
    if (m_wanted.contains(Fetch{Fetch::Cell, row, column}.key()))
        return QVariant();
    const int last = int(std::min<qint64>(qint64(column) + CellsAhead, m_columns)) - 1;
    for (int ahead = last; ahead >= column; --ahead) {
        if (held == m_cells.end() || !held->second.contains(ahead))
            want({Fetch::Cell, row, ahead});
    }
    pump();
    return QVariant();
}

QVariant KestProxyModelPrivate::header(int section)
{
    if (section < 0 || section >= m_columns)
        return QVariant();
    const auto value = m_headers.constFind(section);
    if (value != m_headers.cend())
        return *value;
    want({Fetch::Header, 0, section});
    pump();
    return QVariant();
}

void KestProxyModelPrivate::want(const Fetch &fetch)
{
    if (m_wanted.contains(fetch.key()))
        return;
    m_wanted.insert(fetch.key());
    m_queue.push_back(fetch);
    if (m_queue.size() > MaxQueued) {
        m_wanted.remove(m_queue.front().key());
        m_queue.pop_front();
    }
}

// Sends what is wanted, the latest first: that is what views show now.
void KestProxyModelPrivate::pump()
{
    if (m_mode != KestProxyModel::Background || KestSilentPeers::instance()->isSilent(m_serviceName))
        return;
    while (m_inFlight < MaxInFlight && !m_queue.empty()) {
        const Fetch fetch = m_queue.back();
        m_queue.pop_back();
        if (isWanted(fetch))
            send(fetch);
        else
            m_wanted.remove(fetch.key());
    }
}

// Whether the model still lacks what \a fetch asks for, as it is now.
bool KestProxyModelPrivate::isWanted(const Fetch &fetch) const
{
    switch (fetch.kind) {
    case Fetch::RowCount: return !m_rowsKnown;
    case Fetch::ColumnCount: return !m_columnsKnown;
    case Fetch::Header: return fetch.column < m_columns && !m_headers.contains(fetch.column);
    case Fetch::Cell: break;
    }
    if (fetch.row >= m_rows || fetch.column >= m_columns)
        return false;
    const auto held = m_cells.find(fetch.row);
    return held == m_cells.end() || !held->second.contains(fetch.column);
}

void KestProxyModelPrivate::send(const Fetch &fetch)
{
    QDBusMessage call = QDBusMessage::createMethodCall(m_serviceName, m_objectPath,
                                                       KestBusNames::playlistModelInterface(), member(fetch.kind));
    if (fetch.kind == Fetch::Cell)
        call << fetch.row << fetch.column;
    else if (fetch.kind == Fetch::Header)
        call << fetch.column;
    QDBusPendingCallWatcher *watcher = KestBusCall::async(call, q);
    ++m_inFlight;
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, q,
                     [this, fetch, generation = m_generation](QDBusPendingCallWatcher *finished) {
                         finished->deleteLater();
                         --m_inFlight;
                         if (generation == m_generation)
                             arrived(fetch, finished->reply());
                         pump();
                     });
}

/*
 * The exporting process answers calls and sends its signals in order: a reply that arrives after
 * a change signal was computed after that change. So the answer belongs at the row and column it
 * was asked for, as the model is now; one that no longer fits is dropped.
 */
void KestProxyModelPrivate::arrived(const Fetch &fetch, const QDBusMessage &reply)
{
    m_wanted.remove(fetch.key());
    const QString method = member(fetch.kind);
    const bool failed = reply.type() != QDBusMessage::ReplyMessage;
    if (failed && KestBusCall::isNoAnswer(reply)) {
        // Asked again once the process answers (see KestSilentPeers).
        want(fetch);
        return;
    }
    if (failed && complainOnce(method)) {
        qCWarning(lcKestPlaylist).nospace() << "KestProxyModel: " << m_serviceName << " fails " << method << ": "
                                            << reply.errorMessage() << "; its answers are taken as empty.";
    }
    if (fetch.kind == Fetch::RowCount || fetch.kind == Fetch::ColumnCount) {
        const int count = failed ? 0 : remoteCount(reply);
        if (count < 0 && complainOnce(method)) {
            qCWarning(lcKestPlaylist).nospace() << "KestProxyModel: " << m_serviceName << " answers " << method
                                                << " with no count from 0 to INT_MAX; it is taken as 0.";
        }
        setCount(fetch.kind, std::max(0, count));
        return;
    }
    bool expected = false;
    const QVariant value = failed ? QVariant() : remoteValue(KestBusCall::firstArgument(reply), &expected);
    if (!failed && !expected && complainOnce(method)) {
        qCWarning(lcKestPlaylist).nospace() << "KestProxyModel: " << m_serviceName << " answers " << method
                                            << " with values of the wrong type; they are taken as empty.";
    }
    if (fetch.column >= m_columns)
        return;
    if (fetch.kind == Fetch::Header) {
        m_headers.insert(fetch.column, value);
        if (value.isValid())
            noteChange(-1, fetch.column);
    } else if (fetch.row < m_rows) {
        m_cells[fetch.row].insert(fetch.column, value);
        if (value.isValid())
            noteChange(fetch.row, -1);
    }
}

void KestProxyModelPrivate::setCount(Fetch::Kind kind, int count)
{
    if (kind == Fetch::RowCount) {
        m_rowsKnown = true;
        if (count == 0)
            return;
        q->beginInsertRows(QModelIndex(), 0, count - 1);
        m_rows = count;
        q->endInsertRows();
    } else {
        m_columnsKnown = true;
        if (count == 0)
            return;
        q->beginInsertColumns(QModelIndex(), 0, count - 1);
        m_columns = count;
        q->endInsertColumns();
    }
}

// Rows from \a start on move by \a delta: inserted ones are new, removed ones are dropped.
void KestProxyModelPrivate::shiftRows(int start, int delta)
{
    std::map<int, Values> shifted;
    for (auto &[row, values] : m_cells) {
        if (row < start)
            shifted.emplace_hint(shifted.end(), row, std::move(values));
        else if (delta > 0 || row >= start - delta)
            shifted.emplace_hint(shifted.end(), row + delta, std::move(values));
    }
    m_cells.swap(shifted);
    m_rows += delta;
}

// Views hear of what arrived once the event loop is free again, in a few signals for many cells.
void KestProxyModelPrivate::noteChange(int row, int section)
{
    if (row >= 0) {
        m_changedRows.insert(row);
    } else {
        m_firstChangedSection = m_firstChangedSection < 0 ? section : std::min(m_firstChangedSection, section);
        m_lastChangedSection = std::max(m_lastChangedSection, section);
    }
    if (!m_notify.isActive())
        m_notify.start();
}

void KestProxyModelPrivate::notifyChanges()
{
    m_notify.stop();
    const std::set<int> rows = std::exchange(m_changedRows, {});
    for (auto it = rows.cbegin(); it != rows.cend();) {
        const int first = *it;
        int last = first;
        while (++it != rows.cend() && *it == last + 1)
            last = *it;
        Q_EMIT q->dataChanged(q->index(first, 0), q->index(last, m_columns - 1), {Qt::DisplayRole});
    }
    const int firstSection = std::exchange(m_firstChangedSection, -1);
    const int lastSection = std::exchange(m_lastChangedSection, -1);
    if (firstSection >= 0)
        Q_EMIT q->headerDataChanged(Qt::Horizontal, firstSection, lastSection);
}

void KestProxyModelPrivate::ownerChanged(const QString &name, const QString &newOwner)
{
    // A change that the daemon announced before it answered who owns the name came before the
    // model's first calls too.
    if (name != m_serviceName || m_mode != KestProxyModel::Background || !m_ownerResolved)
        return;
    if (newOwner.isEmpty())
        exporterGone();
    else
        reset();
}

// Nobody is left to ask: every row goes, until a new owner of the name resets the model.
void KestProxyModelPrivate::exporterGone()
{
    qCDebug(lcKestPlaylist) << "KestProxyModel:" << m_serviceName << "has left the bus, its rows are removed.";
    notifyChanges();
    ++m_generation;
    m_queue.clear();
    m_wanted.clear();
    m_rowsKnown = true;
    if (m_rows == 0)
        return;
    q->beginRemoveRows(QModelIndex(), 0, m_rows - 1);
    m_cells.clear();
    m_rows = 0;
    q->endRemoveRows();
}

// Bad answers are named once per reset, not once per cell.
bool KestProxyModelPrivate::complainOnce(const QString &member)
{
    if (m_complaints.contains(member))
        return false;
    m_complaints.insert(member);
    return true;
}
