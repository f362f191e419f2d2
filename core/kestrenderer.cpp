// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestrenderer.h"

KestRenderer::KestRenderer(const QString &uuid, const QString &pluginName, QObject *parent)
    : QObject(parent)
    , m_uuid(uuid)
    , m_pluginName(pluginName)
{
}

KestRenderer::~KestRenderer() = default;

QString KestRenderer::uuid() const
{
    return m_uuid;
}

QString KestRenderer::pluginName() const
{
    return m_pluginName;
}

QString KestRenderer::name() const
{
    return m_name;
}

bool KestRenderer::play()
{
    return false;
}

bool KestRenderer::play(const QUrl &, uint)
{
    return false;
}

bool KestRenderer::play(const QUrl &, const QString &)
{
    return false;
}

bool KestRenderer::stop()
{
    return false;
}

bool KestRenderer::pause()
{
    return false;
}

bool KestRenderer::pauseAt(uint)
{
    return false;
}

bool KestRenderer::resume()
{
    return false;
}

bool KestRenderer::next()
{
    return false;
}

bool KestRenderer::previous()
{
    return false;
}

bool KestRenderer::gotoIndex(uint)
{
    return false;
}

bool KestRenderer::setPosition(int, KestRenderer::SeekMode)
{
    return false;
}

bool KestRenderer::getStatus(QObject *, const char *)
{
    return false;
}

bool KestRenderer::assignPlaylist(KestPlaylist *)
{
    return false;
}

bool KestRenderer::getPosition(QObject *, const char *)
{
    return false;
}

bool KestRenderer::setKestProperty(const QString &name, const QVariant &value)
{
    setProperty(name.toLatin1().constData(), value);
    return true;
}

bool KestRenderer::kestProperty(QString &, QObject *, const char *)
{
    return false;
}

bool KestRenderer::getCurrentMediaInfo(QObject *, const char *, const QString &)
{
    return false;
}
