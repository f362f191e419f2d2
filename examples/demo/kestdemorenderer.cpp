// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "kestdemorenderer.h"

#include <kestcallbackhelper.h>

KestDemoRenderer::KestDemoRenderer(const QString &uuid, const QString &pluginName, const QString &name)
    : KestRenderer(uuid, pluginName)
{
    m_name = name;
}

bool KestDemoRenderer::setState(State state)
{
    if (state == Playing)
        m_clock.start();
    else if (m_state == Playing)
        m_playedBefore += m_clock.elapsed();
    if (state == Stopped)
        m_playedBefore = 0;
    m_state = state;
    Q_EMIT stateChanged(state);
    return true;
}

bool KestDemoRenderer::play()
{
    return setState(Playing);
}

bool KestDemoRenderer::play(const QUrl &url, uint)
{
    m_uri = QString::fromUtf8(url.toEncoded());
    m_playedBefore = 0;
    Q_EMIT mediaChanged(0, KestContent(m_uri));
    return setState(Playing);
}

bool KestDemoRenderer::stop()
{
    return setState(Stopped);
}

bool KestDemoRenderer::pause()
{
    return setState(Paused);
}

bool KestDemoRenderer::resume()
{
    return setState(Playing);
}

// The answers go to the receiver at once; a renderer may as well call it later.
bool KestDemoRenderer::getStatus(QObject *receiver, const char *member)
{
    return KestCallbackHelper::invokeGetStatusCallback(this, QString(), 0, m_state, m_uri, receiver, member);
}

bool KestDemoRenderer::getPosition(QObject *receiver, const char *member)
{
    const qint64 position = m_playedBefore + (m_state == Playing ? m_clock.elapsed() : 0);
    return KestCallbackHelper::invokeGetPositionCallback(this, uint(position), receiver, member);
}

bool KestDemoRenderer::getCurrentMediaInfo(QObject *receiver, const char *member, const QString &)
{
    KestMediaInfo info(m_uri);
    info.setMetaData({{QStringLiteral("uri"), {m_uri}}});
    return KestCallbackHelper::invokeGetMediaInfoCallback(this, info, receiver, member);
}

bool KestDemoRenderer::kestProperty(QString &name, QObject *receiver, const char *member)
{
    return KestCallbackHelper::invoke(receiver, member, name, property(name.toLatin1().constData()));
}
