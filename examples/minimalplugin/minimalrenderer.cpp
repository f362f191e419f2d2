// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: BSD-3-Clause

#include "minimalrenderer.h"

#include <kestcallbackhelper.h>

//! [identity]
// The uuid and the plugin name make the renderer's bus name: letters, digits and '_'.
MinimalRenderer::MinimalRenderer()
    : KestRenderer(QStringLiteral("minimal_player"), QStringLiteral("minimal"))
{
    m_name = QStringLiteral("Minimal player");
}
//! [identity]

//! [command]
bool MinimalRenderer::play(const QUrl &url, uint)
{
    m_playing = url.toString();
    Q_EMIT stateChanged(Playing); // goes out as state_changed
    return true;
}
//! [command]

bool MinimalRenderer::stop()
{
    m_playing.clear();
    Q_EMIT stateChanged(Stopped);
    return true;
}

//! [query]
bool MinimalRenderer::getStatus(QObject *receiver, const char *member)
{
    return KestCallbackHelper::invokeGetStatusCallback(this, QString(), 0, m_playing.isEmpty() ? Stopped : Playing,
                                                       m_playing, receiver, member);
}
//! [query]
