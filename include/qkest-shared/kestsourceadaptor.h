// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTSOURCEADAPTOR_H
#define KESTSOURCEADAPTOR_H

#include "qkestshared_export.h"

#include <QDBusAbstractAdaptor>
#include <QString>
#include <QStringList>

#include <memory>

class KestSource;
class KestSourceAdaptorPrivate;
class QDBusMessage;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestsourceadaptor.h
 * \brief Serves a local KestSource on the session bus, so that other processes browse and query it
 * through their KestProxySource.
 *
 * KestShared::publishSource() creates it; an application rarely needs it directly. The adaptor
 * serves "com.zorvo.kest.source" and, through a second adaptor beside it, "com.zorvo.kest.extension"
 * at the source's object path under the bus name that the plugin name and the uuid compose, with
 * the introspection of the interface files.
 *
 * A browse or query call starts the source's own browse() or query() with a receiver of the
 * adaptor's and is answered with the id that the source returns. The rows that the source then
 * delivers, from inside that call or later, go to the calling process's result receiver (path
 * "/com/zorvo/kest/proxy_source/" and the source's uuid, interface "com.zorvo.kest.proxy_source")
 * in batches of at most 500 rows, after the answer to the start, each caller getting only the
 * rows of its own requests, with their metadata encoded as DBusMessageUtil::encodeMetadataBlock()
 * does. Rows go at once to a caller that has none on their way; while it takes them, the rows
 * that follow wait and go together when it has, so a slower caller gets larger batches.
 *
 * How the source talks to the receiver it is given:
 * \list
 * \li A row: the result slot, called with KestCallbackHelper::invoke(receiver, resultSlot, ...) and
 *     the arguments that KestSource::browse() and KestSource::query() name. The row whose remaining
 *     count is 0 (or less) is the last, and ends the request.
 * \li A failure: the error slot, with a code other than 0, which travels unchanged with the text.
 *     The request ends with that error: a browse with a row that carries it, a query with a call
 *     of its own, after the rows before it.
 * \li No (more) rows: the error slot with code 0 (KestError::Success). The request ends without an
 *     error: a browse with a result call that has no rows, a query with an empty batch whose
 *     remaining count is 0. This is also how a result without rows is told.
 * \endlist
 * What the source delivers for a request that has ended is dropped. Rows are matched to requests
 * by their id, so the ids of the requests in progress must differ: an id handed out again ends
 * the earlier request that had it.
 *
 * Every caller is untrusted. Failures are answered with an error whose text is a code, a colon
 * and a text ("3:The source did not start the browse."), code 3 (KestError::GeneralFailure), as
 * KestProxySource reads it; the D-Bus error name tells the kind of failure:
 * \list
 * \li org.freedesktop.DBus.Error.InvalidArgs: arguments that cannot start anything, and the
 *     cancellation of a request that is not the caller's.
 * \li org.freedesktop.DBus.Error.Failed: a start for which the source returns 0.
 * \li org.freedesktop.DBus.Error.LimitsExceeded: a start beyond the caller's 64 requests in
 *     progress, or one whose source delivers more than 16 MiB of rows from inside the call (the
 *     request is then cancelled at the source).
 * \endlist
 * A caller has at most 4 result calls on their way to it and at most 16 MiB of rows waiting to be
 * sent: the request whose rows would exceed that ends with an error (code 3) and is cancelled at
 * the source. A source that delivers large results should therefore deliver them from the event
 * loop, a batch at a time, rather than all from inside one call. A request ends, and is cancelled
 * at the source, when its caller leaves the bus, or when a result call fails (the caller's
 * receiver is missing or refuses the rows, or does not answer within KestShared::replyTimeout());
 * its caller then gets nothing more. A request that its caller cancels is cancelled at the
 * source, its rows still waiting are dropped, and the caller gets its end, as for code 0.
 *
 * Like every QDBusAbstractAdaptor it is a child of the object it exports and lives as long as it
 * does: withdraw() takes the source off the bus, and init() may put it back.
 */
class QKESTSHARED_EXPORT KestSourceAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.source")
    // interfaces/com.zorvo.kest.source.xml, read by moc from the generated kestintrospection.h
    Q_CLASSINFO("D-Bus Introspection", KEST_SOURCE_INTROSPECTION)
public:
    /*! An adaptor for \a source, as its child; nothing goes on the bus before init(). */
    explicit KestSourceAdaptor(KestSource &source);
    /*! Withdraws the source from the bus. */
    ~KestSourceAdaptor() override;

    /*!
     * Registers the source at its object path, claims its bus name, starts relaying
     * kestPropertyChanged() as property_changed and announces the source with new_source on the
     * registry path. Returns true when the source is on the bus, at once when it is there
     * already. Returns false, after a warning, when the plugin name or uuid cannot stand in a bus
     * name, or the path or name is taken; then nothing is kept.
     */
    bool init();
    /*!
     * Gives up the bus name and the path, cancels every request in progress at the source and
     * forgets it, and answers the calls still waiting with an error. The source is left as it is.
     */
    void withdraw();
    /*! Returns true when init() has put the source on the bus and it has not been withdrawn since. */
    bool isPublished() const;

    // The bus methods; each answers the call itself, as the class description says.
public Q_SLOTS:
    /*!
     * Starts KestSource::browse() with \a objectId, \a predicate, \a keys, \a offset and \a count
     * for the caller of the bus call \a message, and answers it with the browse id. An empty
     * \a objectId, or a browse with neither \a predicate nor \a keys, is refused.
     */
    void browse(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset, uint count,
                const QDBusMessage &message);
    /*!
     * Starts KestSource::query() with \a query for the caller of the bus call \a message, and
     * answers it with the query id.
     */
    void query(const QString &query, const QDBusMessage &message);
    /*!
     * Cancels the browse \a browseId at the source and ends it, when the caller of the bus call
     * \a message started it; any other id is refused.
     */
    void cancel_browse(uint browseId, const QDBusMessage &message);
    /*!
     * Cancels the query \a queryId at the source and ends it, when the caller of the bus call
     * \a message started it; any other id is refused.
     */
    void cancel_query(uint queryId, const QDBusMessage &message);

private:
    std::unique_ptr<KestSourceAdaptorPrivate> const d;
};

#endif
