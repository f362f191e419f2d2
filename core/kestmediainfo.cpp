// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestmediainfo.h"

KestMediaInfo::KestMediaInfo() = default;

KestMediaInfo::KestMediaInfo(const QString &uuid)
    : m_uuid(uuid)
{
}

QString KestMediaInfo::uuid() const
{
    return m_uuid;
}

void KestMediaInfo::setUuid(const QString &uuid)
{
    m_uuid = uuid;
}

KestMediaInfo::MetaData KestMediaInfo::metaData() const
{
    return m_metaData;
}

void KestMediaInfo::setMetaData(const MetaData &metaData)
{
    m_metaData = metaData;
}

bool KestMediaInfo::isValid() const
{
    return !m_uuid.isEmpty();
}

bool KestMediaInfo::operator==(const KestMediaInfo &other) const
{
    return m_uuid == other.m_uuid && m_metaData == other.m_metaData;
}
