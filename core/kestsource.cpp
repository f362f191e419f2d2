// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#include "kestsource.h"

KestSource::KestSource(QObject *parent, const QString &uuid, const QString &pluginName)
    : QObject(parent)
    , m_uuid(uuid)
    , m_pluginName(pluginName)
{
}

KestSource::~KestSource() = default;

QString KestSource::uuid() const
{
    return m_uuid;
}

QString KestSource::pluginName() const
{
    return m_pluginName;
}

QString KestSource::name() const
{
    return m_name;
}

void KestSource::setName(const QString &name)
{
    if (name == m_name)
        return;
    m_name = name;
    Q_EMIT nameChanged(name);
}

uint KestSource::browse(const QString &, const QString &, const QStringList &, uint, uint, QObject *, const char *,
                        const char *)
{
    return 0;
}

void KestSource::cancelBrowse(uint)
{
}

uint KestSource::query(const QString &, QObject *, const char *, const char *)
{
    return 0;
}

void KestSource::cancelQuery(uint)
{
}

bool KestSource::setKestProperty(const QString &, const QVariant &)
{
    return false;
}

bool KestSource::kestProperty(QString &, QObject *, const char *)
{
    return false;
}
