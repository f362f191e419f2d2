// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERNAMEREQUEST_H
#define KESTPROXYRENDERERNAMEREQUEST_H

#include "kestproxyrendererrequest.h"

class KestProxyRendererNameRequestPrivate;

/*! Reads the renderer's display name; the result slot takes (QString name). */
class QKESTSHARED_EXPORT KestProxyRendererNameRequest : public KestProxyRendererRequest
{
    Q_OBJECT
public:
    KestProxyRendererNameRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method, QObject *receiver,
                                 const char *member, QObject *errorReceiver, const char *errorMember);

    bool call() override;

public Q_SLOTS:
    void handleReply(const QString &name);

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererNameRequest)
};

#endif
