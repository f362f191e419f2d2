// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestlocalplaylist.h"

#include "kestcorelogging_p.h"
#include "kestlocalplaylistmodel.h"

#include <QRandomGenerator>
#include <QUuid>

#include <algorithm>

namespace {

QString generatedId()
{
    // 32 hex digits behind a letter: valid in bus names and object paths.
    return QLatin1Char('p') + QUuid::createUuid().toString(QUuid::Id128);
}

bool lessThan(const QVariant &a, const QVariant &b)
{
    return a.toString().localeAwareCompare(b.toString()) < 0;
}

} // namespace

KestLocalPlaylist::KestLocalPlaylist(const QString &name, QObject *parent)
    : KestLocalPlaylist(generatedId(), name, parent)
{
}

KestLocalPlaylist::KestLocalPlaylist(const QString &id, const QString &name, QObject *parent)
    : KestPlaylist(id, name, parent)
    , m_model(new KestLocalPlaylistModel(this))
    , m_currentIndex(-1)
    , m_repeatMode(RepeatNone)
    , m_sortOrder(Unsorted)
    , m_shuffled(false)
{
}

KestLocalPlaylist::~KestLocalPlaylist() = default;

QAbstractItemModel *KestLocalPlaylist::model()
{
    return m_model;
}

void KestLocalPlaylist::sort(int column, KestPlaylist::KestSortOrder order)
{
    if (column != 0)
        return;
    sort(QStringLiteral("title"), order);
}

void KestLocalPlaylist::sort(const QString &key, KestPlaylist::KestSortOrder order)
{
    if (order != Ascending && order != Descending)
        return;
    QList<KestContent> items = m_model->items();
    std::stable_sort(items.begin(), items.end(), [&key, order](const KestContent &a, const KestContent &b) {
        const QVariant va = a.metaData().value(key, a.uuid());
        const QVariant vb = b.metaData().value(key, b.uuid());
        return order == Ascending ? lessThan(va, vb) : lessThan(vb, va);
    });
    m_sortOrder = order;
    replaceItems(items, Sorted);
}

QStringList KestLocalPlaylist::getColumnNames()
{
    return QStringList{m_model->headerData(0, Qt::Horizontal).toString()};
}

void KestLocalPlaylist::shuffle()
{
    QList<KestContent> items = m_model->items();
    if (!m_shuffled)
        m_unshuffledItems = items;
    std::shuffle(items.begin(), items.end(), *QRandomGenerator::global());
    m_shuffled = true;
    replaceItems(items, Shuffled);
}

void KestLocalPlaylist::unShuffle()
{
    if (!m_shuffled)
        return;
    // Items added while shuffled have no earlier place; they go to the end, in their order.
    const QList<KestContent> &original = m_unshuffledItems;
    QList<KestContent> items = m_model->items();
    std::stable_sort(items.begin(), items.end(), [&original](const KestContent &a, const KestContent &b) {
        const auto position = [&original](const KestContent &c) {
            const auto it = std::find_if(original.begin(), original.end(),
                                         [&c](const KestContent &o) { return o.uuid() == c.uuid(); });
            return it - original.begin();
        };
        return position(a) < position(b);
    });
    m_shuffled = false;
    m_unshuffledItems.clear();
    replaceItems(items, UnShuffled);
}

bool KestLocalPlaylist::removeItem(int index)
{
    return removeItems(index, 1);
}

bool KestLocalPlaylist::removeItems(int index, int count)
{
    if (!m_model->removeItems(index, count))
        return false;
    if (m_currentIndex >= index + count)
        m_currentIndex -= count;
    else if (m_currentIndex >= index)
        m_currentIndex = std::min(index, m_model->count() - 1);
    Q_EMIT contentsChanged(uint(index), uint(count), 0);
    return true;
}

bool KestLocalPlaylist::moveItem(int from, int to)
{
    if (!m_model->moveItem(from, to))
        return false;
    const int previousIndex = m_currentIndex;
    if (m_currentIndex == from)
        m_currentIndex = to;
    else if (from < m_currentIndex && m_currentIndex <= to)
        --m_currentIndex;
    else if (to <= m_currentIndex && m_currentIndex < from)
        ++m_currentIndex;
    const int first = std::min(from, to);
    const uint span = uint(std::abs(from - to) + 1);
    Q_EMIT contentsChanged(uint(first), span, span);
    // The current item kept its identity but may have moved; say where it is now.
    if (m_currentIndex != previousIndex)
        Q_EMIT playlistUpdated(CurrentIndexChanged, m_currentIndex);
    return true;
}

void KestLocalPlaylist::clear()
{
    const int count = m_model->count();
    if (count == 0)
        return;
    m_model->removeItems(0, count);
    m_currentIndex = -1;
    m_shuffled = false;
    m_unshuffledItems.clear();
    Q_EMIT contentsChanged(0, uint(count), 0);
}

KestContent *KestLocalPlaylist::getItem(int index)
{
    if (!m_model->isValidRow(index))
        return nullptr;
    return new KestContent(m_model->item(index));
}

int KestLocalPlaylist::size()
{
    return m_model->count();
}

int KestLocalPlaylist::getCurrentIndex()
{
    return m_currentIndex;
}

int KestLocalPlaylist::getNext(int index)
{
    if (!m_model->isValidRow(index))
        return -1;
    if (m_repeatMode == RepeatOne)
        return index;
    if (index + 1 < m_model->count())
        return index + 1;
    return m_repeatMode == RepeatAll ? 0 : -1;
}

int KestLocalPlaylist::getPrevious(int index)
{
    if (!m_model->isValidRow(index))
        return -1;
    if (m_repeatMode == RepeatOne)
        return index;
    if (index > 0)
        return index - 1;
    return m_repeatMode == RepeatAll ? m_model->count() - 1 : -1;
}

void KestLocalPlaylist::setRepeat(KestPlaylist::KestRepeatMode mode)
{
    if (mode != RepeatNone && mode != RepeatOne && mode != RepeatAll) {
        qCWarning(lcKestCore) << "KestLocalPlaylist::setRepeat: unknown repeat mode" << int(mode);
        return;
    }
    if (mode == m_repeatMode)
        return;
    m_repeatMode = mode;
    Q_EMIT repeatModeChanged();
}

KestPlaylist::KestRepeatMode KestLocalPlaylist::repeatMode()
{
    return m_repeatMode;
}

KestPlaylist::KestSortOrder KestLocalPlaylist::getSortOrder()
{
    return m_sortOrder;
}

bool KestLocalPlaylist::isShuffled()
{
    return m_shuffled;
}

KestMediaInfo KestLocalPlaylist::getItemMediaInfo(int index)
{
    if (!m_model->isValidRow(index))
        return KestMediaInfo();
    const KestContent content = m_model->item(index);
    KestMediaInfo info(content.uuid());
    KestMediaInfo::MetaData metaData;
    const Metamap values = content.metaData();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        metaData.insert(it.key(), QList<QVariant>{it.value()});
    info.setMetaData(metaData);
    return info;
}

void KestLocalPlaylist::appendItem(const KestContent &content)
{
    insertItem(m_model->count(), content);
}

bool KestLocalPlaylist::insertItem(int index, const KestContent &content)
{
    if (!m_model->insertItems(index, QList<KestContent>{content}))
        return false;
    if (m_currentIndex >= index)
        ++m_currentIndex;
    Q_EMIT contentsChanged(uint(index), 0, 1);
    return true;
}

bool KestLocalPlaylist::setCurrentIndex(int index)
{
    if (index != -1 && !m_model->isValidRow(index))
        return false;
    m_currentIndex = index;
    Q_EMIT playlistUpdated(CurrentIndexChanged, index);
    return true;
}

void KestLocalPlaylist::replaceItems(const QList<KestContent> &items, KestPlaylist::KestPlaylistUpdate update)
{
    const QString currentUuid = m_model->item(m_currentIndex).uuid();
    const int previousIndex = m_currentIndex;
    m_model->setItems(items);
    if (m_currentIndex >= 0) {
        const auto it = std::find_if(items.begin(), items.end(),
                                     [&currentUuid](const KestContent &c) { return c.uuid() == currentUuid; });
        m_currentIndex = int(it - items.begin());
    }
    Q_EMIT contentsChanged(0, uint(items.size()), uint(items.size()));
    Q_EMIT playlistUpdated(update, m_currentIndex);
    // The current item kept its identity but may have moved; say where it is now.
    if (m_currentIndex != previousIndex)
        Q_EMIT playlistUpdated(CurrentIndexChanged, m_currentIndex);
}
