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
 * \inmodule QKest
 * \inheaderfile kestmediainfo.h
 * \brief Information about one playing or listed media item: its uuid and, per metadata key,
 * the list of values.
 *
 * A plain value. An item without uuid is invalid: that is how a failed look-up is reported.
 */
class QKEST_EXPORT KestMediaInfo
{
public:
    /*! The values of each metadata key; a key may carry several values (several artists). */
    typedef QMap<QString, QList<QVariant>> MetaData;

    /*! An invalid item: no uuid, no metadata. */
    KestMediaInfo();
    /*! An item with \a uuid and no metadata. */
    explicit KestMediaInfo(const QString &uuid);

    /*! Returns the item's uuid, empty for an invalid item. */
    QString uuid() const;
    /*! Sets the item's uuid to \a uuid; an empty one makes the item invalid. */
    void setUuid(const QString &uuid);

    /*! Returns the metadata. */
    MetaData metaData() const;
    /*! Replaces the metadata with \a metaData. */
    void setMetaData(const MetaData &metaData);

    /*! Returns true when the item has a uuid. */
    bool isValid() const;

    /*! Returns true when \a other has the same uuid and the same metadata. */
    bool operator==(const KestMediaInfo &other) const;
    /*! Returns true when \a other differs in uuid or metadata. */
    bool operator!=(const KestMediaInfo &other) const { return !(*this == other); }

private:
    QString m_uuid;
    MetaData m_metaData;
};

Q_DECLARE_METATYPE(KestMediaInfo)

#endif
