// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERSTATUSREQUEST_P_H
#define KESTPROXYRENDERERSTATUSREQUEST_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestproxyrendererrequest_p.h"

class KestProxyRendererStatusRequestPrivate : public KestProxyRendererRequestPrivate
{
public:
    KestProxyRendererStatusRequestPrivate(KestProxyRenderer *renderer, const QString &method, QObject *errorReceiver,
                                          const char *errorMember, QObject *receiver, const char *member);

    QPointer<QObject> m_receiver;
    const char *m_member;
};

#endif
