// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERPROPERTYREQUEST_P_H
#define KESTPROXYRENDERERPROPERTYREQUEST_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestproxyrendererrequest_p.h"

#include <QList>
#include <QVariant>

// The receiver pair of the base carries the result as well as failures.
class KestProxyRendererPropertyRequestPrivate : public KestProxyRendererRequestPrivate
{
public:
    using KestProxyRendererRequestPrivate::KestProxyRendererRequestPrivate;

    QList<QVariant> m_args;
};

#endif
