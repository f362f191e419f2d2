// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERMEDIAINFOREQUEST_P_H
#define KESTPROXYRENDERERMEDIAINFOREQUEST_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestproxyrendererrequest_p.h"

class KestProxyRendererMediaInfoRequestPrivate : public KestProxyRendererRequestPrivate
{
public:
    KestProxyRendererMediaInfoRequestPrivate(KestProxyRenderer *renderer, const QString &method, QObject *receiver,
                                             const char *member, const QString &argument);

    QPointer<QObject> m_receiver;
    const char *m_member;
    QString m_argument;
};

#endif
