// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERPOSITIONREQUEST_H
#define KESTPROXYRENDERERPOSITIONREQUEST_H

#include "kestproxyrendererrequest.h"

class KestProxyRendererPositionRequestPrivate;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxyrendererpositionrequest.h
 * \brief Asks the renderer for the playback position; the result member takes (KestRenderer*, uint).
 */
class QKESTSHARED_EXPORT KestProxyRendererPositionRequest : public KestProxyRendererRequest
{
    Q_OBJECT
public:
    /*!
     * A request of \a renderer, a child of \a parent, that calls \a method and hands the position to \a receiver's
     * \a member, failures to \a errorReceiver's \a errorMember.
     */
    KestProxyRendererPositionRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method,
                                     QObject *errorReceiver, const char *errorMember, QObject *receiver,
                                     const char *member);

    /*! Sends the call; returns false when the bus or a callback check refused it. \reimp */
    bool call() override;

public Q_SLOTS:
    /*! Hands \a position to the result member and completes the request. */
    void handleReply(uint position);

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererPositionRequest)
};

#endif
