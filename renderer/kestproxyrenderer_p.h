// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYRENDERER_P_H
#define KESTPROXYRENDERER_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QString>

class KestInternalRegistry;
class KestProxyRenderer;
class KestProxyRendererPlaybackRequest;
class KestProxyRendererRequest;

class KestProxyRendererPrivate
{
public:
    KestProxyRendererPrivate(KestProxyRenderer *q, const KestInternalRegistry &registry);

    KestProxyRendererPlaybackRequest *playbackRequest(const QString &method);
    //! Sends \a request; destroys it when nothing went out.
    bool issueRequest(KestProxyRendererRequest *request);

    KestProxyRenderer *const q;
    QString m_service;
    QString m_objectPath;
    const KestInternalRegistry *m_registry;
    int m_state;
};

#endif
