// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestsourceadaptor.h"
#include "kestsourceadaptor_p.h"

#include "dbusmessageutil.h"
#include "kestbuscall_p.h"
#include "kestbusname_p.h"
#include "kestbusnames_p.h"
#include "kestcallerwatch_p.h"
#include "kestextensionadaptor_p.h"
#include "kestlogging_p.h"
#include "kestserving_p.h"

#include <kesterror.h>
#include <kestsource.h>

#include <QDBusConnection>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>

namespace {
const QString What = QStringLiteral("The source");
// What a queued row costs beyond its text and metadata.
const qint64 RowOverhead = 96;

const char *kindName(KestSourceAdaptorPrivate::Kind kind)
{
    return kind == KestSourceAdaptorPrivate::Browse ? "browse" : "query";
}
} // namespace

KestSourceAdaptorPrivate::KestSourceAdaptorPrivate(KestSourceAdaptor *q, KestSource *source)
    : QObject(q)
    , q(q)
    , m_source(source)
{
    connect(KestCallerWatch::instance(), &KestCallerWatch::callerLeft, this, &KestSourceAdaptorPrivate::dropCaller);
}

KestSourceAdaptorPrivate::~KestSourceAdaptorPrivate() = default;

KestSourceAdaptor::KestSourceAdaptor(KestSource &source)
    : QDBusAbstractAdaptor(&source)
    , d(new KestSourceAdaptorPrivate(this, &source))
{
    qDBusRegisterMetaType<KestBrowseResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestBrowseResultDBusStruct>>();
    qDBusRegisterMetaType<KestQueryResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestQueryResultDBusStruct>>();
    d->m_extension = KestExtensionAdaptor::serve(&source, What);
}

KestSourceAdaptor::~KestSourceAdaptor()
{
    withdraw();
}

bool KestSourceAdaptor::init()
{
    if (isPublished())
        return true;
    const QString plugin = d->m_source->pluginName();
    const QString uuid = d->m_source->uuid();
    if (!KestBusName::isValidExtension(plugin, uuid)) {
        qCWarning(lcKestSource) << "KestSourceAdaptor: Invalid plugin name or uuid, not published:"
                                << KestBusName::excerpt(plugin) << KestBusName::excerpt(uuid);
        return false;
    }
    if (!d->m_registration.registerAt(KestBusNames::sourcePath(uuid), KestBusNames::sourceService(plugin, uuid),
                                      d->m_source, "KestSourceAdaptor: The source"))
        return false;
    if (d->m_extension) {
        d->m_extension->relay(d->m_registration.path(), false);
        connect(d->m_source, &KestSource::kestPropertyChanged, d->m_extension.data(),
                &KestExtensionAdaptor::sendPropertyChanged);
    }
    KestServing::emitSignal(KestBusNames::registryPath(), KestBusNames::registryInterface(),
                            QStringLiteral("new_source"), {plugin, uuid, d->m_source->name()});
    return true;
}

void KestSourceAdaptor::withdraw()
{
    if (d->m_extension) {
        disconnect(d->m_source, nullptr, d->m_extension.data(), nullptr);
        d->m_extension->withdraw(QStringLiteral("The source has left the bus."));
    }
    d->m_registration.release();
    d->withdraw();
}

bool KestSourceAdaptor::isPublished() const
{
    return d->m_registration.isRegistered();
}

void KestSourceAdaptor::browse(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset,
                               uint count, const QDBusMessage &message)
{
    if (objectId.isEmpty() || (predicate.isEmpty() && keys.isEmpty())) {
        KestServing::refuse(message, QDBusError::InvalidArgs,
                            QStringLiteral("A browse needs an object id, and a predicate or keys."));
        return;
    }
    d->start(KestSourceAdaptorPrivate::Browse, message, [&] {
        return d->m_source->browse(objectId, predicate, keys, offset, count, d.get(),
                                   SLOT(browseRow(uint, QString, Metamap, uint, int)),
                                   SLOT(browseError(uint, uint, QString)));
    });
}

void KestSourceAdaptor::query(const QString &query, const QDBusMessage &message)
{
    d->start(KestSourceAdaptorPrivate::Query, message, [&] {
        return d->m_source->query(query, d.get(), SLOT(queryRow(uint, QStringList, uint, int)),
                                  SLOT(queryError(uint, int, QString)));
    });
}

void KestSourceAdaptor::cancel_browse(uint browseId, const QDBusMessage &message)
{
    d->cancel(KestSourceAdaptorPrivate::Browse, browseId, message);
}

void KestSourceAdaptor::cancel_query(uint queryId, const QDBusMessage &message)
{
    d->cancel(KestSourceAdaptorPrivate::Query, queryId, message);
}

void KestSourceAdaptorPrivate::start(Kind kind, const QDBusMessage &message, const std::function<uint()> &start)
{
    const QString callerName = message.service();
    const std::shared_ptr<Caller> known = m_callers.value(callerName);
    if (known && known->requests.size() >= MaxRequestsPerCaller) {
        qCWarning(lcKestSource) << "KestSourceAdaptor: Too many requests of" << callerName << "in progress, refused.";
        KestServing::refuse(message, QDBusError::LimitsExceeded,
                            QStringLiteral("Too many browses and queries of this caller are in progress."));
        return;
    }
    // Rows that the source delivers from inside the call, before its id is known, wait aside.
    ++m_starting;
    const uint id = start();
    --m_starting;
    const bool overflow = m_asideOverflow;
    if (m_starting == 0)
        m_asideOverflow = false;
    if (id == 0 || overflow) {
        if (id != 0)
            kind == Browse ? m_source->cancelBrowse(id) : m_source->cancelQuery(id);
        replayAside();
        if (id == 0)
            KestServing::refuse(message, QDBusError::Failed,
                                QStringLiteral("The source did not start the %1.").arg(QLatin1String(kindName(kind))));
        else
            KestServing::refuse(message, QDBusError::LimitsExceeded,
                                QStringLiteral("The source delivered more rows at once than can wait to be sent."));
        return;
    }

    // A source that hands out an id still in progress has ended that request.
    if (Request *previous = find(live(kind).take(id))) {
        if (!previous->ended)
            end(previous, 0, QString());
    }
    auto request = std::make_unique<Request>();
    request->kind = kind;
    request->id = id;
    request->caller = callerName;
    request->serial = ++m_lastSerial;
    const quint64 serial = request->serial;
    m_requests.emplace(serial, std::move(request));
    live(kind).insert(id, serial);
    std::shared_ptr<Caller> &caller = m_callers[callerName];
    if (!caller) {
        caller = std::make_shared<Caller>();
        KestCallerWatch::instance()->follow(callerName);
    }
    caller->requests.append(serial);
    find(serial)->state = caller.get();

    // The reply goes out before any row: the caller knows the id when the rows arrive.
    KestServing::answer(message, {id});
    replayAside();
    flush(callerName);
}

// Rows kept aside go to their request once it is known; while another start is in progress, the
// rest wait for it, and otherwise they belong to no request.
void KestSourceAdaptorPrivate::replayAside()
{
    const QList<Aside> aside = std::exchange(m_aside, QList<Aside>());
    m_asideBytes = 0;
    int dropped = 0;
    for (const Aside &row : aside) {
        if (Request *request = find(live(row.kind).value(row.id))) {
            if (!request->ended)
                row.delivery(request);
        } else if (m_starting > 0) {
            m_aside.append(row);
            m_asideBytes += row.bytes;
        } else {
            ++dropped;
        }
    }
    if (dropped > 0)
        qCDebug(lcKestSource) << "KestSourceAdaptor:" << dropped << "rows for no request in progress, dropped.";
}

void KestSourceAdaptorPrivate::cancel(Kind kind, uint id, const QDBusMessage &message)
{
    Request *request = find(live(kind).value(id));
    // Another caller's request is none of this caller's business, and looks like no request at all.
    if (!request || request->caller != message.service()) {
        KestServing::refuse(
            message, QDBusError::InvalidArgs,
            QStringLiteral("There is no %1 %2 of this caller.").arg(QLatin1String(kindName(kind))).arg(id));
        return;
    }
    const QString callerName = request->caller;
    const quint64 serial = request->serial;
    cancelAtSource(request);
    if ((request = find(serial))) {
        // Nothing more is sent but the end.
        request->state->bytes -= request->bytes;
        request->rows.clear();
        request->bytes = 0;
        request->errorCode = 0;
        request->endToSend = true;
    }
    flush(callerName);
}

void KestSourceAdaptorPrivate::cancelAtSource(Request *request)
{
    if (request->ended)
        return;
    // Ended first: whatever the source says about it from inside the cancel is not taken.
    request->ended = true;
    if (request->kind == Browse)
        m_source->cancelBrowse(request->id);
    else
        m_source->cancelQuery(request->id);
}

KestSourceAdaptorPrivate::Request *KestSourceAdaptorPrivate::find(quint64 serial) const
{
    const auto it = m_requests.find(serial);
    return it == m_requests.end() ? nullptr : it->second.get();
}

void KestSourceAdaptorPrivate::deliver(Kind kind, uint id, qint64 bytes, const Delivery &delivery)
{
    if (Request *request = find(live(kind).value(id))) {
        if (!request->ended)
            delivery(request);
        return;
    }
    if (m_starting > 0) {
        if (m_asideBytes + bytes > MaxQueuedBytes) {
            m_asideOverflow = true;
            return;
        }
        m_asideBytes += bytes;
        m_aside.append({kind, id, bytes, delivery});
        return;
    }
    qCDebug(lcKestSource) << "KestSourceAdaptor: Rows for no" << kindName(kind) << "in progress, dropped:" << id;
}

void KestSourceAdaptorPrivate::browseRow(uint browseId, const QString &objectId, const Metamap &metadata, uint index,
                                         int remainingCount)
{
    Row row;
    row.browse.remainingCount = qMax(0, remainingCount);
    row.browse.index = index;
    row.browse.objectId = objectId;
    DBusMessageUtil::encodeMetadataBlock(metadata, row.browse.metadata);
    row.bytes = RowOverhead + 2 * objectId.size() + row.browse.metadata.size();
    enqueueRow(Browse, browseId, std::move(row), remainingCount <= 0);
}

void KestSourceAdaptorPrivate::browseError(uint browseId, uint errorCode, const QString &errorMessage)
{
    deliver(Browse, browseId, RowOverhead + 2 * errorMessage.size(),
            [this, errorCode, errorMessage](Request *request) { end(request, int(errorCode), errorMessage); });
}

void KestSourceAdaptorPrivate::queryRow(uint queryId, const QStringList &values, uint index, int remainingCount)
{
    Row row;
    row.query.index = index;
    row.query.resultRow = values;
    row.remaining = qMax(0, remainingCount);
    row.bytes = RowOverhead;
    for (const QString &value : values)
        row.bytes += 32 + 2 * value.size();
    enqueueRow(Query, queryId, std::move(row), remainingCount <= 0);
}

void KestSourceAdaptorPrivate::queryError(uint queryId, int errorCode, const QString &errorMessage)
{
    deliver(Query, queryId, RowOverhead + 2 * errorMessage.size(),
            [this, errorCode, errorMessage](Request *request) { end(request, errorCode, errorMessage); });
}

void KestSourceAdaptorPrivate::enqueueRow(Kind kind, uint id, Row row, bool last)
{
    // Most rows belong to a request in progress: they go without a copy.
    if (Request *request = find(live(kind).value(id))) {
        if (!request->ended)
            enqueue(request, std::move(row), last);
        return;
    }
    const qint64 bytes = row.bytes;
    deliver(kind, id, bytes, [this, row = std::move(row), last](Request *request) { enqueue(request, row, last); });
}

void KestSourceAdaptorPrivate::enqueue(Request *request, Row row, bool last)
{
    Caller &caller = *request->state;
    if (caller.bytes + row.bytes > MaxQueuedBytes) {
        fail(request, QStringLiteral("More rows are waiting for this caller than can be kept."));
        return;
    }
    caller.bytes += row.bytes;
    request->bytes += row.bytes;
    request->rows.push_back(std::move(row));
    request->ended = last;
    // A full batch goes at once, while the source goes on; the rest when the event loop comes back.
    const qsizetype queued = request->rows.size();
    if (m_starting == 0 && queued % BatchRows == 0 && caller.inFlight < MaxCallsInFlight)
        flush(request->caller);
    else if (queued == 1 || last)
        postFlush(request->caller);
}

void KestSourceAdaptorPrivate::postFlush(const QString &callerName)
{
    m_toFlush.insert(callerName);
    if (!std::exchange(m_flushPosted, true))
        QMetaObject::invokeMethod(this, &KestSourceAdaptorPrivate::flushPosted, Qt::QueuedConnection);
}

// The source's last word: an error (code other than 0), or no more rows (0).
void KestSourceAdaptorPrivate::end(Request *request, int code, const QString &message)
{
    request->ended = true;
    if (request->kind == Browse && code != 0) {
        Row row;
        row.browse.errorDomain = KestError::KEST_SOURCE_ERROR_QUARK;
        row.browse.errorCode = uint(code);
        row.browse.errorMessage = message;
        row.bytes = RowOverhead + 2 * message.size();
        request->state->bytes += row.bytes;
        request->bytes += row.bytes;
        request->rows.push_back(std::move(row));
    } else {
        request->errorCode = code;
        request->errorMessage = message;
        request->endToSend = true;
    }
    postFlush(request->caller);
}

// Ends a request that cannot go on here: the rows waiting are dropped and the caller is told.
void KestSourceAdaptorPrivate::fail(Request *request, const QString &message)
{
    qCWarning(lcKestSource) << "KestSourceAdaptor:" << kindName(request->kind) << request->id << "of" << request->caller
                            << "ends:" << message;
    const quint64 serial = request->serial;
    cancelAtSource(request);
    if (!(request = find(serial)))
        return;
    request->state->bytes -= request->bytes;
    request->rows.clear();
    request->bytes = 0;
    request->endToSend = false;
    end(request, KestError::GeneralFailure, message);
}

// Rows that a turn of the event loop left go at once to a caller that has nothing on its way;
// the others get them when a result call comes back, in larger batches the slower they take them.
void KestSourceAdaptorPrivate::flushPosted()
{
    m_flushPosted = false;
    const QSet<QString> callers = std::exchange(m_toFlush, QSet<QString>());
    for (const QString &callerName : callers) {
        const std::shared_ptr<Caller> caller = m_callers.value(callerName);
        if (caller && caller->inFlight == 0)
            flush(callerName);
    }
}

KestSourceAdaptorPrivate::Request *KestSourceAdaptorPrivate::nextToSend(Caller &caller)
{
    // Round robin over the caller's requests, so that one long browse does not hold up the others.
    for (int i = 0; i < caller.requests.size(); ++i) {
        const int at = (caller.next + i) % caller.requests.size();
        Request *request = find(caller.requests.at(at));
        if (request && (!request->rows.empty() || request->endToSend)) {
            caller.next = at + 1;
            return request;
        }
    }
    return nullptr;
}

void KestSourceAdaptorPrivate::flush(const QString &callerName)
{
    const std::shared_ptr<Caller> caller = m_callers.value(callerName);
    if (!caller)
        return;
    while (caller->inFlight < MaxCallsInFlight) {
        Request *request = nextToSend(*caller);
        if (!request)
            break;
        send(request, *caller);
    }
    forgetCallerIfIdle(callerName);
}

void KestSourceAdaptorPrivate::send(Request *request, Caller &caller)
{
    const int count = int(std::min<size_t>(BatchRows, request->rows.size()));
    qint64 bytes = 0;
    QList<QVariant> arguments{request->id};
    if (request->kind == Browse) {
        QList<KestBrowseResultDBusStruct> rows;
        rows.reserve(count);
        for (int i = 0; i < count; ++i) {
            bytes += request->rows.at(i).bytes;
            rows.append(std::move(request->rows[i].browse));
        }
        arguments << QVariant::fromValue(rows);
    } else {
        QList<KestQueryResultDBusStruct> rows;
        rows.reserve(count);
        for (int i = 0; i < count; ++i) {
            bytes += request->rows.at(i).bytes;
            rows.append(std::move(request->rows[i].query));
        }
        // The rows after this batch, by the source's count; none once the source has said its last.
        const bool error = request->errorCode != 0;
        const bool last = request->ended && size_t(count) == request->rows.size() && !error;
        const int remaining = count > 0 && !last ? request->rows.at(count - 1).remaining : 0;
        if (count == 0 && error)
            arguments << 0 << QVariant::fromValue(rows) << request->errorCode << request->errorMessage;
        else
            arguments << remaining << QVariant::fromValue(rows) << 0 << QString();
    }
    request->rows.erase(request->rows.begin(), request->rows.begin() + count);
    request->bytes -= bytes;
    caller.bytes -= bytes;
    // An empty call is the end (or an error) itself; a query's error goes in a call of its own, after its rows.
    if (count == 0 || (request->kind == Query && request->errorCode == 0 && request->ended && request->rows.empty()))
        request->endToSend = false;
    const bool done = request->ended && request->rows.empty() && !request->endToSend;

    QDBusMessage call = QDBusMessage::createMethodCall(
        request->caller, KestBusNames::proxySourcePath(m_source->uuid()), KestBusNames::proxySourceInterface(),
        request->kind == Browse ? QStringLiteral("browse_result") : QStringLiteral("query_result"));
    call.setArguments(arguments);
    ++caller.inFlight;
    QDBusPendingCallWatcher *watcher = KestBusCall::async(call, this);
    const QString callerName = request->caller;
    const quint64 serial = request->serial;
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, callerName, serial](QDBusPendingCallWatcher *w) {
        w->deleteLater();
        const std::shared_ptr<Caller> caller = m_callers.value(callerName);
        if (!caller)
            return;
        --caller->inFlight;
        if (w->isError()) {
            // The caller's receiver is missing, refuses the rows or does not answer: nobody takes the rest.
            if (Request *request = find(serial)) {
                qCWarning(lcKestSource) << "KestSourceAdaptor:" << kindName(request->kind) << request->id << "of"
                                        << callerName << "ends: its results were refused:" << w->error().message();
                cancelAtSource(request);
                retire(serial);
            }
        }
        flush(callerName);
    });
    if (done)
        retire(serial);
}

void KestSourceAdaptorPrivate::retire(quint64 serial)
{
    const auto it = m_requests.find(serial);
    if (it == m_requests.end())
        return;
    Request *request = it->second.get();
    QHash<uint, quint64> &requests = live(request->kind);
    if (requests.value(request->id) == serial)
        requests.remove(request->id);
    request->state->requests.removeOne(serial);
    request->state->bytes -= request->bytes;
    m_requests.erase(it);
}

void KestSourceAdaptorPrivate::forgetCallerIfIdle(const QString &callerName)
{
    const auto it = m_callers.find(callerName);
    if (it == m_callers.end() || !(*it)->requests.isEmpty() || (*it)->inFlight > 0)
        return;
    m_callers.erase(it);
    KestCallerWatch::instance()->unfollow(callerName);
}

void KestSourceAdaptorPrivate::dropCaller(const QString &callerName)
{
    const auto it = m_callers.find(callerName);
    if (it == m_callers.end())
        return;
    const QList<quint64> requests = (*it)->requests;
    for (quint64 serial : requests) {
        if (Request *request = find(serial)) {
            qCDebug(lcKestSource) << "KestSourceAdaptor: The caller of" << kindName(request->kind) << request->id
                                  << "has left.";
            cancelAtSource(request);
            retire(serial);
        }
    }
    if (m_callers.remove(callerName) > 0)
        KestCallerWatch::instance()->unfollow(callerName);
}

void KestSourceAdaptorPrivate::withdraw()
{
    const QStringList callers = m_callers.keys();
    for (const QString &caller : callers)
        dropCaller(caller);
    m_toFlush.clear();
}
