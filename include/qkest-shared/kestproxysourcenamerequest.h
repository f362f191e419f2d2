// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYSOURCENAMEREQUEST_H
#define KESTPROXYSOURCENAMEREQUEST_H

#include "qkestshared_export.h"

#include <QDBusError>
#include <QObject>
#include <QString>

#include <memory>

class KestProxySource;
class KestProxySourceNameRequestPrivate;

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/kestproxysourcenamerequest.h
 * \brief Fetches a remote source's display name with an asynchronous call and hands it to the
 * receiver's slot, which takes one QString. Failures are only logged.
 */
class QKESTSHARED_EXPORT KestProxySourceNameRequest : public QObject
{
    Q_OBJECT
public:
    /*!
     * A request of \a source, a child of \a parent, that calls \a method and hands the name to \a receiver's \a slot.
     */
    KestProxySourceNameRequest(QObject *parent, KestProxySource *source, const QString &method, QObject *receiver,
                               const char *slot);
    /*! Destroys the request; a reply that comes later reaches nobody. */
    ~KestProxySourceNameRequest() override;

    /*! Places the call of the method on the source's extension interface; returns false when it cannot. */
    bool call();

protected Q_SLOTS:
    /*! Hands \a name to the receiver's slot. */
    void handleReply(const QString &name);
    /*! Logs \a error; the receiver is not called. */
    virtual void handleError(const QDBusError &error);

private:
    std::unique_ptr<KestProxySourceNameRequestPrivate> const d;
};

#endif
