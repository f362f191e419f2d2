// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestdemosourceadaptor.h"

#include "kestbusnames_p.h"
#include <kestbrowseresultdbusstruct.h>
#include <kestqueryresultdbusstruct.h>

#include <QDBusConnection>
#include <QDBusMetaType>
#include <QTimer>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

struct Song
{
    const char *id;
    const char *title;
    const char *artist;
    uint track;
};

const Song Collection[] = {
    {"song1", "Morning Tide", "The Harbour Lights", 1}, {"song2", "Copper Wire", "The Harbour Lights", 2},
    {"song3", "Paper Moons", "Ada Quartet", 1},         {"song4", "Slow Engines", "Ada Quartet", 2},
    {"song5", "Last Tram Home", "Northbound", 1},
};

// One entry of a metadata block: key, zero byte, a word the reader skips, type code, value.
void appendEntry(QByteArray &block, const char *key, qint32 type, const QByteArray &value)
{
    const qint32 skipped = 1;
    block.append(key, int(std::strlen(key)) + 1);
    block.append(reinterpret_cast<const char *>(&skipped), sizeof skipped);
    block.append(reinterpret_cast<const char *>(&type), sizeof type);
    block.append(value);
}

QByteArray metadataBlock(const Song &song, const QStringList &keys)
{
    const qint32 StringType = 64;
    const qint32 UIntType = 28;
    QByteArray block;
    if (keys.contains(QLatin1String("title")))
        appendEntry(block, "title", StringType, QByteArray(song.title, int(std::strlen(song.title)) + 1));
    if (keys.contains(QLatin1String("artist")))
        appendEntry(block, "artist", StringType, QByteArray(song.artist, int(std::strlen(song.artist)) + 1));
    if (keys.contains(QLatin1String("track")))
        appendEntry(block, "track", UIntType,
                    QByteArray(reinterpret_cast<const char *>(&song.track), sizeof song.track));
    return block;
}

} // namespace

KestDemoSourceAdaptor::KestDemoSourceAdaptor(QObject *component, const QString &uuid)
    : QDBusAbstractAdaptor(component)
    , m_uuid(uuid)
    , m_lastId(0)
{
    qDBusRegisterMetaType<KestBrowseResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestBrowseResultDBusStruct>>();
    qDBusRegisterMetaType<KestQueryResultDBusStruct>();
    qDBusRegisterMetaType<QList<KestQueryResultDBusStruct>>();
}

uint KestDemoSourceAdaptor::browse(const QString &, const QString &, const QStringList &keys, uint offset, uint count,
                                   const QDBusMessage &message)
{
    const uint browseId = ++m_lastId;
    const QString caller = message.service();
    QTimer::singleShot(0, this, [=] { sendBrowseResults(browseId, caller, keys, offset, count); });
    return browseId;
}

uint KestDemoSourceAdaptor::query(const QString &query, const QDBusMessage &message)
{
    const uint queryId = ++m_lastId;
    const QString caller = message.service();
    QTimer::singleShot(0, this, [=] { sendQueryResults(queryId, caller, query); });
    return queryId;
}

void KestDemoSourceAdaptor::cancel_browse(uint)
{
}

void KestDemoSourceAdaptor::cancel_query(uint)
{
}

void KestDemoSourceAdaptor::sendBrowseResults(uint browseId, const QString &caller, const QStringList &keys,
                                              uint offset, uint count)
{
    const uint size = uint(std::size(Collection));
    const uint end = count == 0 ? size : std::min(size, offset + count);
    QList<KestBrowseResultDBusStruct> rows;
    for (uint i = offset; i < end; ++i) {
        KestBrowseResultDBusStruct row;
        row.remainingCount = int(end - i - 1);
        row.index = i;
        row.objectId = QLatin1String(Collection[i].id);
        row.metadata = metadataBlock(Collection[i], keys);
        rows.append(row);
    }
    QDBusMessage result = QDBusMessage::createMethodCall(caller, KestBusNames::proxySourcePath(m_uuid),
                                                         KestBusNames::proxySourceInterface(),
                                                         QStringLiteral("browse_result"));
    result << browseId << QVariant::fromValue(rows);
    QDBusConnection::sessionBus().send(result);
}

void KestDemoSourceAdaptor::sendQueryResults(uint queryId, const QString &caller, const QString &query)
{
    QList<KestQueryResultDBusStruct> rows;
    for (uint i = 0; i < std::size(Collection); ++i) {
        const QString artist = QLatin1String(Collection[i].artist);
        if (artist.contains(query, Qt::CaseInsensitive))
            rows.append(KestQueryResultDBusStruct{i, {QLatin1String(Collection[i].title), artist}});
    }
    QDBusMessage result = QDBusMessage::createMethodCall(caller, KestBusNames::proxySourcePath(m_uuid),
                                                         KestBusNames::proxySourceInterface(),
                                                         QStringLiteral("query_result"));
    result << queryId << 0 << QVariant::fromValue(rows) << 0 << QString();
    QDBusConnection::sessionBus().send(result);
}
