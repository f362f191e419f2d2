// SPDX-FileCopyrightText: 2026 The libqkest-shared developers
// SPDX-License-Identifier: LGPL-2.1-or-later

#ifndef DBUSMESSAGEUTIL_H
#define DBUSMESSAGEUTIL_H

#include "qkestshared_export.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

/*!
 * \inmodule QKestShared
 * \inheaderfile qkest-shared/dbusmessageutil.h
 * \brief Decodes the metadata blocks that remote sources send in browse results and get-metadata
 * replies (D-Bus type ay).
 *
 * A block is a plain sequence of entries, without header, count or padding:
 *
 * \table
 * \header \li field \li bytes \li encoding
 * \row \li key \li variable \li Latin-1 characters, then one zero byte
 * \row \li (skipped) \li 4 \li 32-bit integer, ignored
 * \row \li type code \li 4 \li 32-bit integer: GLib's fundamental type number
 * \row \li value \li by type \li 12 char (1 byte), 20 boolean and 24 int (4), 28 uint (4), 40 int64 and
 *      44 uint64 (8), 60 double (8), 64 string (characters, zero byte)
 * \endtable
 *
 * Numbers are in host byte order: producer and consumer share the machine.
 *
 * The extract functions consume what they read from the front of \a data. Each always writes
 * \a error (which must not be null): false on success; on failure true, and \a data is cleared,
 * so a loop that runs while the data is not empty ends at the first error.
 */
class QKESTSHARED_EXPORT DBusMessageUtil
{
public:
    /*!
     * Reads a zero-terminated string from \a data and returns it; without a terminator, warns, sets \a error and
     * returns a null string.
     */
    static QString extractString(QByteArray &data, bool *error);

    /*!
     * Reads one number of type T in host byte order; \a typeTag only selects T.
     * Instantiated for int, unsigned int, long long, unsigned long long, double and char.
     */
    template<typename T>
    static T extractNumericValue(QByteArray &data, T typeTag, bool *error);

    /*!
     * Reads one value of GLib fundamental type \a type from \a data and returns it, setting \a error.
     * On a short read the variant still has
     * the type's QVariant type: look at \a error, not at the variant.
     */
    static QVariant extractMetadataValue(int type, QByteArray &data, bool *error);

    /*!
     * Decodes the whole \a block into \a metadata; a key that occurs twice keeps its last value.
     * Returns false when the block is malformed; \a metadata then holds the entries before the fault.
     * Reads \a block in place, in one pass, and traces the block in one line, not every value.
     */
    static bool decodeMetadataBlock(const QByteArray &block, QMap<QString, QVariant> &metadata);

    /*!
     * Decodes the whole \a block into two parallel lists, \a keys and \a values, in block order and
     * with repeated keys kept; values are converted with QVariant::toString(). Returns false on a
     * malformed entry: \a keys then
     * holds one entry more than \a values.
     */
    static bool decodeMetadataBlock(const QByteArray &block, QStringList &keys, QStringList &values);
};

#endif
