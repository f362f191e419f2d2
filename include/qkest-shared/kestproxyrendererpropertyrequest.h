// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERPROPERTYREQUEST_H
#define KESTPROXYRENDERERPROPERTYREQUEST_H

#include "kestproxyrendererrequest.h"

#include <QDBusVariant>

class KestProxyRendererPropertyRequestPrivate;

/*!
 * Reads one property of the renderer on the extension interface. The value is also stored as a
 * property of the renderer proxy. The receiver's member takes (QString name, QVariant value) and
 * is called with an invalid value when the read fails.
 */
class QKESTSHARED_EXPORT KestProxyRendererPropertyRequest : public KestProxyRendererRequest
{
    Q_OBJECT
public:
    KestProxyRendererPropertyRequest(QObject *parent, KestProxyRenderer *renderer, const QString &method,
                                     QObject *receiver, const char *member);

    void setArguments(const QString &name);

    bool call() override;

public Q_SLOTS:
    void handleReply(const QString &name, const QDBusVariant &dbusVariant);
    void handleError(const QDBusError &error) override;

private:
    Q_DECLARE_PRIVATE_D(d_request, KestProxyRendererPropertyRequest)
};

#endif
