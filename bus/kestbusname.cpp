// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestbusname_p.h"

#include "kestbusnames_p.h"

namespace {
const int ExtensionPieces = 6;
const int ExtensionPluginPiece = 4;
const int ExtensionUuidPiece = 5;
const int MaxBusNameLength = 255;
const int ExcerptLength = 40;

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Not empty, no digit first, and only letters, digits, '_' and the characters in \a extra.
bool isElement(const QString &element, QLatin1Char extra)
{
    if (element.isEmpty() || isAsciiDigit(element.front()))
        return false;
    for (const QChar c : element) {
        if (!isAsciiLetter(c) && !isAsciiDigit(c) && c != QLatin1Char('_') && c != extra)
            return false;
    }
    return true;
}

bool fits(int prefixLength, int idLength)
{
    return prefixLength + 1 + idLength <= MaxBusNameLength;
}

} // namespace

KestBusName::KestBusName(const QString &name)
    : m_name(name)
    , m_pieces(name.split(QLatin1Char('.')))
{
}

QString KestBusName::name() const
{
    return m_name;
}

QStringList KestBusName::pieces() const
{
    return m_pieces;
}

QString KestBusName::lastPiece() const
{
    return m_pieces.last();
}

bool KestBusName::matches(const QString &prefix, MatchRule rule) const
{
    return rule == StartsWith ? m_name.startsWith(prefix) : m_name.contains(prefix);
}

bool KestBusName::isPlugin() const
{
    return matches(KestBusNames::pluginPrefix(), StartsWith);
}

bool KestBusName::isPlaylist(MatchRule rule) const
{
    return matches(KestBusNames::playlistPrefix(), rule);
}

bool KestBusName::isExtension(MatchRule rule) const
{
    return matches(KestBusNames::kestPrefix(), rule) && m_pieces.size() == ExtensionPieces;
}

KestBusName::Kind KestBusName::extensionKind(MatchRule rule) const
{
    if (!isExtension(rule))
        return NoComponent;
    if (m_name.contains(KestBusNames::sourcePrefix()))
        return Source;
    if (m_name.contains(KestBusNames::rendererPrefix()))
        return Renderer;
    return UnknownExtension;
}

QString KestBusName::extensionPluginName() const
{
    return m_pieces.value(ExtensionPluginPiece);
}

QString KestBusName::extensionUuid() const
{
    return m_pieces.value(ExtensionUuidPiece);
}

KestBusName::Kind KestBusName::classify(MatchRule rule) const
{
    if (rule == StartsWith) {
        if (isPlugin())
            return Plugin;
        if (isPlaylist(StartsWith))
            return Playlist;
        return extensionKind(StartsWith);
    }
    if (isExtension(Contains))
        return extensionKind(Contains);
    return isPlaylist(Contains) ? Playlist : NoComponent;
}

bool KestBusName::isComposedAs(Kind kind) const
{
    switch (kind) {
    case Plugin: return m_name == KestBusNames::pluginService(lastPiece());
    case Playlist: return m_name == KestBusNames::playlistService(lastPiece());
    case Source: return m_name == KestBusNames::sourceService(extensionPluginName(), extensionUuid());
    case Renderer: return m_name == KestBusNames::rendererService(extensionPluginName(), extensionUuid());
    case NoComponent:
    case UnknownExtension: break;
    }
    return false;
}

bool KestBusName::isValidElement(const QString &element)
{
    return isElement(element, QLatin1Char('_'));
}

bool KestBusName::isValidExtension(const QString &pluginName, const QString &uuid)
{
    // The renderer prefix is the longer of the two kinds.
    return isElement(pluginName, QLatin1Char('-')) && isValidElement(uuid)
        && fits(KestBusNames::rendererPrefix().size(), pluginName.size() + 1 + uuid.size());
}

bool KestBusName::isValidPlaylistId(const QString &id)
{
    return isValidElement(id) && fits(KestBusNames::playlistPrefix().size(), id.size());
}

bool KestBusName::isValidPluginName(const QString &pluginName)
{
    return isValidElement(pluginName) && fits(KestBusNames::pluginPrefix().size(), pluginName.size());
}

QString KestBusName::excerpt(const QString &id)
{
    return id.size() <= ExcerptLength ? id : id.left(ExcerptLength) + QStringLiteral("...");
}
