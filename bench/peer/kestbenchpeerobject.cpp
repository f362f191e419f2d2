// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestbenchpeerobject.h"

#include "kestbenchitems.h"

#include "kestbusnames_p.h"
#include <dbusmessageutil.h>
#include <kestbrowseresultdbusstruct.h>
#include <kestqueryresultdbusstruct.h>

#include <QDBusConnection>
#include <QDBusMessage>

namespace {

QString uuidOf(const QDBusMessage &message)
{
    return message.path().section(QLatin1Char('/'), -1);
}

} // namespace

KestBenchPeerObject::KestBenchPeerObject(int batchSize, uint rows, bool silent)
    : m_batchSize(batchSize)
    , m_silent(silent)
{
    batches(rows);
}

QString KestBenchPeerObject::introspect(const QString &) const
{
    return QString();
}

const KestBenchPeerObject::Batches &KestBenchPeerObject::batches(uint rows)
{
    auto found = m_batches.find(rows);
    if (found != m_batches.end())
        return *found;
    QList<QByteArray> blocks;
    QList<QStringList> columns;
    for (int i = 0; i < KestBenchItems::Variants; ++i) {
        QByteArray block;
        DBusMessageUtil::encodeMetadataBlock(KestBenchItems::metadata(i), block);
        blocks << block;
        columns << KestBenchItems::queryColumns(i);
    }
    Batches batches;
    for (uint first = 0; first < rows; first += uint(m_batchSize)) {
        QList<KestBrowseResultDBusStruct> browse;
        QList<KestQueryResultDBusStruct> query;
        for (uint i = first; i < std::min(rows, first + uint(m_batchSize)); ++i) {
            KestBrowseResultDBusStruct row;
            row.remainingCount = int(rows - 1 - i);
            row.index = i;
            row.objectId = QStringLiteral("bench::item%1").arg(i);
            row.metadata = blocks.at(int(i % KestBenchItems::Variants));
            browse << row;
            query << KestQueryResultDBusStruct{i, columns.at(int(i % KestBenchItems::Variants))};
        }
        // Rows of the query still to come after this batch.
        const int remaining = int(rows - std::min(rows, first + uint(m_batchSize)));
        batches.browse << QList<QVariant>{QVariant::fromValue(browse)};
        batches.query << QList<QVariant>{remaining, QVariant::fromValue(query), 0, QString()};
    }
    return *m_batches.insert(rows, batches);
}

bool KestBenchPeerObject::handleMessage(const QDBusMessage &message, const QDBusConnection &connection)
{
    const QString member = message.member();
    const QList<QVariant> arguments = message.arguments();
    if (m_silent && (member == QLatin1String("browse") || member == QLatin1String("query"))) {
        message.setDelayedReply(true);
    } else if (member == QLatin1String("get_name")) {
        connection.send(message.createReply(QStringLiteral("Bench %1").arg(uuidOf(message))));
    } else if (member == QLatin1String("get_position")) {
        connection.send(message.createReply(uint(1234)));
    } else if (member == QLatin1String("browse") && arguments.size() == 5) {
        const uint id = ++m_lastId;
        connection.send(message.createReply(id));
        deliver(message, connection, QStringLiteral("browse_result"), id, batches(arguments.at(4).toUInt()).browse);
    } else if (member == QLatin1String("query") && arguments.size() == 1) {
        const uint id = ++m_lastId;
        connection.send(message.createReply(id));
        deliver(message, connection, QStringLiteral("query_result"), id,
                batches(arguments.at(0).toString().toUInt()).query);
    } else {
        connection.send(message.createErrorReply(QDBusError::UnknownMethod, member));
    }
    return true;
}

void KestBenchPeerObject::deliver(const QDBusMessage &call, const QDBusConnection &connection, const QString &member,
                                  uint id, const QList<QList<QVariant>> &batches)
{
    const QString receiver = KestBusNames::proxySourcePath(uuidOf(call));
    for (const QList<QVariant> &arguments : batches) {
        QDBusMessage results = QDBusMessage::createMethodCall(call.service(), receiver,
                                                              KestBusNames::proxySourceInterface(), member);
        results.setArguments(QList<QVariant>{id} + arguments);
        connection.send(results);
    }
}
