// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef KESTCONTENT_H
#define KESTCONTENT_H

#include "qkest_export.h"

#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVariant>

/*!
 * \typedef Metamap
 * \relates KestContent
 *
 * Metadata of one item, keyed by metadata key. Known to the meta-type system as "Metamap", the
 * name that browse result slots are declared with.
 */
typedef QMap<QString, QVariant> Metamap;

class QObject;

/*!
 * \inmodule QKest
 * \inheaderfile kestcontent.h
 * \brief One media item: its object id (uuid) and its metadata.
 *
 * A plain value; browse results and playlists hand out copies or new instances of it.
 */
class QKEST_EXPORT KestContent
{
public:
    /*! An item without uuid or metadata. */
    KestContent();
    /*! An item with \a uuid and no metadata. */
    explicit KestContent(const QString &uuid);

    /*! Returns the object id, empty for a default item. */
    QString uuid() const;
    /*! Returns the metadata, empty until setMetaData() has run. */
    Metamap metaData() const;

    /*!
     * Replaces the metadata with \a metaData. When \a receiver is not null, its \a member (in
     * SLOT() coding, taking no arguments) is invoked afterwards to tell that the metadata is
     * complete; a member that cannot be invoked only gives a warning.
     */
    void setMetaData(const Metamap &metaData, QObject *receiver = nullptr, const char *member = nullptr);

    /*! Returns true when \a other has the same uuid and the same metadata. */
    bool operator==(const KestContent &other) const;
    /*! Returns true when \a other differs in uuid or metadata. */
    bool operator!=(const KestContent &other) const { return !(*this == other); }

private:
    QString m_uuid;
    Metamap m_metaData;
};

Q_DECLARE_METATYPE(KestContent)

#endif
