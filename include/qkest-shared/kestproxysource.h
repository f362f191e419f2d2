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
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxysource.h
 * \brief A media source that lives in another process, used like a local KestSource.
 *
 * KestShared creates a proxy for each remote source (with KestShared::TrackSources) and
 * registers it; the registry owns it and removes it when the source's process leaves the bus.
 *
 * The proxy reaches the remote source on the session bus under the bus name
 * com.zorvo.kest.source.PLUGIN.UUID at /com/zorvo/kest/source/UUID. It exports its own result
 * receiver at /com/zorvo/kest/proxy_source/UUID (interface "com.zorvo.kest.proxy_source"),
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
 *
 * \sa {Waiting and time-outs}
 */
class QKESTSHARED_EXPORT KestProxySource : public KestSource
{
    Q_OBJECT
public:
    /*!
     * \inmodule QKestShared
     * One pending browse, query or get-metadata request: whom to call back, and how. The slots
     * are looked up once, here, rather than for every row; a slot that the receiver lacks
     * leaves its method invalid, and each call of it then fails.
     */
    struct KestOngoingAction
    {
        /*! Keeps \a receiver, \a resultSlot and \a errorSlot, and looks the slots up. */
        KestOngoingAction(QObject *receiver, const char *resultSlot, const char *errorSlot)
            : receiver(receiver)
            , resultSlot(resultSlot)
            , errorSlot(errorSlot)
        {
            KestCallbackHelper::getCallbackMethod(receiver, resultSlot, resultMethod);
            KestCallbackHelper::getCallbackMethod(receiver, errorSlot, errorMethod);
        }

        /*! The receiver; null once it has been destroyed. */
        QPointer<QObject> receiver;
        /*! The result slot in SLOT() coding, not copied. */
        const char *resultSlot;
        /*! The error slot in SLOT() coding, not copied. */
        const char *errorSlot;
        /*! The result slot, invalid when the receiver lacks it. */
        QMetaMethod resultMethod;
        /*! The error slot, invalid when the receiver lacks it. */
        QMetaMethod errorMethod;
    };

    /*!
     * The proxy of the source \a uuid hosted by \a plugin, a child of \a parent. An empty \a name is
     * fetched by initDBusConnection().
     */
    KestProxySource(QObject *parent, const QString &uuid, const QString &plugin, const QString &name);
    /*! Unexports the result receiver; pending requests end without a callback. */
    ~KestProxySource() override;

    /*!
     * Exports the result receiver, starts fetching the name when it is not known yet and relays
     * the remote property_changed signal. Returns false when any of it fails; the proxy is then
     * unusable.
     */
    bool initDBusConnection();

    /*! Returns the remote source's bus name. */
    QString serviceName() const;
    /*! Returns the remote source's object path. */
    QString objectPath() const;

    /*! Returns true when the name is known or its fetch could be placed; the name arrives later. */
    bool getName();

    /*!
     * Browses \a objectId (the source's root when empty) and returns the browse id the source
     * chose, or 0 when no browse was started. \a offset and \a count go to the source unchanged.
     * Rows arrive at \a resultSlot (uint browseId, QString objectId, Metamap metadata,
     * uint index, int remainingCount), failures at \a errorSlot (uint browseId, uint code,
     * QString message). browseCompleted() follows the last row. Blocks until the source returns the id.
     * \reimp
     */
    uint browse(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset, uint count,
                QObject *receiver, const char *resultSlot, const char *errorSlot) override;
    /*!
     * Starts browsing \a objectId with \a predicate, \a keys, \a offset and \a count as browse() does, without
     * waiting for the source's answer: returns at once a nonzero id chosen by the proxy, or 0 for invalid
     * arguments as browse() does. Rows reach \a receiver's \a resultSlot and errors its \a errorSlot under that
     * id, and cancelBrowse() and browseFinished() use it too. A start that fails or is not answered within the
     * reply time-out reaches \a errorSlot with code 3 and the reason. Rows that the source sends before its
     * answer to the start has arrived are kept for it.
     */
    uint browseAsync(const QString &objectId, const QString &predicate, const QStringList &keys, uint offset,
                     uint count, QObject *receiver, const char *resultSlot, const char *errorSlot);
    /*!
     * Asks the source to stop; the browse stays pending until the source reports its end. Takes the id that
     * browse() or browseAsync() returned; a browse whose start is still on its way is cancelled once it has
     * started.
     * \reimp
     */
    void cancelBrowse(uint browseId) override;
    /*!
     * Starts a query and returns the query id the source chose, or 0. Rows arrive at
     * \a resultSlot (uint queryId, QStringList row, uint index, int remainingCount), failures at
     * \a errorSlot (uint queryId, int code, QString message). Blocks until the source returns the id.
     * \reimp
     */
    uint query(const QString &query, QObject *receiver, const char *resultSlot, const char *errorSlot) override;
    /*!
     * Starts \a query like query(), without waiting for the source's answer: returns at once a nonzero id chosen
     * by the proxy (0 without a \a receiver). Rows reach \a resultSlot and errors \a errorSlot under that id; a
     * start that fails or is not answered in time reaches \a errorSlot with code 3 and the reason.
     */
    uint queryAsync(const QString &query, QObject *receiver, const char *resultSlot, const char *errorSlot);
    /*! Asks the source to stop \a queryId, like cancelBrowse(); takes the id of query() or queryAsync(). \reimp */
    void cancelQuery(uint queryId) override;
    /*!
     * Sends \a value for \a name without waiting for an answer; returns false for an empty name or a lost bus. \reimp
     */
    bool setKestProperty(const QString &name, const QVariant &value) override;
    /*!
     * Fetches the property \a name. The \a receiver's \a member gets (QString name, QVariant value),
     * with an invalid value when the source failed; the value is also kept as a dynamic property.
     * Returns false when the request could not be placed.
     * \reimp
     */
    bool kestProperty(QString &name, QObject *receiver, const char *member) override;

    /*!
     * Returns the browse call for \a objectId (the root when empty), \a predicate, \a keys, \a offset
     * and \a count; an invalid message, with a warning, when both predicate and keys are empty.
     */
    QDBusMessage createPredicateBrowseCall(QString objectId, const QString &predicate, const QStringList &keys,
                                           uint offset, uint count);
    /*! Returns the query call for \a query. */
    QDBusMessage createQueryAsynchCall(const QString &query);

    /*!
     * Called by the result receiver for every row of \a browseId: hands \a content (which the proxy
     * takes over), \a index and \a remainingCount to the result slot. Unknown ids are logged and dropped.
     */
    void handlePredicateBrowseResult(uint browseId, KestContent *content, uint index, int remainingCount);
    /*! Hands \a errorCode and \a errorMessage to the error slot of \a browseId and ends the browse. */
    void handlePredicateBrowseError(uint browseId, uint errorCode, const QString &errorMessage);

Q_SIGNALS:
    /*!
     * The browse \a browseId has ended, with its last row or with a result that carries no rows. Not emitted
     * for a browse that ends with an error.
     */
    void browseFinished(uint browseId);
    /*! The query \a queryId has ended, with its last row or with an empty last batch; not after an error. */
    void queryFinished(uint queryId);

public Q_SLOTS:
    /*! Only logs \a message; kept for callers that route bus messages here. */
    void handleMessage(const QDBusMessage &message);
    /*! Hands \a resultRow, \a index and \a remainingCount to the result slot of \a queryId. */
    void handleQueryResult(uint queryId, uint index, const QStringList &resultRow, int remainingCount);
    /*! Hands \a errorCode and \a errorMessage to the error slot of \a queryId and ends the query. */
    void handleQueryError(uint queryId, int errorCode, const QString &errorMessage);
    /*!
     * Get-metadata replies in \a message: the first argument is a metadata block (result) or the
     * error domain (error). The pending request is the one in ongoingGetMetas() under getMetaId(); its
     * slots take (uint id, QStringList keys, QStringList values) and (uint id, QString message).
     */
    void handleGetMetaResult(const QDBusMessage &message);
    /*! Hands the error in \a message to the error slot of the pending get-metadata request. */
    void handleGetMetaError(const QDBusMessage &message);
    /*! Receives property_changed and emits kestPropertyChanged() with \a name and \a value. */
    void handlePropertyChangedSignal(const QString &name, const QDBusVariant &value);

protected:
    /*! Returns the pending get-metadata requests; only derived proxies fill them, and the proxy owns them. */
    QMap<uint, KestOngoingAction *> &ongoingGetMetas();
    /*! Returns the id of the get-metadata request whose reply comes next; 0 until set. */
    uint getMetaId() const;
    /*! Sets the \a id of the get-metadata request whose reply comes next. */
    void setGetMetaId(uint id);

private Q_SLOTS:
    void getNameCallback(const QString &name);

private:
    friend class DBusAdaptor;
    std::unique_ptr<KestProxySourcePrivate> const d;
};

#endif
