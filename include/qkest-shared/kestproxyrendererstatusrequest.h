// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERSTATUSREQUEST_H
#define KESTPROXYRENDERERSTATUSREQUEST_H

#include "kestproxyrendererrequest.h"

class KestProxyRendererStatusRequestPrivate;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxyrendererstatusrequest.h
 * \brief Asks the renderer for its status; the result member takes
 * (KestRenderer*, QString playlistId, uint playbackIndex, int playbackState, QString objectId).
 * With an error receiver set, a status reply is followed by a KestError with code 0.
 */
class QKESTSHARED_EXPORT KestProxyRendererStatusRequest : public KestProxyRendererRequest
{
    Q_OBJECT
public:
    /*!
     * A request of \a renderer, a child of \a parent, that calls \a method and hands the status to \a receiver's
     * \a member, failures to \a errorReceiver's \a errorMember.
     */
    KestProxyRendererStatusRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method,
                                   QObject *errorReceiver, const char *errorMember, QObject *receiver,
                                   const char *member);

    /*! Sends the call; returns false when the bus or a callback check refused it. \reimp */
    bool call() override;

public Q_SLOTS:
    /*!
     * Hands \a playlistId, \a playbackIndex, \a playbackState and \a objectId to the result member and completes the
     * request.
     */
    void handleReply(const QString &playlistId, uint playbackIndex, int playbackState, const QString &objectId);

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererStatusRequest)
};

#endif
