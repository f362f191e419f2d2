// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLRENDERERCOMMAND_H
#define KESTCTLRENDERERCOMMAND_H

#include "kestctlcommand.h"

#include <kesterror.h>
#include <kestmediainfo.h>

#include <QList>
#include <QUrl>
#include <QVariant>

class KestProxyRenderer;
class KestProxyRendererRequest;
class KestRenderer;

/*
 * kest-ctl renderer UUID ...: one playback command or query on one renderer, through the
 * request objects of its proxy, waiting for the renderer's answer.
 */
class KestCtlRendererCommand : public KestCtlCommand
{
    Q_OBJECT
public:
    using KestCtlCommand::KestCtlCommand;

    bool parse(const QStringList &arguments, const KestCtlOptions &options) override;

    //! "playing" for KestRenderer::Playing; states the core framework does not name are "unknown".
    static QString stateName(int state);

public Q_SLOTS:
    void start() override;
    //! A failure, or the success notice of a playback command or status query.
    void onError(KestRenderer *renderer, const KestError &error);
    void onStatus(KestRenderer *renderer, const QString &playlistId, uint playbackIndex, int playbackState,
                  const QString &objectId);
    void onPosition(KestRenderer *renderer, uint position);
    void onProperty(const QString &name, const QVariant &value);
    void onMediaInfo(KestRenderer *renderer, const KestMediaInfo &mediaInfo);

private:
    enum Action {
        Playback,
        Status,
        Position,
        Property,
        MediaInfo
    };

    bool parseCommand(const QString &command, const QStringList &arguments);
    bool readSeekMode(const QString &text, int *mode);
    KestProxyRendererRequest *createRequest(KestProxyRenderer *renderer);

    QString m_uuid;
    Action m_action = Playback;
    //! The bus method called, as messages name it.
    QString m_method;
    QUrl m_url;
    QList<QVariant> m_arguments;
    QString m_propertyName;
    QVariant m_propertyValue;
    QStringList m_mediaKeys;
};

#endif
