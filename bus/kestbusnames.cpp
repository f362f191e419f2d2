// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestbusnames_p.h"

QString KestBusNames::rendererService(const QString &pluginName, const QString &uuid)
{
    return rendererPrefix() + QLatin1Char('.') + pluginName + QLatin1Char('.') + uuid;
}

QString KestBusNames::rendererPath(const QString &uuid)
{
    return QStringLiteral("/com/zorvo/kest/renderer/") + uuid;
}

QString KestBusNames::sourceService(const QString &pluginName, const QString &uuid)
{
    return QStringLiteral("%1.%2.%3").arg(sourcePrefix(), pluginName, uuid);
}

QString KestBusNames::sourcePath(const QString &uuid)
{
    return QStringLiteral("%1/%2").arg(QStringLiteral("/com/zorvo/kest/source"), uuid);
}

QString KestBusNames::proxySourcePath(const QString &uuid)
{
    return QStringLiteral("%1/%2").arg(QStringLiteral("/com/zorvo/kest/proxy_source"), uuid);
}

QString KestBusNames::playlistService(const QString &id)
{
    return QStringLiteral("%1.%2").arg(playlistPrefix(), id);
}

QString KestBusNames::playlistPath(const QString &id)
{
    return QStringLiteral("%1/%2").arg(playlistRootPath(), id);
}

QString KestBusNames::playlistModelPath(const QString &id)
{
    return QStringLiteral("%1/%2").arg(QStringLiteral("/com/zorvo/kest/playlistmodel"), id);
}

QString KestBusNames::pluginService(const QString &pluginName)
{
    return pluginPrefix() + QLatin1Char('.') + pluginName;
}

QString KestBusNames::pluginPath(const QString &pluginName)
{
    return QStringLiteral("/com/zorvo/kest/plugin") + QLatin1Char('/') + pluginName;
}
