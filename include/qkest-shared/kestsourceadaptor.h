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
 * \class KestSourceAdaptor
 * \brief Serves a local KestSource on the session bus, so that other processes browse and query it
 * through their KestProxySource.
 *
 * KestShared::publishSource() creates it; an application rarely needs it directly. The adaptor
 * serves "com.zorvo.kest.source" and, through a second adaptor beside it, "com.zorvo.kest.extension"
 * at the source's object path under the bus name that the plugin name and the uuid compose, with
 * the introspection of the interface files.
 *
 * A browse or query call starts the source's own browse() or query() with a receiver of the
 * adaptor's and is answered with the id that the source returns (an error when it returns 0). The
 * rows that the source then delivers, from inside that call or later, go to the calling process's
 * result receiver (KestBusNames::proxySourcePath() of the source's uuid, interface
 * "com.zorvo.kest.proxy_source") in batches of at most 500 rows, each caller getting only the rows
 * of its own requests, with their metadata encoded as DBusMessageUtil::encodeMetadataBlock() does.
 * Rows go at once to a caller that has none on their way; while it takes them, the rows that follow
 * wait and go together when it has, so a slower caller gets larger batches.
 *
 * How the source talks to the receiver it is given:
 * \list
 * \li A row: the result slot, called with KestCallbackHelper::invoke(receiver, resultSlot, ...) and
 *     the arguments that KestSource::browse() and KestSource::query() name. The row whose remaining
 *     count is 0 is the last.
 * \li A failure: the error slot, with a code other than 0. The request ends with that error.
 * \li No (more) rows: the error slot with code 0 (KestError::Success). The request ends without an
 *     error: a browse with an empty result call, a query with an empty batch whose remaining count
 *     is 0. This is also how a result without rows is told.
 * \endlist
 * Rows are matched to requests by their id, so the ids of the requests in progress must differ.
 *
 * Every caller is untrusted. Arguments that cannot start anything are refused with
 * org.freedesktop.DBus.Error.InvalidArgs; a caller has at most 64 requests in progress, at most 4
 * result calls on their way to it, and at most 16 MiB of rows waiting to be sent: the request
 * whose rows would exceed that ends with an error (code 3) and is cancelled at the source. A
 * source that delivers large results should therefore deliver them from the event loop, a batch
 * at a time, rather than all from inside one call. A request ends, and is cancelled at the source,
 * when its caller leaves the bus, or when a result call fails (the caller's receiver is missing or
 * refuses the rows, or does not answer within KestShared::replyTimeout()). Only the caller that
 * started a request may cancel it; a cancelled request is cancelled at the source and ends at once.
 * Every error's text is a code, a colon and a text, code 3.
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
    //! Adapts \a source, whose child it becomes; nothing goes on the bus before init().
    explicit KestSourceAdaptor(KestSource &source);
    //! Withdraws the source from the bus.
    ~KestSourceAdaptor() override;

    /*!
     * Registers the source at its object path, claims its bus name, starts relaying
     * kestPropertyChanged() as property_changed and announces the source with new_source on the
     * registry path. False, after a warning, when the plugin name or uuid cannot stand in a bus
     * name, or the path or name is taken; then nothing is kept. True at once when the source is
     * on the bus already.
     */
    bool init();
    /*!
     * Gives up the bus name and the path, cancels every request in progress at the source and
     * forgets it, and answers the calls still waiting with an error. The source is left as it is.
     */
    void withdraw();
    //! Whether init() has put the source on the bus and it has not been withdrawn since.
    bool isPublished() const;

    // The bus methods, called by QtDBus with the call's \a message.
public Q_SLOTS:
    //! Starts KestSource::browse() for the caller and answers with its id.
    void browse(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset, uint count,
                const QDBusMessage &message);
    //! Starts KestSource::query() for the caller and answers with its id.
    void query(const QString &query, const QDBusMessage &message);
    //! Cancels the caller's browse \a browseId at the source and ends it.
    void cancel_browse(uint browseId, const QDBusMessage &message);
    //! Cancels the caller's query \a queryId at the source and ends it.
    void cancel_query(uint queryId, const QDBusMessage &message);

private:
    std::unique_ptr<KestSourceAdaptorPrivate> const d;
};

#endif
