// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLLISTCOMMAND_H
#define KESTCTLLISTCOMMAND_H

#include "kestctlcommand.h"

#include <QHash>
#include <QJsonArray>
#include <QList>

class KestCtlProbe;

/*
 * kest-ctl list [renderers|sources|playlists|plugins]: every component on the bus now.
 *
 * After the tracker has created its proxies, every component is asked one question of the
 * tool's own, all at once and within the timeout: renderers and sources their name, which the
 * proxies fetch without telling when it has come; playlists their current index, which a proxy
 * found on the bus does not know. A component that does not answer is listed without them.
 */
class KestCtlListCommand : public KestCtlCommand
{
    Q_OBJECT
public:
    using KestCtlCommand::KestCtlCommand;

    bool parse(const QStringList &arguments, const KestCtlOptions &options) override;

public Q_SLOTS:
    void start() override;

private:
    enum Kind {
        Renderers = 0x1,
        Sources = 0x2,
        Playlists = 0x4,
        Plugins = 0x8
    };

    void ask(const QString &service, const QString &path, const QString &interface, const QString &member);
    void probeFinished();
    /*!
     * The answer of the component at \a service, reporting \a component when it is silent; null
     * when it has left the bus, or was not asked.
     */
    const KestCtlProbe *answer(const QString &service, const QString &component);
    //! It answered, if only with an error.
    static bool isResponsive(const KestCtlProbe *probe);
    void listExtensions();
    void addExtension(const QString &kind, const QString &plugin, const QString &uuid, const QString &name,
                      const QString &service);
    void listPlaylists();
    void listPlugins();
    void add(const QJsonObject &object, const QStringList &row);

    int m_kinds = Renderers | Sources | Playlists | Plugins;
    QHash<QString, KestCtlProbe *> m_probes;
    QJsonArray m_objects;
    QList<QStringList> m_rows;
    bool m_silence = false;
};

#endif
