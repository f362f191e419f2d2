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
 * Fetches a remote source's display name with an asynchronous call and hands it to the
 * receiver's slot, which takes one QString. Failures are only logged.
 */
class QKESTSHARED_EXPORT KestProxySourceNameRequest : public QObject
{
    Q_OBJECT
public:
    KestProxySourceNameRequest(QObject *parent, KestProxySource *source, const QString &method, QObject *receiver,
                               const char *slot);
    ~KestProxySourceNameRequest() override;

    /*! Places the call of \a method on the source's extension interface; false when it cannot. */
    bool call();

protected Q_SLOTS:
    void handleReply(const QString &name);
    virtual void handleError(const QDBusError &error);

private:
    std::unique_ptr<KestProxySourceNameRequestPrivate> const d;
};

#endif
