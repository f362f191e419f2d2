// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestctlplaylistcommand.h"

#include "kestctloutput.h"
#include "kestctlvalue.h"

#include "kestbusnames_p.h"
#include <qkest-shared/kestproxyplaylist.h>

#include <kestregistry.h>

#include <QAbstractItemModel>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>

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
    auto *playlist = qobject_cast<KestProxyPlaylist *>(registry->findPlaylist(m_id));
    setComponent(QStringLiteral("playlist ") + m_id, KestBusNames::playlistService(m_id));
    if (!playlist) {
        fail(ExitNoSuchComponent, QStringLiteral("not on the bus"));
        return;
    }
    connect(registry, &KestRegistry::playlistRemoved, this, [this, playlist](KestPlaylist *removed) {
        if (removed == playlist)
            componentLeft();
    });
    // The tracker has asked the playlist it found for its size, current index and name, in this
    // order, and the publisher answers in order: once the name has come, the rest is in too.
    connect(playlist, &KestProxyPlaylist::nameChanged, this, [this, playlist] { fetchItems(playlist); });
    expect(QStringLiteral("answer"));
}

void KestCtlPlaylistCommand::fetchItems(KestProxyPlaylist *playlist)
{
    if (isConcluded())
        return;
    // The model answers each read with a round trip, so its items are there at once. A model that
    // fetched them in the background would call print() once they have come.
    print(playlist, playlist->model());
}

void KestCtlPlaylistCommand::print(KestProxyPlaylist *playlist, QAbstractItemModel *model)
{
    // A read that lasted the whole timeout met a silent publisher; the library fails the rest at once.
    bool silent = false;
    const auto read = [this, &silent](auto call) {
        QElapsedTimer clock;
        clock.start();
        const auto value = call();
        silent = silent || clock.elapsed() >= timeout();
        return value;
    };
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
    if (silent) {
        fail(ExitNoAnswer, QStringLiteral("no answer within ") + timeoutText());
        return;
    }

    const QString name = playlist->name();
    const int size = playlist->size();
    const int currentIndex = playlist->getCurrentIndex();
    if (output().json()) {
        output().document(QJsonObject{{QStringLiteral("id"), m_id},
                                      {QStringLiteral("name"), name},
                                      {QStringLiteral("size"), size},
                                      {QStringLiteral("currentIndex"), currentIndex},
                                      {QStringLiteral("columns"), headers},
                                      {QStringLiteral("items"), items}});
    } else {
        output().table({{QStringLiteral("id"), m_id},
                        {QStringLiteral("name"), name},
                        {QStringLiteral("size"), QString::number(size)},
                        {QStringLiteral("currentIndex"), QString::number(currentIndex)}});
        output().line(QString());
        output().table(itemRows);
    }
    finish(ExitDone);
}
