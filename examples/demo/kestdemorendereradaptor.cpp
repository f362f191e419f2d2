// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestdemorendereradaptor.h"

#include <kestrenderer.h>

KestDemoRendererAdaptor::KestDemoRendererAdaptor(QObject *component)
    : QDBusAbstractAdaptor(component)
    , m_state(KestRenderer::Stopped)
    , m_playedBefore(0)
{
    setAutoRelaySignals(true);
}

void KestDemoRendererAdaptor::setState(int state)
{
    if (state == KestRenderer::Playing)
        m_clock.start();
    else if (m_state == KestRenderer::Playing)
        m_playedBefore += m_clock.elapsed();
    if (state == KestRenderer::Stopped)
        m_playedBefore = 0;
    m_state = state;
    Q_EMIT state_changed(state);
}

void KestDemoRendererAdaptor::play()
{
    setState(KestRenderer::Playing);
}

void KestDemoRendererAdaptor::play_uri(const QString &uri, uint)
{
    m_uri = uri;
    m_playedBefore = 0;
    Q_EMIT media_changed(0, uri);
    setState(KestRenderer::Playing);
}

void KestDemoRendererAdaptor::stop()
{
    setState(KestRenderer::Stopped);
}

void KestDemoRendererAdaptor::pause()
{
    setState(KestRenderer::Paused);
}

void KestDemoRendererAdaptor::resume()
{
    setState(KestRenderer::Playing);
}

void KestDemoRendererAdaptor::assign_playlist(const QString &playlistId)
{
    m_playlistId = playlistId;
    Q_EMIT playlist_changed(playlistId);
}

QString KestDemoRendererAdaptor::get_status(uint &playbackIndex, int &playbackState, QString &objectId)
{
    playbackIndex = 0;
    playbackState = m_state;
    objectId = m_uri;
    return m_playlistId;
}

uint KestDemoRendererAdaptor::get_position()
{
    return uint(m_playedBefore + (m_state == KestRenderer::Playing ? m_clock.elapsed() : 0));
}

KestMediaInfo KestDemoRendererAdaptor::get_current_media_info(const QString &)
{
    KestMediaInfo info(m_uri);
    info.setMetaData({{QStringLiteral("uri"), {m_uri}}});
    return info;
}
