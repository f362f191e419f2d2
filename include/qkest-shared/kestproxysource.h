// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYSOURCE_H
#define KESTPROXYSOURCE_H

#include "qkestshared_export.h"

#include <kestcallbackhelper.h>
#include <kestcontent.h> // Metamap, which browse rows carry
#include <kestsource.h>

#include <QDBusMessage>
#include <QDBusVariant>
#include <QMap>
#include <QMetaMethod>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <memory>

class KestProxySourcePrivate;

/*!
 * A media source that lives in another process, used like a local KestSource.
 *
 * The proxy reaches the remote source on the session bus under
 * KestBusNames::sourceService() / KestBusNames::sourcePath(). It exports its own result
 * receiver at KestBusNames::proxySourcePath() (interface "com.zorvo.kest.proxy_source"),
 * where the remote source delivers browse and query results after the start call has
 * returned an id.
 *
 * Starting a browse or a query blocks the calling thread for one round trip; results arrive
 * later through the event loop at the caller's slots, given in SLOT() coding. The slot strings
 * are not copied and must outlive the request.
 *
 * \code
 * KestProxySource source(nullptr, uuid, plugin, QString());
 * if (source.initDBusConnection())
 *     source.browse(QString(), QString(), {QStringLiteral("title")}, 0, 50, &listener,
 *                   SLOT(onRow(uint,QString,Metamap,uint,int)), SLOT(onError(uint,uint,QString)));
 * \endcode
 */
class QKESTSHARED_EXPORT KestProxySource : public KestSource
{
    Q_OBJECT
public:
    /*!
     * One pending browse, query or get-metadata request: whom to call back, and how. The slots
     * are looked up once, here, rather than for every row; a slot that the receiver lacks
     * leaves its method invalid, and each call of it then fails.
     */
    struct KestOngoingAction
    {
        KestOngoingAction(QObject *receiver, const char *resultSlot, const char *errorSlot)
            : receiver(receiver)
            , resultSlot(resultSlot)
            , errorSlot(errorSlot)
        {
            KestCallbackHelper::getCallbackMethod(receiver, resultSlot, resultMethod);
            KestCallbackHelper::getCallbackMethod(receiver, errorSlot, errorMethod);
        }

        QPointer<QObject> receiver; //!< Null once the receiver has been destroyed.
        const char *resultSlot;
        const char *errorSlot;
        QMetaMethod resultMethod;
        QMetaMethod errorMethod;
    };

    KestProxySource(QObject *parent, const QString &uuid, const QString &plugin, const QString &name);
    ~KestProxySource() override;

    /*!
     * Exports the result receiver, starts fetching the name when it is not known yet and relays
     * the remote property_changed signal. False when any of it fails; the proxy is then unusable.
     */
    bool initDBusConnection();

    QString serviceName() const;
    QString objectPath() const;

    /*! True when the name is known or its fetch could be placed; the name arrives later. */
    bool getName();

    /*!
     * Browses \a objectId (the source's root when empty) and returns the browse id the source
     * chose, or 0 when no browse was started. \a offset and \a count go to the source unchanged.
     * Rows arrive at \a resultSlot (uint browseId, QString objectId, Metamap metadata,
     * uint index, int remainingCount), failures at \a errorSlot (uint browseId, uint code,
     * QString message). browseCompleted() follows the last row.
     */
    uint browse(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset, uint count,
                QObject *receiver, const char *resultSlot, const char *errorSlot) override;
    /*! Asks the source to stop; the browse stays pending until the source reports its end. */
    void cancelBrowse(uint browseId) override;
    /*!
     * Starts a query and returns the query id the source chose, or 0. Rows arrive at
     * \a resultSlot (uint queryId, QStringList row, uint index, int remainingCount), failures at
     * \a errorSlot (uint queryId, int code, QString message).
     */
    uint query(const QString &query, QObject *receiver, const char *resultSlot, const char *errorSlot) override;
    /*! Asks the source to stop; the query stays pending until the source reports its end. */
    void cancelQuery(uint queryId) override;
    /*! Sends the value without waiting for an answer; false for an empty name or a lost bus. */
    bool setKestProperty(const QString &name, const QVariant &value) override;
    /*!
     * Fetches a property. The receiver's \a member gets (QString name, QVariant value), with an
     * invalid value when the source failed; the value is also kept as a dynamic property.
     */
    bool kestProperty(QString &name, QObject *receiver, const char *member) override;

    QDBusMessage createPredicateBrowseCall(QString objectId, const QString &predicate, const QStringList &keys,
                                           uint offset, uint count);
    QDBusMessage createQueryAsynchCall(const QString &query);

    // Called by the result receiver for every row; the proxy takes \a content over.
    void handlePredicateBrowseResult(uint browseId, KestContent *content, uint index, int remainingCount);
    void handlePredicateBrowseError(uint browseId, uint errorCode, const QString &errorMessage);

public Q_SLOTS:
    void handleMessage(const QDBusMessage &message);
    void handleQueryResult(uint queryId, uint index, const QStringList &resultRow, int remainingCount);
    void handleQueryError(uint queryId, int errorCode, const QString &errorMessage);
    /*!
     * Get-metadata replies: the first argument is a metadata block (result) or the error domain
     * (error). The pending request is the one in ongoingGetMetas() under getMetaId(); its
     * slots take (uint id, QStringList keys, QStringList values) and (uint id, QString message).
     */
    void handleGetMetaResult(const QDBusMessage &message);
    void handleGetMetaError(const QDBusMessage &message);
    void handlePropertyChangedSignal(const QString &name, const QDBusVariant &value);

protected:
    // Only derived proxies that place get-metadata requests fill these; the proxy owns the actions.
    QMap<uint, KestOngoingAction *> &ongoingGetMetas();
    /*! The id of the get-metadata request whose reply comes next; 0 until set. */
    uint getMetaId() const;
    void setGetMetaId(uint id);

private Q_SLOTS:
    void getNameCallback(const QString &name);

private:
    std::unique_ptr<KestProxySourcePrivate> const d;
};

#endif
