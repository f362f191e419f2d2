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
 * The result receiver of one KestProxySource: remote sources call browse_result and
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
    explicit DBusAdaptor(KestProxySource *source);
    ~DBusAdaptor() override;

    /*! A new content for a good row, or null when its metadata block is malformed. */
    KestContent *parseBrowseResult(KestBrowseResultDBusStruct &result);

public Q_SLOTS:
    /*! \a message is the bus call, which tells who sent the rows. */
    void browse_result(uint browse_id, const QList<KestBrowseResultDBusStruct> &results, const QDBusMessage &message);
    /*!
     * \a remainingCount counts the rows still to come after this batch; each row is handed on
     * with the number of rows that follow it.
     */
    void query_result(uint queryId, int remainingCount, const QList<KestQueryResultDBusStruct> &results, int errorCode,
                      const QString &errorMessage, const QDBusMessage &message);

private:
    std::unique_ptr<DBusAdaptorPrivate> const d;
};

#endif
