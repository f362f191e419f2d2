// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHPUBLISHED_H
#define KESTBENCHPUBLISHED_H

#include "kestbenchrowpacer.h"

#include <kestcallbackhelper.h>
#include <kestrenderer.h>
#include <kestsource.h>

#include <QPointer>

/*
 * A renderer and a source as a plugin author writes them for KestShared::publishRenderer() and
 * publishSource(): the renderer answers get_position at once, the source delivers as many rows as
 * a browse's count asks, paced by KestBenchRowPacer.
 */
class KestBenchPublishedRenderer : public KestRenderer
{
public:
    explicit KestBenchPublishedRenderer(const QString &uuid)
        : KestRenderer(uuid, QStringLiteral("bench"))
    {
        m_name = QStringLiteral("Bench ") + uuid;
    }

    bool getPosition(QObject *receiver, const char *member) override
    {
        return KestCallbackHelper::invokeGetPositionCallback(this, 1234, receiver, member);
    }
};

class KestBenchPublishedSource : public KestSource
{
public:
    explicit KestBenchPublishedSource(const QString &uuid)
        : KestSource(nullptr, uuid, QStringLiteral("bench"))
    {
        setName(QStringLiteral("Bench ") + uuid);
    }

    uint browse(const QString &, const QString &, const QStringList &, uint, uint count, QObject *receiver,
                const char *resultSlot, const char *) override
    {
        const uint id = ++m_lastId;
        QMetaMethod slot;
        KestCallbackHelper::getCallbackMethod(receiver, resultSlot, slot);
        const QPointer<QObject> target(receiver);
        KestBenchRowPacer::run(this, count, [=](uint index, const Metamap &metadata, int remaining) {
            KestCallbackHelper::invoke(target.data(), slot, id, QStringLiteral("bench::item%1").arg(index), metadata,
                                       index, remaining);
        });
        return id;
    }

private:
    uint m_lastId = 0;
};

#endif
