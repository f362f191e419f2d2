// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTPROXYPLAYLIST_H
#define KESTPROXYPLAYLIST_H

#include "qkestshared_export.h"

#include <kestplaylist.h>

#include <QDBusConnection>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class KestProxyPlaylistPrivate;

/*!
 * A read-only local view of a playlist that another process exports (see KestPlaylistAdaptor).
 *
 * Name (once known), size and current index are answered from local copies that follow the
 * remote playlist's signals once connectToPlaylistSignals() has been called; every other
 * question is one blocking round trip. Operations that would change the playlist do nothing.
 */
class QKESTSHARED_EXPORT KestProxyPlaylist : public KestPlaylist
{
    Q_OBJECT
public:
    KestProxyPlaylist(const QString &id, const QString &name, int size, int currentIndex);
    ~KestProxyPlaylist() override;

    bool connectToPlaylistSignals();
    bool connectToSignal(const QString &name, const char *slot);
    QVariant makeDBusMethodCall(const QString &method, const QList<QVariant> &arguments) const;
    //! Fetches the name from the remote playlist; blocking whatever \a mode says.
    bool getName(QDBus::CallMode mode);
    void updateSize(int remove, int get);
    void updateCurrentIndex(int from, int remove, int get);

    QString name() override;
    /*!
     * The remote playlist's item model, a KestProxyModel created on first use, in Blocking mode,
     * and owned by the playlist. An application that shows it in a view switches it to
     * KestProxyModel::Background.
     */
    QAbstractItemModel *model() override;
    void sort(int column, KestPlaylist::KestSortOrder order) override;
    void sort(const QString &key, KestPlaylist::KestSortOrder order) override;
    QStringList getColumnNames() override;
    void shuffle() override;
    void unShuffle() override;
    bool removeItem(int index) override;
    bool removeItems(int index, int count) override;
    bool moveItem(int from, int to) override;
    void clear() override;
    //! A new content carrying only the item's uuid (the caller owns it); null when there is none.
    KestContent *getItem(int index) override;
    int size() override;
    int getCurrentIndex() override;
    int getNext(int index) override;
    int getPrevious(int index) override;
    void setRepeat(KestPlaylist::KestRepeatMode mode) override;
    KestPlaylist::KestRepeatMode repeatMode() override;
    KestPlaylist::KestSortOrder getSortOrder() override;
    bool isShuffled() override;
    bool import(QFile &file) override;
    KestMediaInfo getItemMediaInfo(int index) override;

    void destroy();
    void insertItem(int index, KestContent *content);
    void appendItem(KestContent *content);
    bool removeItem(KestContent *content);
    bool insertUri(int index, const QString &uri);
    bool appendUri(const QString &uri);
    int getStartingIndex();
    int getLastIndex();
    //! A proxy cannot rename the remote playlist.
    void setName(const QString &name);

public Q_SLOTS:
    void catchContentsChangedSignal(QString id, uint from, uint remove, uint get);
    void catchPlaylistUpdatedSignal(QString id, int updated, int newIndex);
    void catchItemMovedSignal(uint from, uint to);
    void catchPropertyChangedSignal(QString property);
    void catchRepeatModeChangedSignal();

private:
    std::unique_ptr<KestProxyPlaylistPrivate> const d;
};

#endif
