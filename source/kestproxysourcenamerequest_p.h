// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYSOURCENAMEREQUEST_P_H
#define KESTPROXYSOURCENAMEREQUEST_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QObject>
#include <QPointer>
#include <QString>

class KestProxySource;

class KestProxySourceNameRequestPrivate
{
public:
    KestProxySource *source;
    QString method;
    QPointer<QObject> receiver;
    const char *slot;
};

#endif
