// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTBUSNAME_P_H
#define KESTBUSNAME_P_H

//
//  Not part of the library's API: it may change from version to version without notice.
//

#include <QString>
#include <QStringList>

/*!
 * Reads a bus name as a framework component name.
 *
 * The name is split at every "." with empty pieces kept; all tests are case-sensitive.
 * Names found by listing the bus are matched by prefix (StartsWith); names that leave
 * the bus are matched by substring (Contains).
 */
class KestBusName
{
public:
    enum MatchRule {
        StartsWith,
        Contains
    };

    enum Kind {
        NoComponent,
        Plugin,
        Playlist,
        Source,
        Renderer,
        //! Six pieces under the framework's prefix, but neither a source nor a renderer.
        UnknownExtension
    };

    explicit KestBusName(const QString &name);

    QString name() const;
    QStringList pieces() const;
    //! The plugin name of a plugin, the id of a playlist.
    QString lastPiece() const;

    bool isPlugin() const;
    bool isPlaylist(MatchRule rule) const;
    //! Under the framework's prefix and exactly six pieces.
    bool isExtension(MatchRule rule) const;
    //! Source, Renderer or UnknownExtension for an extension name; NoComponent otherwise.
    Kind extensionKind(MatchRule rule) const;
    QString extensionPluginName() const;
    QString extensionUuid() const;

    /*!
     * The kind, testing in the order that applies to \a rule: plugin, playlist, extension
     * for StartsWith; extension, playlist for Contains (a leaving name is never a plugin).
     */
    Kind classify(MatchRule rule) const;

    /*!
     * True when the name is exactly the one that the naming scheme composes for \a kind from the pieces read
     * from it. Look-alikes, such as com.zorvo.kest.playlist.p.q for playlist q, are not: nobody can reach a
     * component under them.
     */
    bool isComposedAs(Kind kind) const;

    //! Letters, digits and underscores, not starting with a digit: usable in a bus name and a path.
    static bool isValidElement(const QString &element);

    /*
     * Identities that arrive from the bus are checked with these before a name, a path or a
     * match rule is built from them. Uuids and playlist ids also stand in object paths; plugin
     * names of renderers and sources only stand in bus names, so they may also hold '-'. Plugin
     * names of plugin processes stand in their control path as well. Every composed name fits
     * the bus's 255 bytes.
     */
    static bool isValidExtension(const QString &pluginName, const QString &uuid);
    static bool isValidPlaylistId(const QString &id);
    static bool isValidPluginName(const QString &pluginName);
    //! The start of \a id, enough to tell it in a log line however long it is.
    static QString excerpt(const QString &id);

private:
    bool matches(const QString &prefix, MatchRule rule) const;

    QString m_name;
    QStringList m_pieces;
};

#endif
