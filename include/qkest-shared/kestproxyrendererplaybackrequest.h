// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERPLAYBACKREQUEST_H
#define KESTPROXYRENDERERPLAYBACKREQUEST_H

#include "kestproxyrendererrequest.h"

#include <QUrl>

class KestProxyRendererPlaybackRequestPrivate;

/*!
 * A playback command on the renderer interface. The remote renderer answers with an empty reply;
 * success is reported to the error member as a KestError with code 0.
 */
class QKESTSHARED_EXPORT KestProxyRendererPlaybackRequest : public KestProxyRendererRequest
{
    Q_OBJECT
public:
    KestProxyRendererPlaybackRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method,
                                     QObject *errorReceiver, const char *errorMember);

    void appendArgument(const QString &value);
    /*! Sends the URL as its percent-encoded text. */
    void appendArgument(const QUrl &url);
    /*! Sends the value with the D-Bus type of its own type (uint as u, int as i). */
    void appendArgument(const QVariant &value);
    void setArguments(const QList<QVariant> &arguments);

    bool call() override;

public Q_SLOTS:
    void handleReply();

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererPlaybackRequest)
};

#endif
