#ifndef DBUSADAPTOR_H
#define DBUSADAPTOR_H

#include "qkestshared_export.h"
#include "kestbrowseresultdbusstruct.h"
#include "kestqueryresultdbusstruct.h"

#include <QDBusAbstractAdaptor>
#include <QList>
#include <QString>

class KestContent;
class KestProxySource;

/*!
 * The result receiver of one KestProxySource: remote sources call browse_result and
 * query_result on it. Rows are decoded here and handed to the proxy, which finds the
 * pending request and calls its receiver.
 */
class QKESTSHARED_EXPORT DBusAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.zorvo.kest.proxy_source")
    // interfaces/com.zorvo.kest.proxy_source.xml, read by moc from the generated kestintrospection.h
    Q_CLASSINFO("D-Bus Introspection", KEST_PROXY_SOURCE_INTROSPECTION)
public:
    explicit DBusAdaptor(KestProxySource *source);

    //! A new content for a good row, or null when its metadata block is malformed.
    KestContent *parseBrowseResult(KestBrowseResultDBusStruct &result);

public Q_SLOTS:
    void browse_result(uint browse_id, const QList<KestBrowseResultDBusStruct> &results);
    /*!
     * \a remainingCount counts the rows still to come after this batch; each row is handed on
     * with the number of rows that follow it.
     */
    void query_result(uint queryId, int remainingCount, const QList<KestQueryResultDBusStruct> &results,
                      int errorCode, const QString &errorMessage);

private:
    KestProxySource *m_source;
};

#endif
