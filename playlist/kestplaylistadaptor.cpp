// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestplaylistadaptor.h"
#include "kestplaylistadaptor_p.h"

#include "kestbusname_p.h"
#include "kestbusnames_p.h"
#include "kestbusregistration_p.h"
#include "kestlogging_p.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <memory>

namespace {

void sendReply(const QDBusMessage &message, const QString &uuid, const char *failure)
{
    // This reply is the only one: the bus library must not add an empty one after the slot.
    message.setDelayedReply(true);
    if (!QDBusConnection::sessionBus().send(message.createReply(uuid)))
        qCWarning(lcKestPlaylist) << failure;
}

bool sendSignal(const QString &path, const QString &member, const QList<QVariant> &arguments, const char *failure)
{
    QDBusMessage signal = QDBusMessage::createSignal(path, KestBusNames::playlistInterface(), member);
    signal.setArguments(arguments);
    if (QDBusConnection::sessionBus().send(signal))
        return true;
    qCWarning(lcKestPlaylist) << failure;
    return false;
}

} // namespace

KestPlaylistAdaptor::KestPlaylistAdaptor(KestPlaylist &playlist)
    : QDBusAbstractAdaptor(&playlist)
    , d(new KestPlaylistAdaptorPrivate(&playlist))
{
}

KestPlaylistAdaptor::~KestPlaylistAdaptor()
{
    withdraw();
}

void KestPlaylistAdaptor::withdraw()
{
    disconnect(d->m_playlist, nullptr, this, nullptr);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!d->m_objectPath.isEmpty())
        bus.unregisterObject(d->m_objectPath, QDBusConnection::UnregisterNode);
    if (!d->m_serviceName.isEmpty())
        bus.unregisterService(d->m_serviceName);
    d->m_objectPath.clear();
    d->m_serviceName.clear();
}

bool KestPlaylistAdaptor::init()
{
    qCDebug(lcKestPlaylist) << "KestPlaylistAdaptor::init()";
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString id = d->m_playlist->id();
    const QString serviceName = KestBusNames::playlistService(id);
    QString objectPath;

    // An id that cannot stand in a bus name and a path would claim a name that others read
    // as another playlist, or a name without an object.
    if (KestBusName::isValidElement(id) && KestBusRegistration::claimName(serviceName)) {
        d->m_serviceName = serviceName;
        objectPath = KestBusNames::playlistPath(id);
        if (bus.registerObject(objectPath, d->m_playlist, QDBusConnection::ExportAdaptors)) {
            d->m_objectPath = objectPath;
            qCDebug(lcKestPlaylist) << "KestPlaylistAdaptor: object registered in path: " << d->m_objectPath;
            // Changes are relayed only while the playlist is on the bus under its own name and path:
            // before, or after a refusal, the path may belong to another process.
            connect(d->m_playlist, &KestPlaylist::contentsChanged, this, &KestPlaylistAdaptor::send_contents_changed,
                    Qt::UniqueConnection);
            connect(d->m_playlist, &KestPlaylist::repeatModeChanged, this,
                    &KestPlaylistAdaptor::send_repeat_mode_changed, Qt::UniqueConnection);
            connect(d->m_playlist, &KestPlaylist::playlistUpdated, this, &KestPlaylistAdaptor::sendPlaylistUpdated,
                    Qt::UniqueConnection);
            return sendPlaylistCreatedSignal();
        }
    }
    qCWarning(lcKestPlaylist).nospace() << "KestPlaylistAdaptor: init failed (path=" << objectPath
                                        << ", service=" << serviceName << ")";
    return false;
}

QString KestPlaylistAdaptor::get_name()
{
    return d->m_playlist->name();
}

QString KestPlaylistAdaptor::id()
{
    return d->m_playlist->id();
}

void KestPlaylistAdaptor::shuffle()
{
    d->m_playlist->shuffle();
}

void KestPlaylistAdaptor::unshuffle()
{
    d->m_playlist->unShuffle();
}

void KestPlaylistAdaptor::get_item(int index, const QDBusMessage &message)
{
    qCDebug(lcKestPlaylist) << "KestPlaylistAdaptor::get_item";
    const std::unique_ptr<KestContent> content(d->m_playlist->getItem(index));
    QString uuid;
    if (content)
        uuid = content->uuid();
    else
        qCDebug(lcKestPlaylist) << "KestPlaylistAdaptor::get_item, item not found.";
    sendReply(message, uuid, "Could not send reply for get_item!");
}

void KestPlaylistAdaptor::get_item_media_info(int index, const QDBusMessage &message)
{
    qCDebug(lcKestPlaylist) << "KestPlaylistAdaptor::get_item_media_info";
    const KestMediaInfo info = d->m_playlist->getItemMediaInfo(index);
    QString uuid;
    if (info.isValid())
        uuid = info.uuid();
    else
        qCDebug(lcKestPlaylist) << "KestPlaylistAdaptor::get_item_media_info, item not found.";
    sendReply(message, uuid, "Could not send reply for get_item_media_info!");
}

uint KestPlaylistAdaptor::get_size()
{
    return uint(d->m_playlist->size());
}

int KestPlaylistAdaptor::get_current()
{
    qCDebug(lcKestPlaylist) << "KestPlaylistAdaptor::get_current";
    return d->m_playlist->getCurrentIndex();
}

int KestPlaylistAdaptor::get_next(int index)
{
    qCDebug(lcKestPlaylist) << "KestPlaylistAdaptor::get_next";
    return d->m_playlist->getNext(index);
}

int KestPlaylistAdaptor::get_prev(int index)
{
    qCDebug(lcKestPlaylist) << "KestPlaylistAdaptor::get_prev";
    return d->m_playlist->getPrevious(index);
}

void KestPlaylistAdaptor::set_repeat(int repeat)
{
    if (uint(repeat) > uint(KestPlaylist::RepeatAll)) {
        qCWarning(lcKestPlaylist) << "KestPlaylistAdaptor::set_repeat bad mode" << repeat;
        return;
    }
    d->m_playlist->setRepeat(KestPlaylist::KestRepeatMode(repeat));
}

int KestPlaylistAdaptor::get_repeat()
{
    return d->m_playlist->repeatMode();
}

bool KestPlaylistAdaptor::is_shuffled()
{
    return d->m_playlist->isShuffled();
}

void KestPlaylistAdaptor::increment_use_count()
{
}

void KestPlaylistAdaptor::decrement_use_count()
{
}

uint KestPlaylistAdaptor::get_sort_order()
{
    return uint(d->m_playlist->getSortOrder());
}

void KestPlaylistAdaptor::send_contents_changed(uint from, uint remove, uint get)
{
    qCDebug(lcKestPlaylist) << "void KestPlaylistAdaptor::send_contents_changed(uint, uint, uint)";
    const QString id = d->m_playlist->id();
    sendSignal(KestBusNames::playlistPath(id), QStringLiteral("contents_changed"), {id, from, remove, get},
               "Sending KEST_PLAYLIST_CONTENTS_CHANGED failed.");
}

void KestPlaylistAdaptor::sendPlaylistUpdated(KestPlaylist::KestPlaylistUpdate update, int newIndex)
{
    qCDebug(lcKestPlaylist) << "void KestPlaylistAdaptor::sendPlaylistUpdated(KestPlaylist::KestPlaylistUpdate, int)";
    const QString id = d->m_playlist->id();
    sendSignal(KestBusNames::playlistPath(id), QStringLiteral("playlist_updated"), {id, int(update), newIndex},
               "Sending KEST_PLAYLIST_UPDATED failed.");
}

bool KestPlaylistAdaptor::sendPlaylistCreatedSignal()
{
    qCDebug(lcKestPlaylist) << "KestPlaylistAdaptor: sendPlaylistCreatedSignal";
    return sendSignal(KestBusNames::playlistRootPath(), QStringLiteral("playlist_created"),
                      {d->m_playlist->id(), d->m_playlist->name(), d->m_playlist->size(),
                       d->m_playlist->getCurrentIndex()},
                      "KestPlaylistAdaptor: Signalling (playlist_created) failed.");
}

void KestPlaylistAdaptor::send_repeat_mode_changed()
{
    qCDebug(lcKestPlaylist) << "void KestPlaylistAdaptor::send_repeat_mode_changed()";
    const QString id = d->m_playlist->id();
    sendSignal(KestBusNames::playlistPath(id), QStringLiteral("repeat_mode_changed"), {id},
               "Sending KEST_PLAYLIST_REPEAT_MODE_CHANGED failed.");
}
