// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYSOURCEPROPERTYREQUEST_H
#define KESTPROXYSOURCEPROPERTYREQUEST_H

#include "qkestshared_export.h"

#include <QDBusError>
#include <QDBusVariant>
#include <QObject>
#include <QString>

#include <memory>

class KestProxySource;
class KestProxySourcePropertyRequestPrivate;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxysourcepropertyrequest.h
 * \brief Fetches one extension property of a remote source. The value is stored as a dynamic
 * property on the source proxy and handed to the receiver's slot, which takes
 * (QString name, QVariant value); a failure hands it an invalid value. A receiver destroyed
 * before the answer is not called. The request deletes itself once answered.
 */
class QKESTSHARED_EXPORT KestProxySourcePropertyRequest : public QObject
{
    Q_OBJECT
public:
    /*!
     * A request of \a source, a child of \a parent, that reads \a propertyName and hands it to
     * \a receiver's \a slot.
     */
    KestProxySourcePropertyRequest(QObject *parent, KestProxySource *source, QObject *receiver, const char *slot,
                                   const QString &propertyName);
    /*! Destroys the request; a reply that comes later reaches nobody. */
    ~KestProxySourcePropertyRequest() override;

    /*! Places the call; returns false, and the request deletes itself, when it cannot. */
    bool call();

public Q_SLOTS:
    /*! Stores the value in \a dbusVariant as property \a name, hands both to the slot and deletes the request. */
    void handleReply(const QString &name, const QDBusVariant &dbusVariant);
    /*! Logs \a error, hands the slot an invalid value and deletes the request. */
    void handleError(const QDBusError &error);

private:
    std::unique_ptr<KestProxySourcePropertyRequestPrivate> const d;
};

#endif
