// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef DBUSADAPTOR_H
#define DBUSADAPTOR_H

#include "qkestshared_export.h"
#include "kestbrowseresultdbusstruct.h"
#include "kestqueryresultdbusstruct.h"

#include <QDBusAbstractAdaptor>
#include <QList>
#include <QString>

#include <memory>

class DBusAdaptorPrivate;
class KestContent;
class QDBusMessage;
class KestProxySource;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/dbusadaptor.h
 * \brief The result receiver of one KestProxySource.
 *
 * KestProxySource::initDBusConnection() creates it as a child of the proxy. Remote sources call
 * browse_result and query_result on it: remote sources call browse_result and
 * query_result on it. Rows are decoded here and handed to the proxy, which finds the
 * pending request and calls its receiver.
 *
 * Only the process that owns the source's bus name may deliver: any other caller is answered
 * with org.freedesktop.DBus.Error.AccessDenied and its rows reach nobody.
 */
class QKESTSHARED_EXPORT DBusAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.proxy_source")
    // interfaces/com.zorvo.kest.proxy_source.xml, read by moc from the generated kestintrospection.h
    Q_CLASSINFO("D-Bus Introspection", KEST_PROXY_SOURCE_INTROSPECTION)
public:
    /*! The receiver of \a source, as its child. */
    explicit DBusAdaptor(KestProxySource *source);
    /*! Destroys the receiver. */
    ~DBusAdaptor() override;

    /*!
     * Returns a new content for the good row \a result (the caller owns it), or null when its metadata block is
     * malformed.
     */
    KestContent *parseBrowseResult(KestBrowseResultDBusStruct &result);

public Q_SLOTS:
    /*!
     * Receives the rows \a results of browse \a browse_id; \a message is the bus call, which tells
     * who sent the rows. Rows with an error code go to the browse's error slot.
     */
    void browse_result(uint browse_id, const QList<KestBrowseResultDBusStruct> &results, const QDBusMessage &message);
    /*!
     * \a remainingCount counts the rows still to come after this batch; each row is handed on
     * with the number of rows that follow it. \a results are the rows of query \a queryId; a
     * non-zero \a errorCode with \a errorMessage ends the query with an error. \a message is the bus
     * call, which tells who sent the rows.
     */
    void query_result(uint queryId, int remainingCount, const QList<KestQueryResultDBusStruct> &results, int errorCode,
                      const QString &errorMessage, const QDBusMessage &message);

private:
    std::unique_ptr<DBusAdaptorPrivate> const d;
};

#endif
