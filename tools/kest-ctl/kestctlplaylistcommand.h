// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLPLAYLISTCOMMAND_H
#define KESTCTLPLAYLISTCOMMAND_H

#include "kestctlcommand.h"

class KestPlaylist;

/*
 * kest-ctl playlist ID show: the playlist that another application publishes, with every item
 * in every column of its model.
 */
class KestCtlPlaylistCommand : public KestCtlCommand
{
    Q_OBJECT
public:
    using KestCtlCommand::KestCtlCommand;

    bool parse(const QStringList &arguments, const KestCtlOptions &options) override;

public Q_SLOTS:
    void start() override;

private:
    void show(KestPlaylist *playlist, int currentIndex);

    QString m_id;
};

#endif
