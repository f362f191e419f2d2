// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHRAWADAPTORS_H
#define KESTBENCHRAWADAPTORS_H

#include "kestbenchrowpacer.h"

#include "kestbusnames_p.h"
#include <dbusmessageutil.h>
#include <kestbrowseresultdbusstruct.h>

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>

#include <memory>

/*
 * What a plugin author writes with QtDBus alone for the same renderer and source as
 * KestBenchPublishedRenderer and KestBenchPublishedSource: adaptors that answer get_position
 * directly and send the same rows, encoded the same way, 100 to a result call, without waiting
 * for the caller.
 */
class KestBenchRawRendererAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.renderer")
public:
    explicit KestBenchRawRendererAdaptor(QObject *parent)
        : QDBusAbstractAdaptor(parent)
    {
    }

public Q_SLOTS:
    uint get_position() { return 1234; }
};

class KestBenchRawSourceAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.source")
public:
    KestBenchRawSourceAdaptor(QObject *parent, const QString &uuid)
        : QDBusAbstractAdaptor(parent)
        , m_receiverPath(KestBusNames::proxySourcePath(uuid))
    {
    }

public Q_SLOTS:
    uint browse(const QString &, const QString &, const QStringList &, uint, uint count, const QDBusMessage &message)
    {
        const uint id = ++m_lastId;
        const QString caller = message.service();
        auto rows = std::make_shared<QList<KestBrowseResultDBusStruct>>();
        const auto send = [=] {
            QDBusMessage call = QDBusMessage::createMethodCall(
                caller, m_receiverPath, KestBusNames::proxySourceInterface(), QStringLiteral("browse_result"));
            call << id << QVariant::fromValue(*rows);
            QDBusConnection::sessionBus().send(call);
            rows->clear();
        };
        KestBenchRowPacer::run(
            this, count,
            [=](uint index, const Metamap &metadata, int remaining) {
                KestBrowseResultDBusStruct row;
                row.remainingCount = remaining;
                row.index = index;
                row.objectId = QStringLiteral("bench::item%1").arg(index);
                DBusMessageUtil::encodeMetadataBlock(metadata, row.metadata);
                rows->append(row);
                if (rows->size() == 100)
                    send();
            },
            [=] {
                if (!rows->isEmpty())
                    send();
            });
        return id;
    }

private:
    QString m_receiverPath;
    uint m_lastId = 0;
};

#endif
