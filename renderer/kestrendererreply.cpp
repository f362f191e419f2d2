// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestrendererreply_p.h"

#include "kestmediainfodbus.h"
#include "kestserving_p.h"

KestRendererReply::KestRendererReply(KestDeferredReplies *replies, const QDBusMessage &call)
    : KestDeferredReply(replies, call)
{
}

void KestRendererReply::status(KestRenderer *, const QString &playlistId, uint playbackIndex, int playbackState,
                               const QString &objectId)
{
    answer({playlistId, playbackIndex, playbackState, objectId});
}

void KestRendererReply::position(KestRenderer *, uint position)
{
    answer({position});
}

void KestRendererReply::mediaInfo(KestRenderer *, const KestMediaInfo &mediaInfo)
{
    // Every value travels as a variant: what the bus cannot carry goes as its text, or not at all.
    KestMediaInfo::MetaData metadata = mediaInfo.metaData();
    for (QList<QVariant> &values : metadata) {
        QList<QVariant> wire;
        for (const QVariant &value : std::as_const(values)) {
            const QVariant carried = KestServing::wireValue(value);
            if (carried.isValid())
                wire.append(carried);
        }
        values = wire;
    }
    KestMediaInfo carried(mediaInfo);
    carried.setMetaData(metadata);
    answer({QVariant::fromValue(carried)});
}
