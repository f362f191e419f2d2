// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLLISTCOMMAND_H
#define KESTCTLLISTCOMMAND_H

#include "kestctlcommand.h"

#include <QJsonArray>
#include <QList>
#include <QSet>

class KestPlaylist;
class KestRenderer;
class KestSource;

/*
 * kest-ctl list [renderers|sources|playlists|plugins]: every component on the bus now.
 *
 * The proxies that the tracker creates ask their components for their names (and playlists for
 * their size and current index); the list is printed once every component has answered, or at
 * the timeout, with the silent ones listed without them and reported.
 */
class KestCtlListCommand : public KestCtlCommand
{
    Q_OBJECT
public:
    using KestCtlCommand::KestCtlCommand;

    bool parse(const QStringList &arguments, const KestCtlOptions &options) override;

public Q_SLOTS:
    void start() override;

protected:
    //! Lists what has come, the silent components without their names.
    void timedOut() override;

private:
    enum Kind {
        Renderers = 0x1,
        Sources = 0x2,
        Playlists = 0x4,
        Plugins = 0x8
    };

    void awaitRenderers();
    void awaitSources();
    void awaitPlaylists();
    //! \a component has answered, or left the bus.
    void answered(const QObject *component);
    void printIfComplete();
    void print();
    //! True when \a component has answered; reports it otherwise.
    bool hasAnswered(const QObject *component, const QString &name);
    void listExtensions();
    void addExtension(const QString &kind, const QString &plugin, const QString &uuid, const QString &name,
                      const QString &service);
    void listPlaylists();
    void listPlugins();
    void add(const QJsonObject &object, const QStringList &row);

    int m_kinds = Renderers | Sources | Playlists | Plugins;
    // The components found at the start, by id; those that leave are taken out.
    QList<KestRenderer *> m_renderers;
    QList<KestSource *> m_sources;
    QList<KestPlaylist *> m_playlists;
    QSet<const QObject *> m_awaited;
    QStringList m_activatable;
    bool m_pluginsListed = false;
    QJsonArray m_objects;
    QList<QStringList> m_rows;
};

#endif
