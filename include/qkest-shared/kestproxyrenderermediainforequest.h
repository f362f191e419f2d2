// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERMEDIAINFOREQUEST_H
#define KESTPROXYRENDERERMEDIAINFOREQUEST_H

#include "kestproxyrendererrequest.h"

#include "kestmediainfo.h"

class KestProxyRendererMediaInfoRequestPrivate;

/*! Asks the renderer about the current media; the result member takes (KestRenderer*, KestMediaInfo). */
class QKESTSHARED_EXPORT KestProxyRendererMediaInfoRequest : public KestProxyRendererRequest
{
    Q_OBJECT
public:
    /*! Also makes KestMediaInfo known to the D-Bus type system. */
    KestProxyRendererMediaInfoRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method,
                                      QObject *receiver, const char *member, const QString &argument);

    bool call() override;

public Q_SLOTS:
    void handleReply(const KestMediaInfo &mediaInfo);

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererMediaInfoRequest)
};

#endif
