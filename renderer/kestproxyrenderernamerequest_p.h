// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERNAMEREQUEST_P_H
#define KESTPROXYRENDERERNAMEREQUEST_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestproxyrendererrequest_p.h"

class KestProxyRendererNameRequestPrivate : public KestProxyRendererRequestPrivate
{
public:
    KestProxyRendererNameRequestPrivate(KestProxyRenderer *renderer, const QString &method, QObject *receiver,
                                        const char *member, QObject *errorReceiver, const char *errorMember);

    QPointer<QObject> m_receiver;
    const char *m_member;
};

#endif
