// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestcontent.h"

#include "kestcallbackhelper.h"
#include "kestcorelogging_p.h"

KestContent::KestContent() = default;

KestContent::KestContent(const QString &uuid)
    : m_uuid(uuid)
{
}

QString KestContent::uuid() const
{
    return m_uuid;
}

Metamap KestContent::metaData() const
{
    return m_metaData;
}

void KestContent::setMetaData(const Metamap &metaData, QObject *receiver, const char *member)
{
    m_metaData = metaData;
    if (receiver && !KestCallbackHelper::invoke(receiver, member))
        qCWarning(lcKestCore) << "KestContent::setMetaData: invoking the completion member failed" << member;
}

bool KestContent::operator==(const KestContent &other) const
{
    return m_uuid == other.m_uuid && m_metaData == other.m_metaData;
}
