// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERPLAYBACKREQUEST_H
#define KESTPROXYRENDERERPLAYBACKREQUEST_H

#include "kestproxyrendererrequest.h"

#include <QUrl>

class KestProxyRendererPlaybackRequestPrivate;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxyrendererplaybackrequest.h
 * \brief A playback command on the renderer interface. The remote renderer answers with an empty reply;
 * success is reported to the error member as a KestError with code 0.
 */
class QKESTSHARED_EXPORT KestProxyRendererPlaybackRequest : public KestProxyRendererRequest
{
    Q_OBJECT
public:
    /*!
     * A request of \a renderer, a child of \a parent, that calls \a method and reports the outcome to
     * \a errorReceiver's \a errorMember (both may be null).
     */
    KestProxyRendererPlaybackRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method,
                                     QObject *errorReceiver, const char *errorMember);

    /*! Appends the text \a value to the call's arguments. */
    void appendArgument(const QString &value);
    /*! Appends \a url, sent as its percent-encoded text. */
    void appendArgument(const QUrl &url);
    /*! Appends \a value, sent with the D-Bus type of its own type (uint as u, int as i). */
    void appendArgument(const QVariant &value);
    /*! Replaces the call's arguments with \a arguments. */
    void setArguments(const QList<QVariant> &arguments);

    /*! Sends the call; returns false when the bus or a callback check refused it. \reimp */
    bool call() override;

public Q_SLOTS:
    /*! Reports success as a KestError with code 0 and completes the request. */
    void handleReply();

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererPlaybackRequest)
};

#endif
