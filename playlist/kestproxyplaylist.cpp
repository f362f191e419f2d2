// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestproxyplaylist.h"
#include "kestproxyplaylist_p.h"

#include "kestbuscall_p.h"
#include "kestbusnames_p.h"
#include "kestlogging_p.h"
#include "kestproxymodel.h"

#include <QDBusPendingCallWatcher>
#include <QMetaEnum>

#include <algorithm>
#include <functional>
#include <limits>
#include <utility>

namespace {

// Enumeration values that arrive from the bus are used only when the enumeration has them.
template<typename Enum>
bool isKnownValue(int value)
{
    return QMetaEnum::fromType<Enum>().valueToKey(value) != nullptr;
}

} // namespace

KestProxyPlaylistPrivate::KestProxyPlaylistPrivate(const QString &id, int size, int currentIndex)
    : m_serviceName(KestBusNames::playlistService(id))
    , m_objectPath(KestBusNames::playlistPath(id))
    // Announced by another process: no size below 0, no current index below "none".
    , m_currentIndex(std::max(-1, currentIndex))
    , m_size(std::max(0, size))
{
}

KestProxyPlaylist::KestProxyPlaylist(const QString &id, const QString &name, int size, int currentIndex)
    : KestPlaylist(id, name)
    , d(new KestProxyPlaylistPrivate(id, size, currentIndex))
{
}

KestProxyPlaylist::~KestProxyPlaylist() = default;

bool KestProxyPlaylist::connectToPlaylistSignals()
{
    qCDebug(lcKestPlaylist) << "KestProxyPlaylist::connectToPlaylistSignals()";
    if (d->m_signalsConnected)
        return true;
    if (!QDBusConnection::sessionBus().isConnected())
        return false;
    d->m_signalsConnected = connectToSignal(QStringLiteral("contents_changed"),
                                            SLOT(catchContentsChangedSignal(QString, uint, uint, uint)))
        && connectToSignal(QStringLiteral("item_moved"), SLOT(catchItemMovedSignal(uint, uint)))
        && connectToSignal(QStringLiteral("property_changed"), SLOT(catchPropertyChangedSignal(QString)))
        && connectToSignal(QStringLiteral("repeat_mode_changed"), SLOT(catchRepeatModeChangedSignal()))
        && connectToSignal(QStringLiteral("playlist_updated"), SLOT(catchPlaylistUpdatedSignal(QString, int, int)));
    return d->m_signalsConnected;
}

bool KestProxyPlaylist::connectToSignal(const QString &name, const char *slot)
{
    if (QDBusConnection::sessionBus().connect(d->m_serviceName, d->m_objectPath, KestBusNames::playlistInterface(),
                                              name, this, slot))
        return true;
    qCWarning(lcKestPlaylist).nospace() << "KestProxyPlaylist: connect to signal: " << name << " failed.";
    return false;
}

QVariant KestProxyPlaylist::makeDBusMethodCall(const QString &method, const QList<QVariant> &arguments) const
{
    const QVariant result = KestBusCall::firstArgument(
        KestBusCall::blocking(d->m_serviceName, d->m_objectPath, KestBusNames::playlistInterface(), method, arguments));
    if (!result.isValid())
        qCWarning(lcKestPlaylist).nospace() << "KestProxyPlaylist, invalid reply for method: " << method;
    return result;
}

void KestProxyPlaylist::refresh()
{
    const auto ask = [this](const QString &method, std::function<void(const QVariant &)> take) {
        QDBusPendingCallWatcher *watcher = KestBusCall::async(
            QDBusMessage::createMethodCall(d->m_serviceName, d->m_objectPath, KestBusNames::playlistInterface(),
                                           method),
            this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [method, take = std::move(take)](QDBusPendingCallWatcher *finished) {
                    finished->deleteLater();
                    const QVariant value = KestBusCall::firstArgument(finished->reply());
                    if (value.isValid())
                        take(value);
                    else
                        qCWarning(lcKestPlaylist).nospace()
                            << "KestProxyPlaylist, invalid reply for method: " << method;
                });
    };
    // The exporter's answers and its change signals arrive in the order it sent them: an answer is the state
    // after every change announced before it.
    ask(QStringLiteral("get_size"), [this](const QVariant &value) {
        if (value.userType() != QMetaType::UInt) {
            qCWarning(lcKestPlaylist) << "KestProxyPlaylist: size of another type:" << value;
            return;
        }
        const int size = int(std::min<uint>(value.toUInt(), std::numeric_limits<int>::max()));
        const int previous = std::exchange(d->m_size, size);
        if (size != previous)
            Q_EMIT contentsChanged(0, uint(previous), uint(size));
    });
    ask(QStringLiteral("get_current"), [this](const QVariant &value) {
        if (value.userType() != QMetaType::Int) {
            qCWarning(lcKestPlaylist) << "KestProxyPlaylist: current index of another type:" << value;
            return;
        }
        const int current = std::max(-1, value.toInt());
        if (std::exchange(d->m_currentIndex, current) != current)
            Q_EMIT playlistUpdated(CurrentIndexChanged, current);
    });
    ask(QStringLiteral("get_name"), [this](const QVariant &value) {
        if (value.userType() != QMetaType::QString) {
            qCWarning(lcKestPlaylist) << "KestProxyPlaylist: name of another type:" << value;
            return;
        }
        if (!m_name.isEmpty() || value.toString().isEmpty())
            return;
        m_name = value.toString();
        Q_EMIT nameChanged(m_name);
    });
}

bool KestProxyPlaylist::getName(QDBus::CallMode)
{
    const QVariant reply = makeDBusMethodCall(QStringLiteral("get_name"), {});
    if (!reply.isValid() || !reply.canConvert<QString>()) {
        qCWarning(lcKestPlaylist) << "Getting playlist name failed.";
        return false;
    }
    m_name = reply.toString();
    qCDebug(lcKestPlaylist) << "Playlist name got succesfully: " << m_name;
    return true;
}

void KestProxyPlaylist::updateSize(int remove, int get)
{
    // The counts are unsigned on the bus; whatever they say, the size stays within [0, INT_MAX].
    const qint64 size = qint64(d->m_size) + uint(get) - uint(remove);
    d->m_size = int(std::clamp<qint64>(size, 0, std::numeric_limits<int>::max()));
}

void KestProxyPlaylist::updateCurrentIndex(int from, int remove, int get)
{
    const int current = d->m_currentIndex;
    qCDebug(lcKestPlaylist) << "updateCurrentindex..." << from << remove << get;
    qCDebug(lcKestPlaylist) << "updateCurrentIndex current:" << current;
    if (from == 0 && remove == 0 && get == 0)
        return;
    if (from < 0 || remove < 0 || get < 0) {
        qCWarning(lcKestPlaylist) << "KestProxyPlaylist invalid contentsChanged signal:" << from << remove << get;
        return;
    }
    // The change lies wholly after the current item.
    if (current >= 0 && from > current)
        return;
    // Items added while there is no current item.
    if (current < 0 && get != 0 && remove == 0)
        return;
    // The first items replaced by as many new ones, as reordering the whole list does.
    if (from == 0 && remove == get)
        return;
    if (current < 0 && get != 0) {
        d->m_currentIndex = 0;
        return;
    }
    if (current >= 0 && qint64(current) >= qint64(from) + remove) {
        // The current item survives behind the change and moves by what it removed and added.
        d->m_currentIndex = int(std::min<qint64>(qint64(current) - remove + get, std::numeric_limits<int>::max()));
    } else {
        // The current item was removed (or there was none): the item now in its place.
        const int lastIndex = size() - 1;
        d->m_currentIndex = from > lastIndex ? lastIndex : from;
    }
    qCDebug(lcKestPlaylist) << "KestProxyPlaylist current Index updated to: " << d->m_currentIndex;
}

QString KestProxyPlaylist::name()
{
    if (m_name.isEmpty())
        getName(QDBus::Block);
    return m_name;
}

QAbstractItemModel *KestProxyPlaylist::model()
{
    if (!d->m_model) {
        d->m_model = std::make_unique<KestProxyModel>(id());
        if (!d->m_model->connectToSignals())
            qCWarning(lcKestPlaylist) << "KestProxyPlaylist failed to connect model signals";
    }
    return d->m_model.get();
}

void KestProxyPlaylist::sort(int, KestPlaylist::KestSortOrder)
{
}

void KestProxyPlaylist::sort(const QString &, KestPlaylist::KestSortOrder)
{
}

QStringList KestProxyPlaylist::getColumnNames()
{
    return QStringList();
}

void KestProxyPlaylist::shuffle()
{
}

void KestProxyPlaylist::unShuffle()
{
}

bool KestProxyPlaylist::removeItem(int)
{
    return false;
}

bool KestProxyPlaylist::removeItems(int, int)
{
    return false;
}

bool KestProxyPlaylist::moveItem(int, int)
{
    return false;
}

void KestProxyPlaylist::clear()
{
}

KestContent *KestProxyPlaylist::getItem(int index)
{
    qCDebug(lcKestPlaylist) << "KestProxyPlaylist::getItem, index: " << index;
    const QString uuid = makeDBusMethodCall(QStringLiteral("get_item"), {index}).toString();
    if (uuid.isEmpty())
        return nullptr;
    d->m_currentIndex = index;
    return new KestContent(uuid);
}

int KestProxyPlaylist::size()
{
    qCDebug(lcKestPlaylist) << "KestProxyPlaylist::getSize" << d->m_size;
    return d->m_size;
}

int KestProxyPlaylist::getCurrentIndex()
{
    return d->m_currentIndex;
}

int KestProxyPlaylist::getNext(int index)
{
    qCDebug(lcKestPlaylist) << "KestProxyPlaylist::getNext";
    const QVariant reply = makeDBusMethodCall(QStringLiteral("get_next"), {index});
    return reply.isValid() ? reply.toInt() : -1;
}

int KestProxyPlaylist::getPrevious(int index)
{
    qCDebug(lcKestPlaylist) << "KestProxyPlaylist::getPrevious";
    const QVariant reply = makeDBusMethodCall(QStringLiteral("get_prev"), {index});
    return reply.isValid() ? reply.toInt() : -1;
}

void KestProxyPlaylist::setRepeat(KestPlaylist::KestRepeatMode)
{
}

KestPlaylist::KestRepeatMode KestProxyPlaylist::repeatMode()
{
    return RepeatNone;
}

KestPlaylist::KestSortOrder KestProxyPlaylist::getSortOrder()
{
    const int order = int(makeDBusMethodCall(QStringLiteral("get_sort_order"), {}).toUInt());
    if (!isKnownValue<KestSortOrder>(order)) {
        qCWarning(lcKestPlaylist) << "KestProxyPlaylist: unknown sort order" << order;
        return Unsorted;
    }
    return KestSortOrder(order);
}

bool KestProxyPlaylist::isShuffled()
{
    return false;
}

bool KestProxyPlaylist::import(QFile &)
{
    return false;
}

KestMediaInfo KestProxyPlaylist::getItemMediaInfo(int index)
{
    qCDebug(lcKestPlaylist) << "KestProxyPlaylist::getItemMediaInfo, index: " << index;
    KestMediaInfo info;
    info.setUuid(makeDBusMethodCall(QStringLiteral("get_item_media_info"), {index}).toString());
    return info;
}

void KestProxyPlaylist::destroy()
{
}

void KestProxyPlaylist::insertItem(int, KestContent *)
{
}

void KestProxyPlaylist::appendItem(KestContent *)
{
}

bool KestProxyPlaylist::removeItem(KestContent *)
{
    return false;
}

bool KestProxyPlaylist::insertUri(int, const QString &)
{
    return false;
}

bool KestProxyPlaylist::appendUri(const QString &)
{
    return false;
}

int KestProxyPlaylist::getStartingIndex()
{
    return 0;
}

int KestProxyPlaylist::getLastIndex()
{
    return size() - 1;
}

void KestProxyPlaylist::setName(const QString &)
{
    qCWarning(lcKestPlaylist) << "Playlist name con not be set by proxy.";
}

void KestProxyPlaylist::catchContentsChangedSignal(QString id, uint from, uint remove, uint get)
{
    qCDebug(lcKestPlaylist) << "Caught contents_changed signal" << id << from << remove << get;
    if (id != this->id())
        return;
    updateSize(int(remove), int(get));
    updateCurrentIndex(int(from), int(remove), int(get));
    Q_EMIT contentsChanged(from, remove, get);
}

void KestProxyPlaylist::catchPlaylistUpdatedSignal(QString id, int updated, int newIndex)
{
    qCDebug(lcKestPlaylist) << "Caught catchPlaylistUpdatedSignal" << id << updated << newIndex;
    if (id != this->id())
        return;
    if (!isKnownValue<KestPlaylistUpdate>(updated)) {
        qCWarning(lcKestPlaylist) << "KestProxyPlaylist: unknown playlist update" << updated;
        return;
    }
    if (uint(updated) <= uint(CurrentIndexReset))
        d->m_currentIndex = std::max(-1, newIndex);
    Q_EMIT playlistUpdated(KestPlaylistUpdate(updated), newIndex);
}

void KestProxyPlaylist::catchItemMovedSignal(uint from, uint to)
{
    qCDebug(lcKestPlaylist) << "Caught item_moved signal" << from << to;
}

void KestProxyPlaylist::catchPropertyChangedSignal(QString property)
{
    qCDebug(lcKestPlaylist) << "Caught property_changed signal" << property;
}

void KestProxyPlaylist::catchRepeatModeChangedSignal()
{
    qCDebug(lcKestPlaylist) << "Caught repeat_mode__changed signal";
    Q_EMIT repeatModeChanged();
}
