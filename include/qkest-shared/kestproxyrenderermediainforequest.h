// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERMEDIAINFOREQUEST_H
#define KESTPROXYRENDERERMEDIAINFOREQUEST_H

#include "kestproxyrendererrequest.h"

#include "kestmediainfo.h"

class KestProxyRendererMediaInfoRequestPrivate;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxyrenderermediainforequest.h
 * \brief Asks the renderer about the current media; the result member takes (KestRenderer*, KestMediaInfo).
 */
class QKESTSHARED_EXPORT KestProxyRendererMediaInfoRequest : public KestProxyRendererRequest
{
    Q_OBJECT
public:
    /*!
     * A request of \a renderer, a child of \a parent, that calls \a method with \a argument and hands the media
     * information to \a receiver's \a member. Also makes KestMediaInfo known to the D-Bus type system.
     */
    KestProxyRendererMediaInfoRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method,
                                      QObject *receiver, const char *member, const QString &argument);

    /*! Sends the call; returns false when the bus or a callback check refused it. \reimp */
    bool call() override;

public Q_SLOTS:
    /*! Hands \a mediaInfo to the result member and completes the request. */
    void handleReply(const KestMediaInfo &mediaInfo);
    /*!
     * Hands media information without a uuid (not isValid()) to the result member, so that the caller
     * learns of the failure \a error, and completes the request. \reimp
     */
    void handleError(const QDBusError &error) override;

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererMediaInfoRequest)
};

#endif
