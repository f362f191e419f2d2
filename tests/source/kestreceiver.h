// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTRECEIVER_H
#define KESTRECEIVER_H

#include <kestcontent.h>
#include <kesterror.h>
#include <kestmediainfo.h>
#include <kestrenderer.h>

#include <QObject>
#include <QStringList>

#include <functional>

// The caller's side of the renderer and source proxies' callbacks: records each one as a line of text.
class KestReceiver : public QObject
{
    Q_OBJECT
public:
    QStringList events;
    KestMediaInfo mediaInfo;
    std::function<void()> then; // run after each callback

    QString all() const { return events.join(QLatin1Char('|')); }

public Q_SLOTS:
    void onStatus(KestRenderer *, const QString &playlistId, uint index, int state, const QString &objectId)
    {
        add(QStringLiteral("status %1 %2 %3 %4").arg(playlistId).arg(index).arg(state).arg(objectId));
    }
    void onPosition(KestRenderer *, uint position) { add(QStringLiteral("position %1").arg(position)); }
    void onMediaInfo(KestRenderer *, const KestMediaInfo &info)
    {
        mediaInfo = info;
        add(QStringLiteral("media info ") + info.uuid());
    }
    void onError(KestRenderer *, const KestError &e) { add(QStringLiteral("error %1 %2").arg(e.code()).arg(e.text())); }
    void onProperty(const QString &name, const QVariant &value)
    {
        add(name + QLatin1Char(' ') + (value.isValid() ? value.toString() : QStringLiteral("(invalid)")));
    }
    void onBrowseRow(uint id, const QString &objectId, const Metamap &metadata, uint index, int remaining)
    {
        QString line = QStringLiteral("row %1 %2 %3 %4").arg(id).arg(objectId).arg(index).arg(remaining);
        for (auto it = metadata.cbegin(); it != metadata.cend(); ++it)
            line += QLatin1Char(' ') + it.key() + QLatin1Char('=') + it.value().toString();
        add(line);
    }
    void onQueryRow(uint id, const QStringList &row, uint index, int remaining)
    {
        add(QStringLiteral("row %1 %2 %3 %4").arg(id).arg(row.join(QLatin1Char(','))).arg(index).arg(remaining));
    }
    void onBrowseError(uint id, uint code, const QString &message) { onQueryError(id, int(code), message); }
    void onQueryError(uint id, int code, const QString &message)
    {
        add(QStringLiteral("error %1 %2 %3").arg(id).arg(code).arg(message));
    }
    void onMeta(uint id, const QStringList &keys, const QStringList &values)
    {
        add(QStringLiteral("meta %1 %2 %3").arg(id).arg(keys.join(QLatin1Char(',')), values.join(QLatin1Char(','))));
    }
    void onMetaError(uint id, const QString &message) { add(QStringLiteral("meta error %1 %2").arg(id).arg(message)); }

private:
    void add(const QString &line)
    {
        events << line;
        if (then)
            then();
    }
};

// The receiver's members, as the proxies take them.
#define STATUS_SLOT SLOT(onStatus(KestRenderer *, QString, uint, int, QString))
#define POSITION_SLOT SLOT(onPosition(KestRenderer *, uint))
#define MEDIA_INFO_SLOT SLOT(onMediaInfo(KestRenderer *, KestMediaInfo))
#define PROPERTY_SLOT SLOT(onProperty(QString, QVariant))
#define BROWSE_SLOTS SLOT(onBrowseRow(uint, QString, Metamap, uint, int)), SLOT(onBrowseError(uint, uint, QString))
#define QUERY_SLOTS SLOT(onQueryRow(uint, QStringList, uint, int)), SLOT(onQueryError(uint, int, QString))

#endif
