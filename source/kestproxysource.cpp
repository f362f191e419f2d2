// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxysource.h"
#include "kestproxysource_p.h"

#include "dbusadaptor.h"
#include "dbusmessageutil.h"
#include "kestbuscall_p.h"
#include "kestbusnames_p.h"
#include "kestlogging_p.h"
#include "kestownerwatch_p.h"
#include "kestproxysourcenamerequest.h"
#include "kestproxysourcepropertyrequest.h"
#include "kestsourcesignalhub_p.h"

#include <kestcallbackhelper.h>
#include <kesterror.h>

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QPointer>

#include <memory>
#include <utility>

namespace {

// Results that came early, kept until the start they belong to has been answered, at most this many.
const int MaxEarlyResults = 10000;

// The id in a start reply; absent when the call failed or the source sent no argument.
bool replyId(const QDBusMessage &reply, uint *id)
{
    const QVariant first = KestBusCall::firstArgument(reply);
    if (!first.isValid())
        return false;
    *id = uint(first.toInt());
    return true;
}

// One record per id: a new request under a pending id replaces the old record, whose receiver is
// never called.
void keepRecord(std::map<uint, KestProxySourcePrivate::Pending> &ongoing, uint id,
                KestProxySourcePrivate::Pending pending, const char *replacingMessage)
{
    if (ongoing.erase(id))
        qCWarning(lcKestSource) << replacingMessage;
    ongoing.emplace(id, std::move(pending));
}

const char *replacingMessage(bool browse)
{
    return browse ? "KestProxySource::browse. There was ongoing browse with same id, replacing it."
                  : "KestProxySource::query. There was ongoing query with same id, replacing it.";
}

} // namespace

KestProxySource::KestProxySource(QObject *parent, const QString &uuid, const QString &plugin, const QString &name)
    : KestSource(parent, uuid, plugin)
    , d(new KestProxySourcePrivate(this))
{
    // The bus library finds the types of slot parameters by name; make QDBusVariant known.
    qRegisterMetaType<QDBusVariant>();
    setName(name);
}

KestProxySource::~KestProxySource()
{
    // A second proxy of the same source fails to register; it must not take the first one's
    // result receiver off the bus when it goes.
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString receiverPath = KestBusNames::proxySourcePath(uuid());
    if (bus.objectRegisteredAt(receiverPath) == this)
        bus.unregisterObject(receiverPath, QDBusConnection::UnregisterNode);
    delete d->m_nameRequest;
    d->m_nameRequest = nullptr;
    // Pending work ends silently: nobody is called back.
    for (auto *requests : {&d->m_queries, &d->m_browses}) {
        requests->ongoing.clear();
        requests->starting.clear();
        requests->early.clear();
    }
    qDeleteAll(d->m_ongoingGetMetas);
    d->m_ongoingGetMetas.clear();
    if (!d->m_serviceName.isEmpty()) {
        KestSourceSignalHub::remove(this);
        KestOwnerWatch::instance()->unfollow(d->m_serviceName);
    }
}

bool KestProxySource::initDBusConnection()
{
    qCDebug(lcKestSource) << "KestProxySource::initDBusConnection";
    if (d->m_serviceName.isEmpty()) {
        d->m_serviceName = KestBusNames::sourceService(pluginName(), uuid());
        d->m_objectPath = KestBusNames::sourcePath(uuid());
        // The result receiver takes results from the name's owner only.
        KestOwnerWatch::instance()->follow(d->m_serviceName);
    }

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        const bool registered = bus.registerObject(KestBusNames::proxySourcePath(uuid()), this,
                                                   QDBusConnection::ExportAdaptors);
        // Adaptors are looked up when a call arrives, so creating it after registering is fine.
        if (!d->m_dbusAdaptor)
            d->m_dbusAdaptor = new DBusAdaptor(this);
        if (registered && getName()) {
            const bool connected = KestSourceSignalHub::instance()->add(this);
            if (!connected)
                qCWarning(lcKestSource)
                    << "KestProxySource::initDBusConnection failed to connect property_changed signal";
            return connected;
        }
    }
    qCWarning(lcKestSource) << "Couldn't get name of the source!";
    return false;
}

QString KestProxySource::serviceName() const
{
    return d->m_serviceName;
}

QString KestProxySource::objectPath() const
{
    return d->m_objectPath;
}

QMap<uint, KestProxySource::KestOngoingAction *> &KestProxySource::ongoingGetMetas()
{
    return d->m_ongoingGetMetas;
}

uint KestProxySource::getMetaId() const
{
    return d->m_getMetaId;
}

void KestProxySource::setGetMetaId(uint id)
{
    d->m_getMetaId = id;
}

bool KestProxySource::getName()
{
    qCDebug(lcKestSource) << "KestProxySource::getName";
    if (!name().isEmpty())
        return true;
    delete d->m_nameRequest;
    d->m_nameRequest = new KestProxySourceNameRequest(this, this, QStringLiteral("get_name"), this,
                                                      SLOT(getNameCallback(QString)));
    return d->m_nameRequest->call();
}

void KestProxySource::getNameCallback(const QString &name)
{
    qCDebug(lcKestSource) << "KestProxySource::getNameCallback";
    setName(name);
    // Called from the request's own reply handler, which touches nothing of it afterwards.
    delete d->m_nameRequest;
    d->m_nameRequest = nullptr;
}

bool KestProxySource::setKestProperty(const QString &name, const QVariant &value)
{
    qCDebug(lcKestSource) << "KestProxySource::setKestProperty" << name << value;
    if (name.isEmpty()) {
        qCWarning(lcKestSource)
            << "Not starting setKestProperty call, because missing or incomplete parameters. Please check your input.";
        return false;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage message = QDBusMessage::createMethodCall(d->m_serviceName, d->m_objectPath,
                                                          KestBusNames::extensionInterface(),
                                                          QStringLiteral("set_extension_property"));
    message << name << QVariant::fromValue(QDBusVariant(value));
    bus.call(message, QDBus::NoBlock);
    return true;
}

bool KestProxySource::kestProperty(QString &name, QObject *receiver, const char *member)
{
    qCDebug(lcKestSource) << "KestProxySource::kestProperty";
    if (name.isEmpty() || !receiver || !member) {
        qCWarning(lcKestSource)
            << "Not starting kestProperty call, because missing or incomplete parameters. Please check your input.";
        return false;
    }
    auto *request = new KestProxySourcePropertyRequest(this, this, receiver, member, name);
    return request->call();
}

void KestProxySource::handlePropertyChangedSignal(const QString &name, const QDBusVariant &value)
{
    qCDebug(lcKestSource) << "KestProxySource::handlePropertyChangedSignal: " << name << " : " << value.variant();
    Q_EMIT kestPropertyChanged(name, value.variant());
}

void KestProxySource::handleMessage(const QDBusMessage &)
{
    qCDebug(lcKestSource) << "KestProxySource::handleMessage !!!!!!!!";
}

QDBusMessage KestProxySource::createPredicateBrowseCall(QString objectId, const QString &predicate,
                                                        const QStringList &keys, uint offset, uint count)
{
    if (objectId.isEmpty())
        objectId = uuid() + QStringLiteral("::"); // the source's root object
    qCDebug(lcKestSource)
        << "QDBusMessage KestProxySource::createPredicateBrowseCall(QString, QString, QStringList, uint, uint)"
        << " - object ID:" << objectId;
    if (predicate.isEmpty() && keys.isEmpty()) {
        qCWarning(lcKestSource) << "Metadata keys for browse has not been set!";
        return QDBusMessage();
    }
    QDBusMessage message = QDBusMessage::createMethodCall(d->m_serviceName, d->m_objectPath,
                                                          KestBusNames::sourceInterface(), QStringLiteral("browse"));
    message << objectId << predicate << keys << offset << count;
    return message;
}

QDBusMessage KestProxySource::createQueryAsynchCall(const QString &query)
{
    QDBusMessage message = QDBusMessage::createMethodCall(d->m_serviceName, d->m_objectPath,
                                                          KestBusNames::sourceInterface(), QStringLiteral("query"));
    message << query;
    return message;
}

KestProxySourcePrivate::KestProxySourcePrivate(KestProxySource *q)
    : q(q)
    // Far from the small numbers that sources tend to choose, so that the two kinds of id seldom meet.
    , m_lastCallerId(0x80000000u)
{
}

uint KestProxySource::browse(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset,
                             uint count, QObject *receiver, const char *resultSlot, const char *errorSlot)
{
    qCDebug(lcKestSource) << "KestProxySource::browse predicate" << objectId;
    const QDBusMessage call = createPredicateBrowseCall(objectId, predicate, keys, offset, count);
    if (call.arguments().isEmpty() || !receiver) {
        qCWarning(lcKestSource) << "Error: Cannot initate browse! Invalid arguments or result receiver is NULL!";
        return 0;
    }
    // A reply without an id started nothing that could be told apart: keep no record for it.
    uint browseId = 0;
    if (!replyId(KestBusCall::blocking(call.service(), call.path(), call.interface(), call.member(), call.arguments()),
                 &browseId))
        return 0;
    qCDebug(lcKestSource) << "browseId:" << browseId;
    keepRecord(d->m_browses.ongoing, browseId,
               {std::make_unique<KestOngoingAction>(receiver, resultSlot, errorSlot), browseId},
               replacingMessage(true));
    return browseId;
}

uint KestProxySource::browseAsync(const QString &objectId, const QString &predicate, const QStringList &keys,
                                  uint offset, uint count, QObject *receiver, const char *resultSlot,
                                  const char *errorSlot)
{
    qCDebug(lcKestSource) << "KestProxySource::browseAsync" << objectId;
    const QDBusMessage call = createPredicateBrowseCall(objectId, predicate, keys, offset, count);
    if (call.arguments().isEmpty() || !receiver) {
        qCWarning(lcKestSource) << "Error: Cannot initate browse! Invalid arguments or result receiver is NULL!";
        return 0;
    }
    return d->startAsync(d->m_browses, call, new KestOngoingAction(receiver, resultSlot, errorSlot));
}

void KestProxySource::cancelBrowse(uint browseId)
{
    d->cancel(d->m_browses, browseId, QStringLiteral("cancel_browse"),
              "KestProxySource::cancelBrowse Not able to send cancel request to source.");
}

uint KestProxySource::query(const QString &query, QObject *receiver, const char *resultSlot, const char *errorSlot)
{
    qCDebug(lcKestSource) << "KestProxySource::query";
    if (!receiver) {
        qCWarning(lcKestSource) << "Not starting query, because no receiver given.";
        return 0;
    }
    const QDBusMessage call = createQueryAsynchCall(query);
    uint queryId = 0;
    if (!replyId(KestBusCall::blocking(call.service(), call.path(), call.interface(), call.member(), call.arguments()),
                 &queryId))
        return 0;
    qCDebug(lcKestSource) << "queryId:" << queryId;
    keepRecord(d->m_queries.ongoing, queryId,
               {std::make_unique<KestOngoingAction>(receiver, resultSlot, errorSlot), queryId},
               replacingMessage(false));
    return queryId;
}

uint KestProxySource::queryAsync(const QString &query, QObject *receiver, const char *resultSlot, const char *errorSlot)
{
    qCDebug(lcKestSource) << "KestProxySource::queryAsync";
    if (!receiver) {
        qCWarning(lcKestSource) << "Not starting query, because no receiver given.";
        return 0;
    }
    return d->startAsync(d->m_queries, createQueryAsynchCall(query),
                         new KestOngoingAction(receiver, resultSlot, errorSlot));
}

void KestProxySource::cancelQuery(uint queryId)
{
    d->cancel(d->m_queries, queryId, QStringLiteral("cancel_query"),
              "KestProxySource::cancelQuery Not able to send cancel request to source.");
}

uint KestProxySourcePrivate::startAsync(Requests &requests, const QDBusMessage &call, Action *action)
{
    const auto inUse = [this](uint id) {
        for (const Requests *kind : {&m_browses, &m_queries}) {
            if (kind->starting.count(id))
                return true;
            for (const auto &entry : kind->ongoing) {
                if (entry.second.callerId == id)
                    return true;
            }
        }
        return false;
    };
    do {
        ++m_lastCallerId;
    } while (m_lastCallerId == 0 || inUse(m_lastCallerId));
    const uint callerId = m_lastCallerId;
    requests.starting.emplace(callerId, action);
    QDBusPendingCallWatcher *watcher = KestBusCall::async(call, q);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, q,
                     [this, &requests, callerId](QDBusPendingCallWatcher *finished) {
                         finished->deleteLater();
                         started(requests, callerId, finished->reply());
                     });
    return callerId;
}

void KestProxySourcePrivate::started(Requests &requests, uint callerId, const QDBusMessage &reply)
{
    const auto starting = requests.starting.find(callerId);
    if (starting == requests.starting.end())
        return;
    std::unique_ptr<Action> action = std::move(starting->second);
    requests.starting.erase(starting);
    const bool cancelled = requests.cancelWhenStarted.remove(callerId);
    const bool browse = &requests == &m_browses;

    uint sourceId = 0;
    if (replyId(reply, &sourceId)) {
        qCDebug(lcKestSource) << (browse ? "browseId:" : "queryId:") << sourceId << "for" << callerId;
        keepRecord(requests.ongoing, sourceId, {std::move(action), callerId}, replacingMessage(browse));
        if (cancelled)
            sendCancel(browse ? QStringLiteral("cancel_browse") : QStringLiteral("cancel_query"), sourceId,
                       "KestProxySource: Not able to send cancel request to source.");
        handleEarly(requests);
        return;
    }
    // Nothing started: the caller hears it under the id it was given.
    const QString message = reply.type() == QDBusMessage::ErrorMessage
        ? reply.errorMessage()
        : QStringLiteral("The source answered the start without an id.");
    qCWarning(lcKestSource) << "KestProxySource: Starting" << (browse ? "browse" : "query") << callerId
                            << "failed:" << message;
    const QPointer<KestProxySource> alive(q);
    if (!action->receiver) {
        qCWarning(lcKestSource) << "KestProxySource: receiver object is DESTROYED!";
    } else {
        const bool invoked = browse ? KestCallbackHelper::invoke(action->receiver.data(), action->errorMethod, callerId,
                                                                 uint(KestError::GeneralFailure), message)
                                    : KestCallbackHelper::invoke(action->receiver.data(), action->errorMethod, callerId,
                                                                 int(KestError::GeneralFailure), message);
        if (!invoked)
            qCCritical(lcKestSource) << "KestProxySource: Error slot invocation failed!";
    }
    if (alive)
        handleEarly(requests);
}

bool KestProxySourcePrivate::keepEarly(Requests &requests, const std::function<void()> &handleAgain)
{
    if (requests.starting.empty())
        return false;
    if (requests.early.size() >= MaxEarlyResults) {
        qCWarning(lcKestSource) << "KestProxySource: Too many results for unknown ids, dropping one.";
        return true;
    }
    requests.early.append(handleAgain);
    return true;
}

void KestProxySourcePrivate::handleEarly(Requests &requests)
{
    const QList<std::function<void()>> early = std::exchange(requests.early, {});
    const QPointer<KestProxySource> alive(q);
    for (const std::function<void()> &handleAgain : early) {
        if (!alive)
            return;
        handleAgain();
    }
}

void KestProxySourcePrivate::finish(Requests &requests, uint id)
{
    const bool browse = &requests == &m_browses;
    const auto pending = requests.ongoing.find(id);
    if (pending == requests.ongoing.end()) {
        if (!keepEarly(requests, [this, &requests, id] { finish(requests, id); }) && browse)
            qCCritical(lcKestSource) << "KestProxySource: Results without rows, browse id not found!";
        return;
    }
    const Pending finished = std::move(pending->second);
    requests.ongoing.erase(pending);
    announceFinished(requests, finished.callerId, finished.action->receiver);
}

void KestProxySourcePrivate::announceFinished(const Requests &requests, uint callerId, bool receiverAlive)
{
    if (&requests == &m_queries) {
        Q_EMIT q->queryFinished(callerId);
        return;
    }
    const QPointer<KestProxySource> alive(q);
    if (receiverAlive)
        Q_EMIT q->browseCompleted();
    if (alive)
        Q_EMIT q->browseFinished(callerId);
}

void KestProxySourcePrivate::cancel(Requests &requests, uint callerId, const QString &member,
                                    const char *failureMessage)
{
    if (requests.starting.count(callerId)) {
        requests.cancelWhenStarted.insert(callerId);
        return;
    }
    // The source knows a browse or query by its own id; what the caller holds may be the proxy's.
    uint sourceId = callerId;
    for (const auto &entry : requests.ongoing) {
        if (entry.second.callerId == callerId) {
            sourceId = entry.first;
            if (entry.first != callerId)
                break;
        }
    }
    sendCancel(member, sourceId, failureMessage);
}

// Cancels are sent without waiting: the record stays until the source reports the end.
void KestProxySourcePrivate::sendCancel(const QString &member, uint id, const char *failureMessage) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(m_serviceName, m_objectPath, KestBusNames::sourceInterface(),
                                                          member);
    message << id;
    if (!QDBusConnection::sessionBus().send(message))
        qCWarning(lcKestSource) << failureMessage;
}

// The last row ends the request before the receiver hears of it: from its slot the receiver may start the next
// one, which the source may give the same id, or drop this proxy.
bool KestProxySourcePrivate::deliverRow(Requests &requests, uint id, int remainingCount, const Invoke &invoke,
                                        const char *destroyedMessage, const char *failedMessage)
{
    const auto pending = requests.ongoing.find(id);
    if (pending == requests.ongoing.end())
        return false;
    const uint callerId = pending->second.callerId;
    Action *action = pending->second.action.get();
    Pending finished;
    if (remainingCount == 0) {
        finished = std::move(pending->second);
        requests.ongoing.erase(pending);
    }
    const QPointer<KestProxySource> alive(q);
    if (!action->receiver)
        qCWarning(lcKestSource) << destroyedMessage;
    else if (!invoke(*action, callerId))
        qCCritical(lcKestSource) << failedMessage;
    if (finished.action && alive)
        announceFinished(requests, callerId, finished.action->receiver);
    return true;
}

bool KestProxySourcePrivate::deliverError(Requests &requests, uint id, const Invoke &invoke,
                                          const char *destroyedMessage, const char *failedMessage)
{
    const auto pending = requests.ongoing.find(id);
    if (pending == requests.ongoing.end())
        return false;
    const Pending failed = std::move(pending->second);
    requests.ongoing.erase(pending);
    if (!failed.action->receiver)
        qCWarning(lcKestSource) << destroyedMessage;
    else if (!invoke(*failed.action, failed.callerId))
        qCCritical(lcKestSource) << failedMessage;
    return true;
}

void KestProxySource::handlePredicateBrowseResult(uint browseId, KestContent *content, uint index, int remainingCount)
{
    qCDebug(lcKestSource) << "KestProxySource::handlePredicateBrowseResult id" << browseId << "index" << index;
    std::unique_ptr<KestContent> row(content);
    const QString objectId = row->uuid();
    const Metamap metadata = row->metaData();
    row.reset();
    const auto invoke = [&](KestOngoingAction &action, uint callerId) {
        return KestCallbackHelper::invoke(action.receiver.data(), action.resultMethod, callerId, objectId, metadata,
                                          index, remainingCount);
    };
    if (d->deliverRow(d->m_browses, browseId, remainingCount, invoke,
                      "KestProxySource::handlePredicateBrowseResult: receiver object is DESTROYED!",
                      "void KestProxySource::handlePredicateBrowseResult(uint, KestContent*, uint, int)  slot "
                      "invocation failed!"))
        return;
    const auto handleAgain = [this, browseId, objectId, metadata, index, remainingCount] {
        auto content = std::make_unique<KestContent>(objectId);
        content->setMetaData(metadata);
        handlePredicateBrowseResult(browseId, content.release(), index, remainingCount);
    };
    if (!d->keepEarly(d->m_browses, handleAgain))
        qCCritical(lcKestSource) << "void KestProxySource::handlePredicateBrowseResult(uint, KestContent*, uint, int)"
                                 << " browse id not found!";
}

void KestProxySource::handlePredicateBrowseError(uint browseId, uint errorCode, const QString &errorMessage)
{
    const auto invoke = [&](KestOngoingAction &action, uint callerId) {
        return KestCallbackHelper::invoke(action.receiver.data(), action.errorMethod, callerId, errorCode,
                                          errorMessage);
    };
    if (d->deliverError(d->m_browses, browseId, invoke,
                        "KestProxySource::handlePredicateBrowseError: receiver object is DESTROYED!",
                        "KestProxySource::handlePredicateBrowseError: slot invocation failed!"))
        return;
    if (!d->keepEarly(d->m_browses, [this, browseId, errorCode, errorMessage] {
            handlePredicateBrowseError(browseId, errorCode, errorMessage);
        }))
        qCCritical(lcKestSource) << "void KestProxySource::handlePredicateBrowseError(uint, uint, QString)"
                                 << " : browse id not found!";
}

void KestProxySource::handleQueryResult(uint queryId, uint index, const QStringList &resultRow, int remainingCount)
{
    qCDebug(lcKestSource) << "KestProxySource::handleQueryResult id" << queryId << "index" << index;
    const auto invoke = [&](KestOngoingAction &action, uint callerId) {
        return KestCallbackHelper::invoke(action.receiver.data(), action.resultMethod, callerId, resultRow, index,
                                          remainingCount);
    };
    if (!d->deliverRow(d->m_queries, queryId, remainingCount, invoke,
                       "KestProxySource::handleQueryResult: receiver object is DESTROYED!",
                       "KestProxySource::handleQueryResult: slot invocation failed!"))
        d->keepEarly(d->m_queries, [this, queryId, index, resultRow, remainingCount] {
            handleQueryResult(queryId, index, resultRow, remainingCount);
        });
}

void KestProxySource::handleQueryError(uint queryId, int errorCode, const QString &errorMessage)
{
    const auto invoke = [&](KestOngoingAction &action, uint callerId) {
        return KestCallbackHelper::invoke(action.receiver.data(), action.errorMethod, callerId, errorCode,
                                          errorMessage);
    };
    if (!d->deliverError(d->m_queries, queryId, invoke,
                         "KestProxySource::handleQueryError: receiver object is DESTROYED!",
                         "KestProxySource::handleQueryError: slot invocation failed!"))
        d->keepEarly(d->m_queries,
                     [this, queryId, errorCode, errorMessage] { handleQueryError(queryId, errorCode, errorMessage); });
}

void KestProxySource::handleGetMetaResult(const QDBusMessage &message)
{
    qCDebug(lcKestSource) << "Proxy's handleGetMeta called!";
    QStringList keys;
    QStringList values;
    const QByteArray block = message.arguments().value(0).toByteArray();
    const bool decoded = DBusMessageUtil::decodeMetadataBlock(block, keys, values);

    std::unique_ptr<KestOngoingAction> action(d->m_ongoingGetMetas.take(d->m_getMetaId));
    if (!decoded || !action) {
        qCWarning(lcKestSource) << "KestProxySource could not parse get meta results!";
        return;
    }
    if (!action->receiver) {
        qCWarning(lcKestSource) << "KestProxySource::handleGetMetaResult: receiver object is DESTROYED!";
    } else if (!KestCallbackHelper::invoke(action->receiver.data(), action->resultMethod, d->m_getMetaId, keys,
                                           values)) {
        qCCritical(lcKestSource) << "KestProxySource::handleGetMetaResult: slot invocation failed!";
    }
}

void KestProxySource::handleGetMetaError(const QDBusMessage &message)
{
    qCDebug(lcKestSource) << "Proxy's handleGetMetaError called!";
    // Which argument carries the text is unsettled; the domain doubles as the message.
    const QString domain = message.arguments().value(0).toString();
    std::unique_ptr<KestOngoingAction> action(d->m_ongoingGetMetas.take(d->m_getMetaId));
    if (!action || domain != KestError::KEST_SOURCE_ERROR_QUARK) {
        qCWarning(lcKestSource) << "Invalid quark received in ProxySource";
        return;
    }
    if (!action->receiver) {
        qCWarning(lcKestSource) << "KestProxySource::handleGetMetaError: receiver object is DESTROYED!";
    } else if (!KestCallbackHelper::invoke(action->receiver.data(), action->errorMethod, d->m_getMetaId, domain)) {
        qCCritical(lcKestSource) << "KestProxySource::handleGetMetaError: slot invocation failed!";
    }
}
