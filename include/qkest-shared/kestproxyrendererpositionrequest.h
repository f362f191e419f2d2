// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERPOSITIONREQUEST_H
#define KESTPROXYRENDERERPOSITIONREQUEST_H

#include "kestproxyrendererrequest.h"

class KestProxyRendererPositionRequestPrivate;

/*! Asks the renderer for the playback position; the result member takes (KestRenderer*, uint). */
class QKESTSHARED_EXPORT KestProxyRendererPositionRequest : public KestProxyRendererRequest
{
    Q_OBJECT
public:
    KestProxyRendererPositionRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method,
                                     QObject *errorReceiver, const char *errorMember, QObject *receiver,
                                     const char *member);

    bool call() override;

public Q_SLOTS:
    void handleReply(uint position);

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererPositionRequest)
};

#endif
