// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERPLAYBACKREQUEST_P_H
#define KESTPROXYRENDERERPLAYBACKREQUEST_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestproxyrendererrequest_p.h"

#include <QList>
#include <QVariant>

class KestProxyRendererPlaybackRequestPrivate : public KestProxyRendererRequestPrivate
{
public:
    using KestProxyRendererRequestPrivate::KestProxyRendererRequestPrivate;

    QList<QVariant> m_args;
};

#endif
