// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERPROPERTYREQUEST_H
#define KESTPROXYRENDERERPROPERTYREQUEST_H

#include "kestproxyrendererrequest.h"

#include <QDBusVariant>

class KestProxyRendererPropertyRequestPrivate;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxyrendererpropertyrequest.h
 * \brief Reads one property of the renderer on the extension interface. The value is also stored as a
 * property of the renderer proxy. The receiver's member takes (QString name, QVariant value) and
 * is called with an invalid value when the read fails.
 */
class QKESTSHARED_EXPORT KestProxyRendererPropertyRequest : public KestProxyRendererRequest
{
    Q_OBJECT
public:
    /*!
     * A request of \a renderer, a child of \a parent, that calls \a method and hands the value to \a receiver's
     * \a member.
     */
    KestProxyRendererPropertyRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method,
                                     QObject *receiver, const char *member);

    /*! Sets the \a name of the property to read. */
    void setArguments(const QString &name);

    /*! Sends the call; returns false when the bus or a callback check refused it. \reimp */
    bool call() override;

public Q_SLOTS:
    /*!
     * Stores the value in \a dbusVariant as the property \a name, hands both to the member and completes the request.
     */
    void handleReply(const QString &name, const QDBusVariant &dbusVariant);
    /*! Hands the member an invalid value for the \a error and completes the request. \reimp */
    void handleError(const QDBusError &error) override;

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererPropertyRequest)
};

#endif
