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

#include <memory>

namespace {

// The id in a start reply; absent when the call failed or the source sent no argument.
bool replyId(const QDBusMessage &call, uint *id)
{
    const QVariant first = KestBusCall::firstArgument(
        KestBusCall::blocking(call.service(), call.path(), call.interface(), call.member(), call.arguments()));
    if (!first.isValid())
        return false;
    *id = uint(first.toInt());
    return true;
}

// One record per id: a new request under a pending id replaces the old record, whose receiver is
// never called.
void keepRecord(QMap<uint, KestProxySource::KestOngoingAction *> &actions, uint id,
                KestProxySource::KestOngoingAction *action, const char *replacingMessage)
{
    if (KestProxySource::KestOngoingAction *previous = actions.take(id)) {
        qCWarning(lcKestSource) << replacingMessage;
        delete previous;
    }
    actions.insert(id, action);
}

// Cancels are sent without waiting: the record stays until the source reports the end.
void sendCancel(const QString &service, const QString &path, const QString &member, uint id, const char *failureMessage)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, KestBusNames::sourceInterface(), member);
    message << id;
    if (!QDBusConnection::sessionBus().send(message))
        qCWarning(lcKestSource) << failureMessage;
}

} // namespace

KestProxySource::KestProxySource(QObject *parent, const QString &uuid, const QString &plugin, const QString &name)
    : KestSource(parent, uuid, plugin)
    , d(new KestProxySourcePrivate)
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
    for (auto *actions : {&d->m_ongoingQueries, &d->m_ongoingBrowses, &d->m_ongoingGetMetas}) {
        qDeleteAll(*actions);
        actions->clear();
    }
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
    if (!replyId(call, &browseId))
        return 0;
    qCDebug(lcKestSource) << "browseId:" << browseId;

    keepRecord(d->m_ongoingBrowses, browseId, new KestOngoingAction{receiver, resultSlot, errorSlot},
               "KestProxySource::browse. There was ongoing browse with same id, replacing it.");
    return browseId;
}

void KestProxySource::cancelBrowse(uint browseId)
{
    sendCancel(d->m_serviceName, d->m_objectPath, QStringLiteral("cancel_browse"), browseId,
               "KestProxySource::cancelBrowse Not able to send cancel request to source.");
}

uint KestProxySource::query(const QString &query, QObject *receiver, const char *resultSlot, const char *errorSlot)
{
    qCDebug(lcKestSource) << "KestProxySource::query";
    if (!receiver) {
        qCWarning(lcKestSource) << "Not starting query, because no receiver given.";
        return 0;
    }
    uint queryId = 0;
    if (!replyId(createQueryAsynchCall(query), &queryId))
        return 0;
    qCDebug(lcKestSource) << "queryId:" << queryId;

    keepRecord(d->m_ongoingQueries, queryId, new KestOngoingAction{receiver, resultSlot, errorSlot},
               "KestProxySource::query. There was ongoing query with same id, replacing it.");
    return queryId;
}

void KestProxySource::cancelQuery(uint queryId)
{
    sendCancel(d->m_serviceName, d->m_objectPath, QStringLiteral("cancel_query"), queryId,
               "KestProxySource::cancelQuery Not able to send cancel request to source.");
}

void KestProxySource::handlePredicateBrowseResult(uint browseId, KestContent *content, uint index, int remainingCount)
{
    qCDebug(lcKestSource) << "KestProxySource::handlePredicateBrowseResult id" << browseId << "index" << index;
    std::unique_ptr<KestContent> row(content);
    const QString objectId = row->uuid();
    const Metamap metadata = row->metaData();
    row.reset();

    KestOngoingAction *action = d->m_ongoingBrowses.value(browseId);
    if (!action) {
        qCCritical(lcKestSource) << "void KestProxySource::handlePredicateBrowseResult(uint, KestContent*, uint, int)"
                                 << " browse id not found!";
        return;
    }
    // The last row ends the browse before the receiver hears of it: from its slot the receiver
    // may start the next browse, which the source may give the same id, or drop this proxy.
    const std::unique_ptr<KestOngoingAction> finished(remainingCount == 0 ? d->m_ongoingBrowses.take(browseId)
                                                                          : nullptr);
    if (!action->receiver) {
        qCWarning(lcKestSource) << "KestProxySource::handlePredicateBrowseResult: receiver object is DESTROYED!";
        return;
    }
    const QPointer<KestProxySource> alive(this);
    if (!KestCallbackHelper::invoke(action->receiver.data(), action->resultMethod, browseId, objectId, metadata, index,
                                    remainingCount)) {
        qCCritical(lcKestSource) << "void KestProxySource::handlePredicateBrowseResult(uint, KestContent*, uint, int)"
                                 << " slot invocation failed!";
    }
    if (finished && alive)
        Q_EMIT browseCompleted();
}

void KestProxySource::handlePredicateBrowseError(uint browseId, uint errorCode, const QString &errorMessage)
{
    std::unique_ptr<KestOngoingAction> action(d->m_ongoingBrowses.take(browseId));
    if (!action) {
        qCCritical(lcKestSource) << "void KestProxySource::handlePredicateBrowseError(uint, uint, QString)"
                                 << " : browse id not found!";
        return;
    }
    if (!action->receiver) {
        qCWarning(lcKestSource) << "KestProxySource::handlePredicateBrowseError: receiver object is DESTROYED!";
    } else if (!KestCallbackHelper::invoke(action->receiver.data(), action->errorMethod, browseId, errorCode,
                                           errorMessage)) {
        qCCritical(lcKestSource) << "KestProxySource::handlePredicateBrowseError: slot invocation failed!";
    }
}

void KestProxySource::handleQueryResult(uint queryId, uint index, const QStringList &resultRow, int remainingCount)
{
    qCDebug(lcKestSource) << "KestProxySource::handleQueryResult id" << queryId << "index" << index;
    KestOngoingAction *action = d->m_ongoingQueries.value(queryId);
    if (!action)
        return;
    // Ended before the call, for the same reasons as a browse.
    const std::unique_ptr<KestOngoingAction> finished(remainingCount == 0 ? d->m_ongoingQueries.take(queryId)
                                                                          : nullptr);
    if (!action->receiver) {
        qCWarning(lcKestSource) << "KestProxySource::handleQueryResult: receiver object is DESTROYED!";
    } else if (!KestCallbackHelper::invoke(action->receiver.data(), action->resultMethod, queryId, resultRow, index,
                                           remainingCount)) {
        qCCritical(lcKestSource) << "KestProxySource::handleQueryResult: slot invocation failed!";
    }
}

void KestProxySource::handleQueryError(uint queryId, int errorCode, const QString &errorMessage)
{
    std::unique_ptr<KestOngoingAction> action(d->m_ongoingQueries.take(queryId));
    if (!action)
        return;
    if (!action->receiver) {
        qCWarning(lcKestSource) << "KestProxySource::handleQueryError: receiver object is DESTROYED!";
    } else if (!KestCallbackHelper::invoke(action->receiver.data(), action->errorMethod, queryId, errorCode,
                                           errorMessage)) {
        qCCritical(lcKestSource) << "KestProxySource::handleQueryError: slot invocation failed!";
    }
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
