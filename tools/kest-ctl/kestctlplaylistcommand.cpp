// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlplaylistcommand.h"

#include "kestctlblockingguard.h"
#include "kestctloutput.h"
#include "kestctlprobe.h"
#include "kestctlvalue.h"

#include "kestbusnames_p.h"

#include <kestplaylist.h>
#include <kestregistry.h>

#include <QAbstractItemModel>
#include <QJsonArray>
#include <QJsonObject>
#include <QPointer>

bool KestCtlPlaylistCommand::parse(const QStringList &arguments, const KestCtlOptions &options)
{
    if (!acceptOptions(options, {}))
        return false;
    if (arguments.size() != 2 || arguments.at(1) != QLatin1String("show"))
        return usage(QStringLiteral("the playlist command is: playlist ID show"));
    return readElement(arguments.at(0), QStringLiteral("playlist id"), &m_id);
}

void KestCtlPlaylistCommand::start()
{
    if (!initializeTracker(KestShared::TrackPlaylists))
        return;
    KestRegistry *registry = KestRegistry::instance();
    KestPlaylist *playlist = registry->findPlaylist(m_id);
    setComponent(QStringLiteral("playlist ") + m_id, KestBusNames::playlistService(m_id));
    if (!playlist) {
        fail(ExitNoSuchComponent, QStringLiteral("not on the bus"));
        return;
    }
    connect(registry, &KestRegistry::playlistRemoved, this, [this, playlist](KestPlaylist *removed) {
        if (removed == playlist)
            componentLeft();
    });
    // Every read of a proxy playlist waits with the bus's long default time-out, so see first
    // whether the publisher answers at all. The question asked is the current index, which a
    // proxy found on the bus does not know: it starts at 0.
    const QPointer<KestPlaylist> guarded(playlist);
    probe(KestBusNames::playlistPath(m_id), KestBusNames::playlistInterface(), QStringLiteral("get_current"),
          [this, guarded](const KestCtlProbe &answer) {
              const QVariant current = answer.reply().arguments().value(0);
              if (guarded)
                  show(guarded, current.isValid() ? current.toInt() : guarded->getCurrentIndex());
          });
}

void KestCtlPlaylistCommand::show(KestPlaylist *playlist, int currentIndex)
{
    const QString silence = QStringLiteral("%1: no answer within %2").arg(component(), timeoutText());
    const auto read = [this, &silence](auto call) { return KestCtlBlockingGuard::bound(silence, timeout(), call); };

    const QString name = read([playlist] { return playlist->name(); });
    QAbstractItemModel *model = read([playlist] { return playlist->model(); });
    const int rows = read([model] { return model->rowCount(); });
    const int columns = read([model] { return model->columnCount(); });

    QJsonArray headers;
    QStringList headerRow{QStringLiteral("#")};
    for (int column = 0; column < columns; ++column) {
        const QVariant header = read([model, column] { return model->headerData(column, Qt::Horizontal); });
        headers.append(KestCtlValue::toJson(header));
        headerRow << KestCtlValue::toText(headers.last().toVariant());
    }
    QJsonArray items;
    QList<QStringList> itemRows{headerRow};
    for (int row = 0; row < rows; ++row) {
        QJsonArray cells;
        QStringList itemRow{QString::number(row)};
        for (int column = 0; column < columns; ++column) {
            const QVariant cell = read([model, row, column] { return model->data(model->index(row, column)); });
            cells.append(KestCtlValue::toJson(cell));
            itemRow << (cell.isValid() ? KestCtlValue::toText(cells.last().toVariant()) : QString());
        }
        items.append(cells);
        itemRows.append(itemRow);
    }

    if (output().json()) {
        output().document(QJsonObject{{QStringLiteral("id"), m_id},
                                      {QStringLiteral("name"), name},
                                      {QStringLiteral("size"), rows},
                                      {QStringLiteral("currentIndex"), currentIndex},
                                      {QStringLiteral("columns"), headers},
                                      {QStringLiteral("items"), items}});
    } else {
        output().table({{QStringLiteral("id"), m_id},
                        {QStringLiteral("name"), name},
                        {QStringLiteral("size"), QString::number(rows)},
                        {QStringLiteral("currentIndex"), QString::number(currentIndex)}});
        output().line(QString());
        output().table(itemRows);
    }
    finish(ExitDone);
}
