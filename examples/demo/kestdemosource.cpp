// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestdemosource.h"

#include <kestcallbackhelper.h>
#include <kestcontent.h>

#include <QPointer>
#include <QTimer>

#include <algorithm>
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

} // namespace

KestDemoSource::KestDemoSource(const QString &uuid, const QString &pluginName, const QString &name)
    : KestSource(nullptr, uuid, pluginName)
{
    setName(name);
}

//! [browse]
uint KestDemoSource::browse(const QString &, const QString &, const QStringList &keys, uint offset, uint count,
                            QObject *receiver, const char *resultSlot, const char *errorSlot)
{
    const uint id = ++m_lastId;
    const uint size = uint(std::size(Collection));
    const uint end = count == 0 ? size : std::min(size, offset + count);
    QTimer::singleShot(0, this, [=, receiver = QPointer<QObject>(receiver)] {
        // An error with code 0 is how a source says that there are no (more) rows.
        if (offset >= end)
            KestCallbackHelper::invoke(receiver.data(), errorSlot, id, 0u, QString());
        for (uint i = offset; i < end && receiver; ++i) {
            const Song &song = Collection[i];
            const Metamap all{{QStringLiteral("title"), QLatin1String(song.title)},
                              {QStringLiteral("artist"), QLatin1String(song.artist)},
                              {QStringLiteral("track"), song.track}};
            Metamap metadata;
            for (const QString &key : keys)
                if (all.contains(key))
                    metadata.insert(key, all.value(key));
            KestCallbackHelper::invoke(receiver.data(), resultSlot, id, QString::fromLatin1(song.id), metadata, i,
                                       int(end - i - 1));
        }
    });
    return id;
}
//! [browse]

//! [query]
uint KestDemoSource::query(const QString &query, QObject *receiver, const char *resultSlot, const char *errorSlot)
{
    const uint id = ++m_lastId;
    QTimer::singleShot(0, this, [=, receiver = QPointer<QObject>(receiver)] {
        QList<uint> matches;
        for (uint i = 0; i < std::size(Collection); ++i) {
            if (QLatin1String(Collection[i].artist).contains(query, Qt::CaseInsensitive))
                matches << i;
        }
        if (matches.isEmpty())
            KestCallbackHelper::invoke(receiver.data(), errorSlot, id, 0, QString());
        for (int n = 0; n < matches.size() && receiver; ++n) {
            const Song &song = Collection[matches.at(n)];
            KestCallbackHelper::invoke(receiver.data(), resultSlot, id,
                                       QStringList{QLatin1String(song.title), QLatin1String(song.artist)},
                                       matches.at(n), int(matches.size() - n - 1));
        }
    });
    return id;
}
//! [query]

bool KestDemoSource::setKestProperty(const QString &name, const QVariant &value)
{
    m_properties.insert(name, value);
    Q_EMIT kestPropertyChanged(name, value);
    return true;
}

bool KestDemoSource::kestProperty(QString &name, QObject *receiver, const char *member)
{
    return KestCallbackHelper::invoke(receiver, member, name, m_properties.value(name));
}
