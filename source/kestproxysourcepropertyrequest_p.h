// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYSOURCEPROPERTYREQUEST_P_H
#define KESTPROXYSOURCEPROPERTYREQUEST_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

class KestProxySource;

class KestProxySourcePropertyRequestPrivate
{
public:
    bool callReceiver(const QString &name, const QVariant &value);

    KestProxySource *source;
    QPointer<QObject> receiver;
    const char *slot;
    QString propertyName;
};

#endif
