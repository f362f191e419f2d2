// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCONTENT_H
#define KESTCONTENT_H

#include "qkest_export.h"

#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariant>

//! Metadata of one item, keyed by metadata key. Known to the meta-type system as "Metamap".
typedef QMap<QString, QVariant> Metamap;

class QObject;

/*!
 * One media item: its object id (uuid) and its metadata.
 */
class QKEST_EXPORT KestContent
{
public:
    KestContent();
    explicit KestContent(const QString &uuid);

    QString uuid() const;
    Metamap metaData() const;

    /*!
     * Replaces the metadata. When \a receiver is not null, its \a member (in SLOT() coding,
     * taking no arguments) is invoked afterwards to tell that the metadata is complete.
     */
    void setMetaData(const Metamap &metaData, QObject *receiver = nullptr, const char *member = nullptr);

    bool operator==(const KestContent &other) const;
    bool operator!=(const KestContent &other) const { return !(*this == other); }

private:
    QString m_uuid;
    Metamap m_metaData;
};

Q_DECLARE_METATYPE(KestContent)

#endif
