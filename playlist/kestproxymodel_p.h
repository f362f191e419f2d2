// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYMODEL_P_H
#define KESTPROXYMODEL_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestproxymodel.h"

#include <QDBusMessage>
#include <QHash>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QVariant>

#include <deque>
#include <map>
#include <set>

class KestOwnerWatch;

class KestProxyModelPrivate
{
public:
    KestProxyModelPrivate(KestProxyModel *q, const QString &id);
    ~KestProxyModelPrivate();

    bool announceRows(uint start, uint end, int direction);
    void reset();
    int remoteRowCount() const;
    int remoteRow(int row) const;

    // Background mode.
    struct Fetch
    {
        enum Kind : quint8 {
            RowCount,
            ColumnCount,
            Header,
            Cell
        };
        Kind kind;
        int row;
        int column;
        quint64 key() const { return quint64(kind) << 62 | quint64(row) << 31 | quint64(column); }
    };
    // By column or section: one that was answered holds its value, which is invalid when there
    // was nothing to show. Sparse, since the counts come from the exporting process.
    using Values = QHash<int, QVariant>;

    void setFetchMode(KestProxyModel::FetchMode mode);
    void drop();
    void startFetching();
    QVariant cell(int row, int column);
    QVariant header(int section);
    void want(const Fetch &fetch);
    void pump();
    bool isWanted(const Fetch &fetch) const;
    void send(const Fetch &fetch);
    void arrived(const Fetch &fetch, const QDBusMessage &reply);
    void setCount(Fetch::Kind kind, int count);
    void shiftRows(int start, int delta);
    void noteChange(int row, int section);
    void notifyChanges();
    void ownerChanged(const QString &name, const QString &newOwner);
    void exporterGone();
    bool complainOnce(const QString &member);

    KestProxyModel *const q;
    const QString m_objectPath;
    const QString m_serviceName;
    // The remote model has changed before its signal arrives, but while a change is being
    // announced views must still see the rows as they were; these translate their questions.
    int m_announcedFirst = 0;
    int m_announcedDelta = 0;

    KestProxyModel::FetchMode m_mode = KestProxyModel::Blocking;
    bool m_watching = false;
    QPointer<KestOwnerWatch> m_ownerWatch;
    bool m_ownerResolved = false;
    // Replies to calls sent before the last reset or mode switch describe a model that is gone.
    quint32 m_generation = 0;
    int m_rows = 0;
    int m_columns = 0;
    bool m_rowsKnown = false;
    bool m_columnsKnown = false;
    std::map<int, Values> m_cells;
    Values m_headers;
    // Fetches not sent yet, the latest asked for last, and every fetch queued or on its way.
    std::deque<Fetch> m_queue;
    QSet<quint64> m_wanted;
    int m_inFlight = 0;
    QSet<QString> m_complaints;
    std::set<int> m_changedRows;
    int m_firstChangedSection = -1;
    int m_lastChangedSection = -1;
    QTimer m_notify;
};

#endif
