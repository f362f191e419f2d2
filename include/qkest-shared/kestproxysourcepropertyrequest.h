// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYSOURCEPROPERTYREQUEST_H
#define KESTPROXYSOURCEPROPERTYREQUEST_H

#include "qkestshared_export.h"

#include <QDBusError>
#include <QDBusVariant>
#include <QObject>
#include <QString>

#include <memory>

class KestProxySource;
class KestProxySourcePropertyRequestPrivate;

/*!
 * Fetches one extension property of a remote source. The value is stored as a dynamic
 * property on the source proxy and handed to the receiver's slot, which takes
 * (QString name, QVariant value); a failure hands it an invalid value. A receiver destroyed
 * before the answer is not called. The request deletes itself once answered.
 */
class QKESTSHARED_EXPORT KestProxySourcePropertyRequest : public QObject
{
    Q_OBJECT
public:
    KestProxySourcePropertyRequest(QObject *parent, KestProxySource *source, QObject *receiver, const char *slot,
                                   const QString &propertyName);
    ~KestProxySourcePropertyRequest() override;

    /*! Places the call; when it cannot, the request deletes itself and returns false. */
    bool call();

public Q_SLOTS:
    void handleReply(const QString &name, const QDBusVariant &dbusVariant);
    void handleError(const QDBusError &error);

private:
    std::unique_ptr<KestProxySourcePropertyRequestPrivate> const d;
};

#endif
