// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTSOURCEADAPTOR_P_H
#define KESTSOURCEADAPTOR_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestbrowseresultdbusstruct.h"
#include "kestbusregistration_p.h"
#include "kestqueryresultdbusstruct.h"

#include <kestcontent.h>

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <deque>
#include <functional>
#include <memory>
#include <unordered_map>

class KestExtensionAdaptor;
class KestSource;
class KestSourceAdaptor;
class QDBusMessage;

/*
 * The browses and queries in progress of a published source, and the receiver that the source
 * delivers their rows to. The receiver lives as long as the adaptor, so a source that calls it
 * late, after a request has ended, calls something that is there; rows are routed by their id.
 */
class KestSourceAdaptorPrivate : public QObject
{
    Q_OBJECT
public:
    static const int MaxRequestsPerCaller = 64;
    static const int MaxCallsInFlight = 4;
    static const qint64 MaxQueuedBytes = 16 * 1024 * 1024;
    static const int BatchRows = 500;

    enum Kind {
        Browse,
        Query
    };

    // One row on its way to the caller, as the wire carries it; for a query also the number of
    // rows that the source said would follow it.
    struct Row
    {
        KestBrowseResultDBusStruct browse;
        KestQueryResultDBusStruct query;
        int remaining = 0;
        qint64 bytes = 0;
    };

    struct Caller;

    // A browse or query of one caller.
    struct Request
    {
        Kind kind = Browse;
        uint id = 0;
        QString caller;
        //! The caller's state, which lasts as long as the caller has requests.
        Caller *state = nullptr;
        quint64 serial = 0;
        // Taken from the front a batch at a time.
        std::deque<Row> rows;
        qint64 bytes = 0;
        //! The source has said its last, or the request was ended here: nothing more is taken.
        bool ended = false;
        //! An end without a last row (an empty call) or a query's error is still to be sent.
        bool endToSend = false;
        int errorCode = 0;
        QString errorMessage;
    };

    struct Caller
    {
        QList<quint64> requests;
        int inFlight = 0;
        qint64 bytes = 0;
        int next = 0;
    };

    KestSourceAdaptorPrivate(KestSourceAdaptor *q, KestSource *source);
    ~KestSourceAdaptorPrivate() override;

    //! Starts a browse or query for \a message with \a start, which calls the source.
    void start(Kind kind, const QDBusMessage &message, const std::function<uint()> &start);
    void cancel(Kind kind, uint id, const QDBusMessage &message);
    void withdraw();

    KestSourceAdaptor *const q;
    KestSource *const m_source;
    QPointer<KestExtensionAdaptor> m_extension;
    KestBusRegistration m_registration;

private Q_SLOTS:
    void browseRow(uint browseId, const QString &objectId, const Metamap &metadata, uint index, int remainingCount);
    void browseError(uint browseId, uint errorCode, const QString &errorMessage);
    void queryRow(uint queryId, const QStringList &row, uint index, int remainingCount);
    void queryError(uint queryId, int errorCode, const QString &errorMessage);
    void dropCaller(const QString &caller);
    void flushPosted();

private:
    // What the source delivered, for the request with its id; while a start is in progress an id
    // that is not known yet is kept aside until the start returns.
    using Delivery = std::function<void(Request *request)>;
    void deliver(Kind kind, uint id, qint64 bytes, const Delivery &delivery);
    //! Queues \a row of request \a id for its caller, or keeps it until the request's id is known.
    void enqueueRow(Kind kind, uint id, Row row, bool last);
    void enqueue(Request *request, Row row, bool last);
    void end(Request *request, int code, const QString &message);
    void fail(Request *request, const QString &message);
    void cancelAtSource(Request *request);
    void flush(const QString &callerName);
    Request *nextToSend(Caller &caller);
    void send(Request *request, Caller &caller);
    void retire(quint64 serial);
    void forgetCallerIfIdle(const QString &callerName);
    Request *find(quint64 serial) const;
    QHash<uint, quint64> &live(Kind kind) { return kind == Browse ? m_browses : m_queries; }

    std::unordered_map<quint64, std::unique_ptr<Request>> m_requests;
    QHash<uint, quint64> m_browses;
    QHash<uint, quint64> m_queries;
    QHash<QString, std::shared_ptr<Caller>> m_callers;
    quint64 m_lastSerial = 0;

    struct Aside
    {
        Kind kind;
        uint id;
        qint64 bytes;
        Delivery delivery;
    };
    void replayAside();
    void postFlush(const QString &callerName);
    int m_starting = 0;
    QList<Aside> m_aside;
    qint64 m_asideBytes = 0;
    bool m_asideOverflow = false;

    QSet<QString> m_toFlush;
    bool m_flushPosted = false;
};

#endif
