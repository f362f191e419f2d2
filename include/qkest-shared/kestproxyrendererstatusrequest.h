// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERSTATUSREQUEST_H
#define KESTPROXYRENDERERSTATUSREQUEST_H

#include "kestproxyrendererrequest.h"

class KestProxyRendererStatusRequestPrivate;

/*!
 * Asks the renderer for its status; the result member takes
 * (KestRenderer*, QString playlistId, uint playbackIndex, int playbackState, QString objectId).
 * With an error receiver set, a status reply is followed by a KestError with code 0.
 */
class QKESTSHARED_EXPORT KestProxyRendererStatusRequest : public KestProxyRendererRequest
{
    Q_OBJECT
public:
    KestProxyRendererStatusRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method,
                                   QObject *errorReceiver, const char *errorMember, QObject *receiver,
                                   const char *member);

    bool call() override;

public Q_SLOTS:
    void handleReply(const QString &playlistId, uint playbackIndex, int playbackState, const QString &objectId);

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererStatusRequest)
};

#endif
