// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTRENDERERREPLY_P_H
#define KESTRENDERERREPLY_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include "kestdeferredreply_p.h"

#include <kestmediainfo.h>

#include <QString>

class KestRenderer;

// The receiver of a local renderer's status, position and media information callbacks.
class KestRendererReply : public KestDeferredReply
{
    Q_OBJECT
public:
    KestRendererReply(KestDeferredReplies *replies, const QDBusMessage &call);

private Q_SLOTS:
    void status(KestRenderer *renderer, const QString &playlistId, uint playbackIndex, int playbackState,
                const QString &objectId);
    void position(KestRenderer *renderer, uint position);
    void mediaInfo(KestRenderer *renderer, const KestMediaInfo &mediaInfo);
};

#endif
