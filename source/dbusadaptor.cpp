#include "dbusadaptor.h"

#include "dbusmessageutil.h"
#include "kestlogging_p.h"
#include "kestproxysource.h"

#include <kestcontent.h>
#include <kesterror.h>

#include <QDBusMetaType>
#include <QPointer>

#include <algorithm>
#include <limits>

#include <memory>

DBusAdaptor::DBusAdaptor(KestProxySource *source)
    : QDBusAbstractAdaptor(source)
    , m_source(source)
{
    qDBusRegisterMetaType<KestBrowseResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestBrowseResultDBusStruct>>();
    qDBusRegisterMetaType<KestQueryResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestQueryResultDBusStruct>>();
}

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

void DBusAdaptor::browse_result(uint browse_id, const QList<KestBrowseResultDBusStruct> &results)
{
    qCDebug(lcKestSource) << "DBusAdaptor::browse_result browse_id" << browse_id;
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
                m_source->handlePredicateBrowseError(browse_id, KestError::GeneralFailure, invalidData);
            } else {
                m_source->handlePredicateBrowseResult(browse_id, content, row.index, row.remainingCount);
            }
        } else {
            qCWarning(lcKestSource) << "Browse result contains an error. Error code: " << row.errorCode;
            m_source->handlePredicateBrowseError(browse_id, row.errorCode, row.errorMessage);
        }
    }
}

void DBusAdaptor::query_result(uint queryId, int remainingCount, const QList<KestQueryResultDBusStruct> &results,
                               int errorCode, const QString &errorMessage)
{
    qCDebug(lcKestSource) << "DBusAdaptor:query_result queryId:" << queryId << "errorCode" << errorCode;
    if (errorCode != 0) {
        m_source->handleQueryError(queryId, errorCode, errorMessage);
        return;
    }
    if (!errorMessage.isEmpty())
        return;
    const QPointer<DBusAdaptor> alive(this);
    const int count = results.size();
    for (int i = 0; i < count && alive; ++i) {
        const KestQueryResultDBusStruct &row = results.at(i);
        // Each row carries the number of rows after it, in this batch and in later ones; a count
        // from the bus near the top of the range must not overflow.
        const qint64 remaining = qint64(remainingCount) + (count - 1 - i);
        m_source->handleQueryResult(queryId, row.index, row.resultRow,
                                    int(std::min<qint64>(remaining, std::numeric_limits<int>::max())));
    }
}
