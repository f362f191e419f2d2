// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "dbusadaptor.h"
#include "dbusadaptor_p.h"

#include "dbusmessageutil.h"
#include "kestlogging_p.h"
#include "kestownerwatch_p.h"
#include "kestproxysource.h"
#include "kestproxysource_p.h"

#include <kestcontent.h>
#include <kesterror.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QPointer>

#include <algorithm>
#include <limits>

#include <memory>

DBusAdaptor::DBusAdaptor(KestProxySource *source)
    : QDBusAbstractAdaptor(source)
    , d(new DBusAdaptorPrivate{source})
{
    qDBusRegisterMetaType<KestBrowseResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestBrowseResultDBusStruct>>();
    qDBusRegisterMetaType<KestQueryResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestQueryResultDBusStruct>>();
}

DBusAdaptor::~DBusAdaptor() = default;

KestContent *DBusAdaptor::parseBrowseResult(KestBrowseResultDBusStruct &result)
{
    auto content = std::make_unique<KestContent>(result.objectId);
    Metamap metadata;
    if (!DBusMessageUtil::decodeMetadataBlock(result.metadata, metadata)) {
        qCWarning(lcKestSource) << "Parsing error!";
        return nullptr;
    }
    content->setMetaData(metadata, nullptr, nullptr);
    return content.release();
}

// Ids are small numbers that anybody could guess; what counts is who sends the results.
bool DBusAdaptorPrivate::acceptsCaller(const QDBusMessage &message) const
{
    const QString caller = message.service();
    if (caller == KestOwnerWatch::instance()->owner(m_source->serviceName()))
        return true;
    qCWarning(lcKestSource) << "DBusAdaptor: Results refused from" << caller << "which does not own"
                            << m_source->serviceName();
    message.setDelayedReply(true);
    const QString text = QStringLiteral("Only the owner of %1 may deliver its results.").arg(m_source->serviceName());
    QDBusConnection::sessionBus().send(message.createErrorReply(QDBusError::AccessDenied, text));
    return false;
}

// Counts come from the bus: below 0 they mean nothing but "no more rows".
static int remainingRows(qint64 count)
{
    if (count < 0)
        qCWarning(lcKestSource) << "DBusAdaptor: Negative remaining count" << count << "taken as 0";
    return int(std::clamp<qint64>(count, 0, std::numeric_limits<int>::max()));
}

void DBusAdaptor::browse_result(uint browse_id, const QList<KestBrowseResultDBusStruct> &results,
                                const QDBusMessage &message)
{
    qCDebug(lcKestSource) << "DBusAdaptor::browse_result browse_id" << browse_id;
    if (!d->acceptsCaller(message))
        return;
    // A call without rows ends the browse: the source has nothing more to send.
    if (results.isEmpty()) {
        d->m_source->d->finish(d->m_source->d->m_browses, browse_id);
        return;
    }
    const QString invalidData = QStringLiteral("Error. Results contains invalid data.");
    // A receiver may destroy the proxy, and with it this adaptor, from its slot.
    const QPointer<DBusAdaptor> alive(this);
    for (KestBrowseResultDBusStruct row : results) {
        if (!alive)
            return;
        if (row.errorCode == 0 && row.errorMessage.isEmpty()) {
            KestContent *content = parseBrowseResult(row);
            if (!content) {
                qCCritical(lcKestSource) << "Error. Results contains invalid data.";
                d->m_source->handlePredicateBrowseError(browse_id, KestError::GeneralFailure, invalidData);
            } else {
                d->m_source->handlePredicateBrowseResult(browse_id, content, row.index,
                                                         remainingRows(row.remainingCount));
            }
        } else {
            qCWarning(lcKestSource) << "Browse result contains an error. Error code: " << row.errorCode;
            d->m_source->handlePredicateBrowseError(browse_id, row.errorCode, row.errorMessage);
        }
    }
}

void DBusAdaptor::query_result(uint queryId, int remainingCount, const QList<KestQueryResultDBusStruct> &results,
                               int errorCode, const QString &errorMessage, const QDBusMessage &message)
{
    qCDebug(lcKestSource) << "DBusAdaptor:query_result queryId:" << queryId << "errorCode" << errorCode;
    if (!d->acceptsCaller(message))
        return;
    if (errorCode != 0) {
        d->m_source->handleQueryError(queryId, errorCode, errorMessage);
        return;
    }
    if (!errorMessage.isEmpty())
        return;
    // An empty last batch ends the query; an empty batch with rows still to come changes nothing.
    if (results.isEmpty()) {
        if (remainingCount <= 0)
            d->m_source->d->finish(d->m_source->d->m_queries, queryId);
        return;
    }
    const QPointer<DBusAdaptor> alive(this);
    const int count = results.size();
    const int remainingAfterBatch = remainingRows(remainingCount);
    for (int i = 0; i < count && alive; ++i) {
        const KestQueryResultDBusStruct &row = results.at(i);
        // Each row carries the number of rows after it, in this batch and in later ones.
        d->m_source->handleQueryResult(queryId, row.index, row.resultRow,
                                       remainingRows(qint64(remainingAfterBatch) + (count - 1 - i)));
    }
}
