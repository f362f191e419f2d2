// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERERREQUEST_P_H
#define KESTPROXYRENDERERREQUEST_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QObject>
#include <QPointer>
#include <QString>

class KestProxyRenderer;

// What every renderer request keeps; the requests with more derive their private data from it.
class KestProxyRendererRequestPrivate
{
public:
    KestProxyRendererRequestPrivate(KestProxyRenderer *renderer, const QString &method, QObject *errorReceiver,
                                    const char *errorMember);
    virtual ~KestProxyRendererRequestPrivate();

    KestProxyRenderer *m_renderer;
    QString m_method;
    QPointer<QObject> m_errorReceiver;
    const char *m_errorMember;
};

#endif
