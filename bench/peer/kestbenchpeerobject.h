// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#ifndef KESTBENCHPEEROBJECT_H
#define KESTBENCHPEEROBJECT_H

#include <QDBusVirtualObject>
#include <QHash>
#include <QList>
#include <QVariant>

/*
 * Every renderer and source of the peer, served under their path prefixes: answers get_name
 * and get_position, and answers browse and query with an id and then delivers the rows to the
 * caller's result receiver in batches, without waiting for it.
 */
class KestBenchPeerObject : public QDBusVirtualObject
{
public:
    /*!
     * Rows go out in batches of \a batchSize; the batches of \a rows rows are built at once. A \a silent
     * peer takes browse and query calls and never answers them.
     */
    KestBenchPeerObject(int batchSize, uint rows, bool silent = false);

    QString introspect(const QString &path) const override;
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override;

private:
    // The arguments of each result call after the id, built once per row count, so that a
    // measured delivery only marshals and sends.
    struct Batches
    {
        QList<QList<QVariant>> browse;
        QList<QList<QVariant>> query;
    };
    const Batches &batches(uint rows);
    void deliver(const QDBusMessage &call, const QDBusConnection &connection, const QString &member, uint id,
                 const QList<QList<QVariant>> &batches);

    int m_batchSize;
    bool m_silent;
    uint m_lastId = 0;
    QHash<uint, Batches> m_batches;
};

#endif
