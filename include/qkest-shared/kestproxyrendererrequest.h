// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERREQUEST_H
#define KESTPROXYRENDERERREQUEST_H

#include "qkestshared_export.h"

#include <QDBusError>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <memory>

class KestProxyRenderer;
class KestProxyRendererRequestPrivate;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxyrendererrequest.h
 * \brief One call of a KestProxyRenderer to its remote renderer that expects a reply.
 *
 * A request sends one asynchronous method call, turns the reply or the error into a call of
 * the caller's member, and then asks its renderer to complete it, which destroys it. Requests
 * are Qt children of their renderer and die with it; late replies then reach nobody.
 * KestProxyRenderer creates them; applications do not.
 *
 * Members are given in SLOT() coding; only the pointer to the text is kept, so pass literals.
 * A receiver destroyed before the reply arrives is not called. The error member takes
 * (KestRenderer*, KestError).
 */
class QKESTSHARED_EXPORT KestProxyRendererRequest : public QObject
{
    Q_OBJECT
public:
    /*!
     * A request of \a renderer, a child of \a parent, that calls \a method and reports failures
     * to \a errorReceiver's \a errorMember (both may be null).
     */
    KestProxyRendererRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method,
                             QObject *errorReceiver, const char *errorMember);
    /*! Destroys the request; its reply, if one comes, reaches nobody. */
    ~KestProxyRendererRequest() override;

    /*! Sends the call. Returns true only when the bus took it; the outcome comes through the callbacks. */
    virtual bool call() = 0;

public Q_SLOTS:
    /*!
     * Translates the bus \a error whose text reads "code:text" into a KestError for the error
     * member, then completes the request. Text without a colon gives code 3 and the whole text.
     */
    virtual void handleError(const QDBusError &error);

protected:
    /*! For the library's own requests, whose private data \a dd derives from the base's; a child of \a parent. */
    KestProxyRendererRequest(KestProxyRendererRequestPrivate &dd, QObject *parent);

    /*!
     * Sends the request's method with \a arguments on \a interface to the renderer, with
     * \a replySlot taking the reply. Returns false when the bus did not take the call.
     */
    bool callRenderer(const QString &interface, const char *replySlot,
                      const QList<QVariant> &arguments = QList<QVariant>());
    /*! Returns false when an error receiver is set but has no fitting error member. */
    bool hasValidErrorCallback() const;
    /*! Logs that a callback check refused the call; returns false. */
    static bool refuseCall();
    /*!
     * Hands \a request back to its renderer, which destroys it: touch nothing afterwards.
     * A caller's member may have destroyed the renderer, and the request with it; then there is
     * nothing left to complete. Reply slots therefore keep a guard on themselves from the start.
     */
    static void complete(const QPointer<KestProxyRendererRequest> &request);

    // Not d_ptr, which would hide QObject's own.
    std::unique_ptr<KestProxyRendererRequestPrivate> const d_request;

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererRequest)
};

#endif
