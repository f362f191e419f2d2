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
 * replies (D-Bus type ay), and encodes them for sources that this process serves.
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

    /*!
     * Appends one entry for \a key and \a value to \a block. The type code follows the value's
     * type: bool 20; int, short and signed char 24 (char and signed char: 12); uint, ushort and
     * uchar 28; long long and long 40; unsigned long long and unsigned long 44; double and float
     * 60; QString 64. A value of another type that QVariant can turn into text (a QUrl, a
     * QDateTime) travels as that text. The skipped word holds the value's size in bytes.
     *
     * Strings, keys among them, travel as Latin-1 up to a zero byte: a key or string with a zero
     * character or a character beyond Latin-1 cannot travel, nor can a value without a text.
     * Returns true when the entry was appended; false, after a warning, when it cannot travel, and
     * \a block is then left as it was.
     */
    static bool appendMetadataEntry(QByteArray &block, const QString &key, const QVariant &value);

    /*!
     * Encodes \a metadata into \a block, which is replaced, one entry per key in key order: the
     * inverse of decodeMetadataBlock(), which gives the same map back (values of the types that
     * it reads keep their type; the others arrive as the type they travelled as). Entries that
     * cannot travel (see appendMetadataEntry()) are left out. Returns true when every entry is
     * in \a block, false when any was left out.
     */
    static bool encodeMetadataBlock(const QMap<QString, QVariant> &metadata, QByteArray &block);
};

#endif
