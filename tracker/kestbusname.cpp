#include "kestbusname.h"

#include "kestbusnames.h"

#include <QRegularExpression>

namespace {
const int ExtensionPieces = 6;
const int ExtensionPluginPiece = 4;
const int ExtensionUuidPiece = 5;
}

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

bool KestBusName::isValidElement(const QString &element)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return pattern.match(element).hasMatch();
}
