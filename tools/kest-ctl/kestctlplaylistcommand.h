// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCTLPLAYLISTCOMMAND_H
#define KESTCTLPLAYLISTCOMMAND_H

#include "kestctlcommand.h"

class KestProxyPlaylist;
class QAbstractItemModel;

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
    //! Once the playlist's name, size and current index have come: its items.
    void fetchItems(KestProxyPlaylist *playlist);
    void print(KestProxyPlaylist *playlist, QAbstractItemModel *model);

    QString m_id;
};

#endif
