// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERNAMEREQUEST_H
#define KESTPROXYRENDERERNAMEREQUEST_H

#include "kestproxyrendererrequest.h"

class KestProxyRendererNameRequestPrivate;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxyrenderernamerequest.h
 * \brief Reads the renderer's display name; the result slot takes (QString name).
 */
class QKESTSHARED_EXPORT KestProxyRendererNameRequest : public KestProxyRendererRequest
{
    Q_OBJECT
public:
    /*!
     * A request of \a renderer, a child of \a parent, that calls \a method and hands the name to \a receiver's
     * \a member, failures to \a errorReceiver's \a errorMember.
     */
    KestProxyRendererNameRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method, QObject *receiver,
                                 const char *member, QObject *errorReceiver, const char *errorMember);

    /*! Sends the call; returns false when the bus or a callback check refused it. \reimp */
    bool call() override;

public Q_SLOTS:
    /*! Hands \a name to the result member and completes the request. */
    void handleReply(const QString &name);

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererNameRequest)
};

#endif
