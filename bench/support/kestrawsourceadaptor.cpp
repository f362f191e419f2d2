// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestrawsourceadaptor.h"

#include "kestbenchreceiver.h"

#include "kestbusnames_p.h"
#include <dbusmessageutil.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>

KestRawSourceAdaptor::KestRawSourceAdaptor(QObject *parent, const QString &plugin, const QString &uuid)
    : QDBusAbstractAdaptor(parent)
    , m_uuid(uuid)
    , m_service(KestBusNames::sourceService(plugin, uuid))
    , m_path(KestBusNames::sourcePath(uuid))
    , m_receiverPath(KestBusNames::proxySourcePath(uuid))
{
    qDBusRegisterMetaType<KestBrowseResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestBrowseResultDBusStruct>>();
    qDBusRegisterMetaType<KestQueryResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestQueryResultDBusStruct>>();
    m_registered = QDBusConnection::sessionBus().registerObject(m_receiverPath, parent,
                                                                QDBusConnection::ExportAdaptors);
}

KestRawSourceAdaptor::~KestRawSourceAdaptor()
{
    if (m_registered)
        QDBusConnection::sessionBus().unregisterObject(m_receiverPath);
}

uint KestRawSourceAdaptor::start(const QString &member, const QList<QVariant> &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(m_service, m_path, KestBusNames::sourceInterface(), member);
    call.setArguments(arguments);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    return reply.arguments().constFirst().toUInt();
}

uint KestRawSourceAdaptor::browse(const QStringList &keys, uint offset, uint count, KestBenchReceiver *receiver)
{
    const uint id = start(QStringLiteral("browse"), {m_uuid + QStringLiteral("::"), QString(), keys, offset, count});
    if (id)
        m_browses.insert(id, receiver);
    return id;
}

uint KestRawSourceAdaptor::query(const QString &query, KestBenchReceiver *receiver)
{
    const uint id = start(QStringLiteral("query"), {query});
    if (id)
        m_queries.insert(id, receiver);
    return id;
}

void KestRawSourceAdaptor::browse_result(uint browseId, const QList<KestBrowseResultDBusStruct> &results)
{
    for (const KestBrowseResultDBusStruct &row : results) {
        KestBenchReceiver *receiver = m_browses.value(browseId);
        if (!receiver)
            return;
        if (row.errorCode != 0 || !row.errorMessage.isEmpty()) {
            m_browses.remove(browseId);
            receiver->browseError(browseId, row.errorCode, row.errorMessage);
            continue;
        }
        Metamap metadata;
        if (!DBusMessageUtil::decodeMetadataBlock(row.metadata, metadata)) {
            m_browses.remove(browseId);
            receiver->browseError(browseId, 3, QStringLiteral("Error. Results contains invalid data."));
            continue;
        }
        if (row.remainingCount == 0)
            m_browses.remove(browseId);
        receiver->browseRow(browseId, row.objectId, metadata, row.index, row.remainingCount);
    }
}

void KestRawSourceAdaptor::query_result(uint queryId, int remainingCount,
                                        const QList<KestQueryResultDBusStruct> &results, int errorCode,
                                        const QString &errorMessage)
{
    KestBenchReceiver *receiver = m_queries.value(queryId);
    if (!receiver)
        return;
    if (errorCode != 0) {
        m_queries.remove(queryId);
        receiver->queryError(queryId, errorCode, errorMessage);
        return;
    }
    if (!errorMessage.isEmpty())
        return;
    if (remainingCount == 0)
        m_queries.remove(queryId);
    // Each row carries the number of rows after it, in this batch and in later ones.
    const int count = int(results.size());
    for (int i = 0; i < count; ++i) {
        const KestQueryResultDBusStruct &row = results.at(i);
        receiver->queryRow(queryId, row.resultRow, row.index, remainingCount + (count - 1 - i));
    }
}
