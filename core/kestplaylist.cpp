// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestplaylist.h"

KestPlaylist::KestPlaylist(const QString &id, const QString &name, QObject *parent)
    : QObject(parent)
    , m_id(id)
    , m_name(name)
    , m_persistent(false)
{
}

KestPlaylist::~KestPlaylist() = default;

QString KestPlaylist::id() const
{
    return m_id;
}

void KestPlaylist::setName(const QString &name)
{
    m_name = name;
}

bool KestPlaylist::persistent() const
{
    return m_persistent;
}

void KestPlaylist::setPersistent(bool persistent)
{
    m_persistent = persistent;
}

QString KestPlaylist::name()
{
    return m_name;
}

QAbstractItemModel *KestPlaylist::model()
{
    return nullptr;
}

void KestPlaylist::sort(int, KestPlaylist::KestSortOrder)
{
}

void KestPlaylist::sort(const QString &, KestPlaylist::KestSortOrder)
{
}

QStringList KestPlaylist::getColumnNames()
{
    return QStringList();
}

void KestPlaylist::shuffle()
{
}

void KestPlaylist::unShuffle()
{
}

bool KestPlaylist::removeItem(int)
{
    return false;
}

bool KestPlaylist::removeItems(int, int)
{
    return false;
}

bool KestPlaylist::moveItem(int, int)
{
    return false;
}

void KestPlaylist::clear()
{
}

KestContent *KestPlaylist::getItem(int)
{
    return nullptr;
}

int KestPlaylist::size()
{
    return 0;
}

int KestPlaylist::getCurrentIndex()
{
    return -1;
}

int KestPlaylist::getNext(int)
{
    return -1;
}

int KestPlaylist::getPrevious(int)
{
    return -1;
}

void KestPlaylist::setRepeat(KestPlaylist::KestRepeatMode)
{
}

KestPlaylist::KestRepeatMode KestPlaylist::repeatMode()
{
    return RepeatNone;
}

KestPlaylist::KestSortOrder KestPlaylist::getSortOrder()
{
    return Unsorted;
}

bool KestPlaylist::isShuffled()
{
    return false;
}

bool KestPlaylist::import(QFile &)
{
    return false;
}

KestMediaInfo KestPlaylist::getItemMediaInfo(int)
{
    return KestMediaInfo();
}
