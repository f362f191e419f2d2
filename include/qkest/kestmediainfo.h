// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTMEDIAINFO_H
#define KESTMEDIAINFO_H

#include "qkest_export.h"

#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariant>

/*!
 * Information about one playing or listed media item: its uuid and, per metadata key,
 * the list of values.
 */
class QKEST_EXPORT KestMediaInfo
{
public:
    typedef QMap<QString, QList<QVariant>> MetaData;

    KestMediaInfo();
    explicit KestMediaInfo(const QString &uuid);

    QString uuid() const;
    void setUuid(const QString &uuid);

    MetaData metaData() const;
    void setMetaData(const MetaData &metaData);

    //! True when the item has a uuid.
    bool isValid() const;

    bool operator==(const KestMediaInfo &other) const;
    bool operator!=(const KestMediaInfo &other) const { return !(*this == other); }

private:
    QString m_uuid;
    MetaData m_metaData;
};

Q_DECLARE_METATYPE(KestMediaInfo)

#endif
